// reference_6502.h: the 151 documented 6502 opcodes as the standard
// references list them (MOS programming manual cycle counts; "*" marks the
// extra cycle when an indexed access crosses a page). Written out by hand,
// independent of the program's own table.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vantrel::test {

struct Reference6502 {
  uint8_t opcode;
  std::string_view mnemonic;
  std::string_view mode;  // imp acc imm zp zpx zpy izx izy abs abx aby ind rel
  int length;
  int cycles;
  bool page;
};

inline constexpr Reference6502 kReference6502[] = {
    {0x69, "adc", "imm", 2, 2, 0}, {0x65, "adc", "zp", 2, 3, 0},  {0x75, "adc", "zpx", 2, 4, 0},
    {0x6D, "adc", "abs", 3, 4, 0}, {0x7D, "adc", "abx", 3, 4, 1}, {0x79, "adc", "aby", 3, 4, 1},
    {0x61, "adc", "izx", 2, 6, 0}, {0x71, "adc", "izy", 2, 5, 1},
    {0x29, "and", "imm", 2, 2, 0}, {0x25, "and", "zp", 2, 3, 0},  {0x35, "and", "zpx", 2, 4, 0},
    {0x2D, "and", "abs", 3, 4, 0}, {0x3D, "and", "abx", 3, 4, 1}, {0x39, "and", "aby", 3, 4, 1},
    {0x21, "and", "izx", 2, 6, 0}, {0x31, "and", "izy", 2, 5, 1},
    {0x0A, "asl", "acc", 1, 2, 0}, {0x06, "asl", "zp", 2, 5, 0},  {0x16, "asl", "zpx", 2, 6, 0},
    {0x0E, "asl", "abs", 3, 6, 0}, {0x1E, "asl", "abx", 3, 7, 0},
    {0x90, "bcc", "rel", 2, 2, 0}, {0xB0, "bcs", "rel", 2, 2, 0}, {0xF0, "beq", "rel", 2, 2, 0},
    {0x30, "bmi", "rel", 2, 2, 0}, {0xD0, "bne", "rel", 2, 2, 0}, {0x10, "bpl", "rel", 2, 2, 0},
    {0x50, "bvc", "rel", 2, 2, 0}, {0x70, "bvs", "rel", 2, 2, 0},
    {0x24, "bit", "zp", 2, 3, 0},  {0x2C, "bit", "abs", 3, 4, 0},
    {0x00, "brk", "imp", 1, 7, 0},
    {0x18, "clc", "imp", 1, 2, 0}, {0xD8, "cld", "imp", 1, 2, 0}, {0x58, "cli", "imp", 1, 2, 0},
    {0xB8, "clv", "imp", 1, 2, 0},
    {0xC9, "cmp", "imm", 2, 2, 0}, {0xC5, "cmp", "zp", 2, 3, 0},  {0xD5, "cmp", "zpx", 2, 4, 0},
    {0xCD, "cmp", "abs", 3, 4, 0}, {0xDD, "cmp", "abx", 3, 4, 1}, {0xD9, "cmp", "aby", 3, 4, 1},
    {0xC1, "cmp", "izx", 2, 6, 0}, {0xD1, "cmp", "izy", 2, 5, 1},
    {0xE0, "cpx", "imm", 2, 2, 0}, {0xE4, "cpx", "zp", 2, 3, 0},  {0xEC, "cpx", "abs", 3, 4, 0},
    {0xC0, "cpy", "imm", 2, 2, 0}, {0xC4, "cpy", "zp", 2, 3, 0},  {0xCC, "cpy", "abs", 3, 4, 0},
    {0xC6, "dec", "zp", 2, 5, 0},  {0xD6, "dec", "zpx", 2, 6, 0}, {0xCE, "dec", "abs", 3, 6, 0},
    {0xDE, "dec", "abx", 3, 7, 0},
    {0xCA, "dex", "imp", 1, 2, 0}, {0x88, "dey", "imp", 1, 2, 0},
    {0x49, "eor", "imm", 2, 2, 0}, {0x45, "eor", "zp", 2, 3, 0},  {0x55, "eor", "zpx", 2, 4, 0},
    {0x4D, "eor", "abs", 3, 4, 0}, {0x5D, "eor", "abx", 3, 4, 1}, {0x59, "eor", "aby", 3, 4, 1},
    {0x41, "eor", "izx", 2, 6, 0}, {0x51, "eor", "izy", 2, 5, 1},
    {0xE6, "inc", "zp", 2, 5, 0},  {0xF6, "inc", "zpx", 2, 6, 0}, {0xEE, "inc", "abs", 3, 6, 0},
    {0xFE, "inc", "abx", 3, 7, 0},
    {0xE8, "inx", "imp", 1, 2, 0}, {0xC8, "iny", "imp", 1, 2, 0},
    {0x4C, "jmp", "abs", 3, 3, 0}, {0x6C, "jmp", "ind", 3, 5, 0}, {0x20, "jsr", "abs", 3, 6, 0},
    {0xA9, "lda", "imm", 2, 2, 0}, {0xA5, "lda", "zp", 2, 3, 0},  {0xB5, "lda", "zpx", 2, 4, 0},
    {0xAD, "lda", "abs", 3, 4, 0}, {0xBD, "lda", "abx", 3, 4, 1}, {0xB9, "lda", "aby", 3, 4, 1},
    {0xA1, "lda", "izx", 2, 6, 0}, {0xB1, "lda", "izy", 2, 5, 1},
    {0xA2, "ldx", "imm", 2, 2, 0}, {0xA6, "ldx", "zp", 2, 3, 0},  {0xB6, "ldx", "zpy", 2, 4, 0},
    {0xAE, "ldx", "abs", 3, 4, 0}, {0xBE, "ldx", "aby", 3, 4, 1},
    {0xA0, "ldy", "imm", 2, 2, 0}, {0xA4, "ldy", "zp", 2, 3, 0},  {0xB4, "ldy", "zpx", 2, 4, 0},
    {0xAC, "ldy", "abs", 3, 4, 0}, {0xBC, "ldy", "abx", 3, 4, 1},
    {0x4A, "lsr", "acc", 1, 2, 0}, {0x46, "lsr", "zp", 2, 5, 0},  {0x56, "lsr", "zpx", 2, 6, 0},
    {0x4E, "lsr", "abs", 3, 6, 0}, {0x5E, "lsr", "abx", 3, 7, 0},
    {0xEA, "nop", "imp", 1, 2, 0},
    {0x09, "ora", "imm", 2, 2, 0}, {0x05, "ora", "zp", 2, 3, 0},  {0x15, "ora", "zpx", 2, 4, 0},
    {0x0D, "ora", "abs", 3, 4, 0}, {0x1D, "ora", "abx", 3, 4, 1}, {0x19, "ora", "aby", 3, 4, 1},
    {0x01, "ora", "izx", 2, 6, 0}, {0x11, "ora", "izy", 2, 5, 1},
    {0x48, "pha", "imp", 1, 3, 0}, {0x08, "php", "imp", 1, 3, 0}, {0x68, "pla", "imp", 1, 4, 0},
    {0x28, "plp", "imp", 1, 4, 0},
    {0x2A, "rol", "acc", 1, 2, 0}, {0x26, "rol", "zp", 2, 5, 0},  {0x36, "rol", "zpx", 2, 6, 0},
    {0x2E, "rol", "abs", 3, 6, 0}, {0x3E, "rol", "abx", 3, 7, 0},
    {0x6A, "ror", "acc", 1, 2, 0}, {0x66, "ror", "zp", 2, 5, 0},  {0x76, "ror", "zpx", 2, 6, 0},
    {0x6E, "ror", "abs", 3, 6, 0}, {0x7E, "ror", "abx", 3, 7, 0},
    {0x40, "rti", "imp", 1, 6, 0}, {0x60, "rts", "imp", 1, 6, 0},
    {0xE9, "sbc", "imm", 2, 2, 0}, {0xE5, "sbc", "zp", 2, 3, 0},  {0xF5, "sbc", "zpx", 2, 4, 0},
    {0xED, "sbc", "abs", 3, 4, 0}, {0xFD, "sbc", "abx", 3, 4, 1}, {0xF9, "sbc", "aby", 3, 4, 1},
    {0xE1, "sbc", "izx", 2, 6, 0}, {0xF1, "sbc", "izy", 2, 5, 1},
    {0x38, "sec", "imp", 1, 2, 0}, {0xF8, "sed", "imp", 1, 2, 0}, {0x78, "sei", "imp", 1, 2, 0},
    {0x85, "sta", "zp", 2, 3, 0},  {0x95, "sta", "zpx", 2, 4, 0}, {0x8D, "sta", "abs", 3, 4, 0},
    {0x9D, "sta", "abx", 3, 5, 0}, {0x99, "sta", "aby", 3, 5, 0}, {0x81, "sta", "izx", 2, 6, 0},
    {0x91, "sta", "izy", 2, 6, 0},
    {0x86, "stx", "zp", 2, 3, 0},  {0x96, "stx", "zpy", 2, 4, 0}, {0x8E, "stx", "abs", 3, 4, 0},
    {0x84, "sty", "zp", 2, 3, 0},  {0x94, "sty", "zpx", 2, 4, 0}, {0x8C, "sty", "abs", 3, 4, 0},
    {0xAA, "tax", "imp", 1, 2, 0}, {0xA8, "tay", "imp", 1, 2, 0}, {0xBA, "tsx", "imp", 1, 2, 0},
    {0x8A, "txa", "imp", 1, 2, 0}, {0x9A, "txs", "imp", 1, 2, 0}, {0x98, "tya", "imp", 1, 2, 0},
};
static_assert(std::size(kReference6502) == 151);

// The operand of a reference row in source form, with widths that leave no
// choice ($12 zero page, $1234 absolute); branches go to `target`.
inline std::string ReferenceOperand(const Reference6502& r, std::string_view target) {
  const std::string_view m = r.mode;
  if (m == "imm") return "#$12";
  if (m == "zp") return "$12";
  if (m == "zpx") return "$12,x";
  if (m == "zpy") return "$12,y";
  if (m == "izx") return "($12,x)";
  if (m == "izy") return "($12),y";
  if (m == "abs") return "$1234";
  if (m == "abx") return "$1234,x";
  if (m == "aby") return "$1234,y";
  if (m == "ind") return "($1234)";
  if (m == "rel") return std::string(target);
  return "";
}

}  // namespace vantrel::test
