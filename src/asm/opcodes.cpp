#include "asm/opcodes.h"

#include "text/text_ops.h"

namespace vantrel {

namespace {

constexpr std::string_view kMnemonicNames[kMnemonicCount + 1] = {
    "ERROR!", "adc", "and", "asl", "bcc", "bcs", "beq", "bit", "bmi", "bne", "bpl", "brk", "bvc", "bvs", "clc",
    "cld",    "cli", "clv", "cmp", "cpx", "cpy", "dec", "dex", "dey", "eor", "inc", "inx", "iny", "jmp", "jsr",
    "lda",    "ldx", "ldy", "lsr", "nop", "ora", "pha", "php", "pla", "plp", "rol", "ror", "rti", "rts", "sbc",
    "sec",    "sed", "sei", "sta", "stx", "sty", "tax", "tay", "tsx", "txa", "txs", "tya", "ahx", "axs", "alr",
    "arr",    "anc", "dcp", "kil", "las", "lax", "isc", "rla", "rra", "sax", "shx", "shy", "slo", "sre", "tas",
    "xaa",
};

struct ModeRow {
  std::string_view word;
  std::string_view name;
  uint32_t length;
};

constexpr ModeRow kModes[kModeCount] = {
    {"", "None", 1},       {"reg", "Register", 1},          {"imm", "Immediate", 2},
    {"zrp", "ZeroPage", 2}, {"zpx", "ZeroPageX", 2},         {"zpy", "ZeroPageY", 2},
    {"izx", "ZeroPageXIndirect", 2}, {"izy", "ZeroPageYIndirect", 2}, {"abs", "Absolute", 3},
    {"abx", "AbsoluteX", 3}, {"aby", "AbsoluteY", 3},        {"ind", "Indirect", 3},
    {"rel", "Relative", 2},
};

using M = Mnemonic;
using A = AddressingMode;
using C = InstructionClass;

// Opcode, mnemonic, addressing mode, cycles, one more cycle when a page is
// crossed, class. Row n describes opcode n.
constexpr OpcodeEntry kOpcodeEntries[256] = {
    {0x00, M::Brk, A::Register, 7, false, C::Branch},
    {0x01, M::Ora, A::ZeroPageXIndirect, 6, false, C::Logic},
    {0x02, M::Kil, A::None, 0, false, C::Illegal},
    {0x03, M::Slo, A::ZeroPageXIndirect, 8, false, C::Illegal},
    {0x04, M::Nop, A::ZeroPage, 3, false, C::Illegal},
    {0x05, M::Ora, A::ZeroPage, 3, false, C::Logic},
    {0x06, M::Asl, A::ZeroPage, 5, false, C::Logic},
    {0x07, M::Slo, A::ZeroPage, 5, false, C::Illegal},
    {0x08, M::Php, A::Register, 3, false, C::Move},
    {0x09, M::Ora, A::Immediate, 2, false, C::Logic},
    {0x0A, M::Asl, A::Register, 2, false, C::Logic},
    {0x0B, M::Anc, A::Immediate, 2, false, C::Illegal},
    {0x0C, M::Nop, A::Absolute, 4, false, C::Illegal},
    {0x0D, M::Ora, A::Absolute, 4, false, C::Logic},
    {0x0E, M::Asl, A::Absolute, 6, false, C::Logic},
    {0x0F, M::Slo, A::Absolute, 6, false, C::Illegal},
    {0x10, M::Bpl, A::Relative, 2, false, C::Branch},
    {0x11, M::Ora, A::ZeroPageYIndirect, 5, true, C::Logic},
    {0x12, M::Kil, A::None, 0, false, C::Illegal},
    {0x13, M::Slo, A::ZeroPageYIndirect, 8, false, C::Illegal},
    {0x14, M::Nop, A::ZeroPageX, 4, false, C::Illegal},
    {0x15, M::Ora, A::ZeroPageX, 4, false, C::Logic},
    {0x16, M::Asl, A::ZeroPageX, 6, false, C::Logic},
    {0x17, M::Slo, A::ZeroPageX, 6, false, C::Illegal},
    {0x18, M::Clc, A::Register, 2, false, C::Flag},
    {0x19, M::Ora, A::AbsoluteY, 4, true, C::Logic},
    {0x1A, M::Nop, A::None, 2, false, C::Illegal},
    {0x1B, M::Slo, A::AbsoluteY, 7, false, C::Illegal},
    {0x1C, M::Nop, A::AbsoluteX, 4, true, C::Illegal},
    {0x1D, M::Ora, A::AbsoluteX, 4, true, C::Logic},
    {0x1E, M::Asl, A::AbsoluteX, 7, false, C::Logic},
    {0x1F, M::Slo, A::AbsoluteX, 7, false, C::Illegal},
    {0x20, M::Jsr, A::Absolute, 6, false, C::Branch},
    {0x21, M::And, A::ZeroPageXIndirect, 6, false, C::Logic},
    {0x22, M::Kil, A::None, 0, false, C::Illegal},
    {0x23, M::Rla, A::ZeroPageXIndirect, 8, false, C::Illegal},
    {0x24, M::Bit, A::ZeroPage, 3, false, C::Logic},
    {0x25, M::And, A::ZeroPage, 3, false, C::Logic},
    {0x26, M::Rol, A::ZeroPage, 5, false, C::Logic},
    {0x27, M::Rla, A::ZeroPage, 5, false, C::Illegal},
    {0x28, M::Plp, A::Register, 4, false, C::Move},
    {0x29, M::And, A::Immediate, 2, false, C::Logic},
    {0x2A, M::Rol, A::Register, 2, false, C::Logic},
    {0x2B, M::Anc, A::Immediate, 2, false, C::Illegal},
    {0x2C, M::Bit, A::Absolute, 4, false, C::Logic},
    {0x2D, M::And, A::Absolute, 4, false, C::Logic},
    {0x2E, M::Rol, A::Absolute, 6, false, C::Logic},
    {0x2F, M::Rla, A::Absolute, 6, false, C::Illegal},
    {0x30, M::Bmi, A::Relative, 2, false, C::Branch},
    {0x31, M::And, A::ZeroPageYIndirect, 5, true, C::Logic},
    {0x32, M::Kil, A::None, 0, false, C::Illegal},
    {0x33, M::Rla, A::ZeroPageYIndirect, 8, false, C::Illegal},
    {0x34, M::Nop, A::ZeroPageX, 4, false, C::Illegal},
    {0x35, M::And, A::ZeroPageX, 4, false, C::Logic},
    {0x36, M::Rol, A::ZeroPageX, 6, false, C::Logic},
    {0x37, M::Rla, A::ZeroPageX, 6, false, C::Illegal},
    {0x38, M::Sec, A::Register, 2, false, C::Flag},
    {0x39, M::And, A::AbsoluteY, 4, true, C::Logic},
    {0x3A, M::Nop, A::None, 2, false, C::Illegal},
    {0x3B, M::Rla, A::AbsoluteY, 7, false, C::Illegal},
    {0x3C, M::Nop, A::AbsoluteX, 4, true, C::Illegal},
    {0x3D, M::And, A::AbsoluteX, 4, true, C::Logic},
    {0x3E, M::Rol, A::AbsoluteX, 7, false, C::Logic},
    {0x3F, M::Rla, A::AbsoluteX, 7, false, C::Illegal},
    {0x40, M::Rti, A::Register, 6, false, C::Branch},
    {0x41, M::Eor, A::ZeroPageXIndirect, 6, false, C::Logic},
    {0x42, M::Kil, A::None, 0, false, C::Illegal},
    {0x43, M::Sre, A::ZeroPageXIndirect, 8, false, C::Illegal},
    {0x44, M::Nop, A::ZeroPage, 3, false, C::Illegal},
    {0x45, M::Eor, A::ZeroPage, 3, false, C::Logic},
    {0x46, M::Lsr, A::ZeroPage, 5, false, C::Logic},
    {0x47, M::Sre, A::ZeroPage, 5, false, C::Illegal},
    {0x48, M::Pha, A::Register, 3, false, C::Move},
    {0x49, M::Eor, A::Immediate, 2, false, C::Logic},
    {0x4A, M::Lsr, A::Register, 2, false, C::Logic},
    {0x4B, M::Alr, A::Immediate, 2, false, C::Illegal},
    {0x4C, M::Jmp, A::Absolute, 3, false, C::Branch},
    {0x4D, M::Eor, A::Absolute, 4, false, C::Logic},
    {0x4E, M::Lsr, A::Absolute, 6, false, C::Logic},
    {0x4F, M::Sre, A::Absolute, 6, false, C::Illegal},
    {0x50, M::Bvc, A::Relative, 2, false, C::Branch},
    {0x51, M::Eor, A::ZeroPageYIndirect, 5, true, C::Logic},
    {0x52, M::Kil, A::None, 0, false, C::Illegal},
    {0x53, M::Sre, A::ZeroPageYIndirect, 8, false, C::Illegal},
    {0x54, M::Nop, A::ZeroPageX, 4, false, C::Illegal},
    {0x55, M::Eor, A::ZeroPageX, 4, false, C::Logic},
    {0x56, M::Lsr, A::ZeroPageX, 6, false, C::Logic},
    {0x57, M::Sre, A::ZeroPageX, 6, false, C::Illegal},
    {0x58, M::Cli, A::Register, 2, false, C::Flag},
    {0x59, M::Eor, A::AbsoluteY, 4, true, C::Logic},
    {0x5A, M::Nop, A::None, 2, false, C::Illegal},
    {0x5B, M::Sre, A::AbsoluteY, 7, false, C::Illegal},
    {0x5C, M::Nop, A::AbsoluteX, 4, true, C::Illegal},
    {0x5D, M::Eor, A::AbsoluteX, 4, true, C::Logic},
    {0x5E, M::Lsr, A::AbsoluteX, 7, false, C::Logic},
    {0x5F, M::Sre, A::AbsoluteX, 7, false, C::Illegal},
    {0x60, M::Rts, A::Register, 6, false, C::Branch},
    {0x61, M::Adc, A::ZeroPageXIndirect, 6, false, C::Arithmetic},
    {0x62, M::Kil, A::None, 0, false, C::Illegal},
    {0x63, M::Rra, A::ZeroPageXIndirect, 8, false, C::Illegal},
    {0x64, M::Nop, A::ZeroPage, 3, false, C::Illegal},
    {0x65, M::Adc, A::ZeroPage, 3, false, C::Arithmetic},
    {0x66, M::Ror, A::ZeroPage, 5, false, C::Logic},
    {0x67, M::Rra, A::ZeroPage, 5, false, C::Illegal},
    {0x68, M::Pla, A::Register, 4, false, C::Move},
    {0x69, M::Adc, A::Immediate, 2, false, C::Arithmetic},
    {0x6A, M::Ror, A::Register, 2, false, C::Logic},
    {0x6B, M::Arr, A::Immediate, 2, false, C::Illegal},
    {0x6C, M::Jmp, A::Indirect, 5, false, C::Branch},
    {0x6D, M::Adc, A::Absolute, 4, false, C::Arithmetic},
    {0x6E, M::Ror, A::Absolute, 6, false, C::Logic},
    {0x6F, M::Rra, A::Absolute, 6, false, C::Illegal},
    {0x70, M::Bvs, A::Relative, 2, false, C::Branch},
    {0x71, M::Adc, A::ZeroPageYIndirect, 5, true, C::Arithmetic},
    {0x72, M::Kil, A::None, 0, false, C::Illegal},
    {0x73, M::Rra, A::ZeroPageYIndirect, 8, false, C::Illegal},
    {0x74, M::Nop, A::ZeroPageX, 4, false, C::Illegal},
    {0x75, M::Adc, A::ZeroPageX, 4, false, C::Arithmetic},
    {0x76, M::Ror, A::ZeroPageX, 6, false, C::Logic},
    {0x77, M::Rra, A::ZeroPageX, 6, false, C::Illegal},
    {0x78, M::Sei, A::Register, 2, false, C::Flag},
    {0x79, M::Adc, A::AbsoluteY, 4, true, C::Arithmetic},
    {0x7A, M::Nop, A::None, 2, false, C::Illegal},
    {0x7B, M::Rra, A::AbsoluteY, 7, false, C::Illegal},
    {0x7C, M::Nop, A::AbsoluteX, 4, true, C::Illegal},
    {0x7D, M::Adc, A::AbsoluteX, 4, true, C::Arithmetic},
    {0x7E, M::Ror, A::AbsoluteX, 7, false, C::Logic},
    {0x7F, M::Rra, A::AbsoluteX, 7, false, C::Illegal},
    {0x80, M::Nop, A::Immediate, 2, false, C::Illegal},
    {0x81, M::Sta, A::ZeroPageXIndirect, 6, false, C::Move},
    {0x82, M::Nop, A::Immediate, 2, false, C::Illegal},
    {0x83, M::Sax, A::ZeroPageXIndirect, 6, false, C::Illegal},
    {0x84, M::Sty, A::ZeroPage, 3, false, C::Move},
    {0x85, M::Sta, A::ZeroPage, 3, false, C::Move},
    {0x86, M::Stx, A::ZeroPage, 3, false, C::Move},
    {0x87, M::Sax, A::ZeroPage, 3, false, C::Illegal},
    {0x88, M::Dey, A::Register, 2, false, C::Arithmetic},
    {0x89, M::Nop, A::Immediate, 2, false, C::Illegal},
    {0x8A, M::Txa, A::Register, 2, false, C::Move},
    {0x8B, M::Xaa, A::Immediate, 2, false, C::Unstable},
    {0x8C, M::Sty, A::Absolute, 4, false, C::Move},
    {0x8D, M::Sta, A::Absolute, 4, false, C::Move},
    {0x8E, M::Stx, A::Absolute, 4, false, C::Move},
    {0x8F, M::Sax, A::Absolute, 4, false, C::Illegal},
    {0x90, M::Bcc, A::Relative, 2, false, C::Branch},
    {0x91, M::Sta, A::ZeroPageYIndirect, 6, false, C::Move},
    {0x92, M::Kil, A::None, 0, false, C::Illegal},
    {0x93, M::Ahx, A::ZeroPageYIndirect, 6, false, C::Unstable},
    {0x94, M::Sty, A::ZeroPageX, 4, false, C::Move},
    {0x95, M::Sta, A::ZeroPageX, 4, false, C::Move},
    {0x96, M::Stx, A::ZeroPageY, 4, false, C::Move},
    {0x97, M::Sax, A::ZeroPageY, 4, false, C::Illegal},
    {0x98, M::Tya, A::Register, 2, false, C::Move},
    {0x99, M::Sta, A::AbsoluteY, 5, false, C::Move},
    {0x9A, M::Txs, A::Register, 2, false, C::Move},
    {0x9B, M::Tas, A::AbsoluteY, 5, false, C::Unstable},
    {0x9C, M::Shy, A::AbsoluteX, 5, false, C::Unstable},
    {0x9D, M::Sta, A::AbsoluteX, 5, false, C::Move},
    {0x9E, M::Shx, A::AbsoluteY, 5, false, C::Unstable},
    {0x9F, M::Ahx, A::AbsoluteY, 5, false, C::Unstable},
    {0xA0, M::Ldy, A::Immediate, 2, false, C::Move},
    {0xA1, M::Lda, A::ZeroPageXIndirect, 6, false, C::Move},
    {0xA2, M::Ldx, A::Immediate, 2, false, C::Move},
    {0xA3, M::Lax, A::ZeroPageXIndirect, 6, false, C::Illegal},
    {0xA4, M::Ldy, A::ZeroPage, 3, false, C::Move},
    {0xA5, M::Lda, A::ZeroPage, 3, false, C::Move},
    {0xA6, M::Ldx, A::ZeroPage, 3, false, C::Move},
    {0xA7, M::Lax, A::ZeroPage, 3, false, C::Illegal},
    {0xA8, M::Tay, A::Register, 2, false, C::Move},
    {0xA9, M::Lda, A::Immediate, 2, false, C::Move},
    {0xAA, M::Tax, A::Register, 2, false, C::Move},
    {0xAB, M::Lax, A::Immediate, 2, false, C::Unstable},
    {0xAC, M::Ldy, A::Absolute, 4, false, C::Move},
    {0xAD, M::Lda, A::Absolute, 4, false, C::Move},
    {0xAE, M::Ldx, A::Absolute, 4, false, C::Move},
    {0xAF, M::Lax, A::Absolute, 4, false, C::Illegal},
    {0xB0, M::Bcs, A::Relative, 2, false, C::Branch},
    {0xB1, M::Lda, A::ZeroPageYIndirect, 5, true, C::Move},
    {0xB2, M::Kil, A::None, 0, false, C::Illegal},
    {0xB3, M::Lax, A::ZeroPageYIndirect, 5, true, C::Illegal},
    {0xB4, M::Ldy, A::ZeroPageX, 4, false, C::Move},
    {0xB5, M::Lda, A::ZeroPageX, 4, false, C::Move},
    {0xB6, M::Ldx, A::ZeroPageY, 4, false, C::Move},
    {0xB7, M::Lax, A::ZeroPageY, 4, false, C::Illegal},
    {0xB8, M::Clv, A::Register, 2, false, C::Flag},
    {0xB9, M::Lda, A::AbsoluteY, 4, true, C::Move},
    {0xBA, M::Tsx, A::Register, 2, false, C::Move},
    {0xBB, M::Las, A::AbsoluteY, 4, true, C::Illegal},
    {0xBC, M::Ldy, A::AbsoluteX, 4, true, C::Move},
    {0xBD, M::Lda, A::AbsoluteX, 4, true, C::Move},
    {0xBE, M::Ldx, A::AbsoluteY, 4, true, C::Move},
    {0xBF, M::Lax, A::AbsoluteY, 4, true, C::Illegal},
    {0xC0, M::Cpy, A::Immediate, 2, false, C::Arithmetic},
    {0xC1, M::Cmp, A::ZeroPageXIndirect, 6, false, C::Arithmetic},
    {0xC2, M::Nop, A::Immediate, 2, false, C::Illegal},
    {0xC3, M::Dcp, A::ZeroPageXIndirect, 8, false, C::Illegal},
    {0xC4, M::Cpy, A::ZeroPage, 3, false, C::Arithmetic},
    {0xC5, M::Cmp, A::ZeroPage, 3, false, C::Arithmetic},
    {0xC6, M::Dec, A::ZeroPage, 5, false, C::Arithmetic},
    {0xC7, M::Dcp, A::ZeroPage, 5, false, C::Illegal},
    {0xC8, M::Iny, A::Register, 2, false, C::Arithmetic},
    {0xC9, M::Cmp, A::Immediate, 2, false, C::Arithmetic},
    {0xCA, M::Dex, A::Register, 2, false, C::Arithmetic},
    {0xCB, M::Axs, A::Immediate, 2, false, C::Illegal},
    {0xCC, M::Cpy, A::Absolute, 4, false, C::Arithmetic},
    {0xCD, M::Cmp, A::Absolute, 4, false, C::Arithmetic},
    {0xCE, M::Dec, A::Absolute, 6, false, C::Arithmetic},
    {0xCF, M::Dcp, A::Absolute, 6, false, C::Illegal},
    {0xD0, M::Bne, A::Relative, 2, false, C::Branch},
    {0xD1, M::Cmp, A::ZeroPageYIndirect, 5, true, C::Arithmetic},
    {0xD2, M::Kil, A::None, 0, false, C::Illegal},
    {0xD3, M::Dcp, A::ZeroPageYIndirect, 8, false, C::Illegal},
    {0xD4, M::Nop, A::ZeroPageX, 4, false, C::Illegal},
    {0xD5, M::Cmp, A::ZeroPageX, 4, false, C::Arithmetic},
    {0xD6, M::Dec, A::ZeroPageX, 6, false, C::Arithmetic},
    {0xD7, M::Dcp, A::ZeroPageX, 6, false, C::Illegal},
    {0xD8, M::Cld, A::Register, 2, false, C::Flag},
    {0xD9, M::Cmp, A::AbsoluteY, 4, true, C::Arithmetic},
    {0xDA, M::Nop, A::None, 2, false, C::Illegal},
    {0xDB, M::Dcp, A::AbsoluteY, 7, false, C::Illegal},
    {0xDC, M::Nop, A::AbsoluteX, 4, true, C::Illegal},
    {0xDD, M::Cmp, A::AbsoluteX, 4, true, C::Arithmetic},
    {0xDE, M::Dec, A::AbsoluteX, 7, false, C::Arithmetic},
    {0xDF, M::Dcp, A::AbsoluteX, 7, false, C::Illegal},
    {0xE0, M::Cpx, A::Immediate, 2, false, C::Arithmetic},
    {0xE1, M::Sbc, A::ZeroPageXIndirect, 6, false, C::Arithmetic},
    {0xE2, M::Nop, A::Immediate, 2, false, C::Illegal},
    {0xE3, M::Isc, A::ZeroPageXIndirect, 8, false, C::Illegal},
    {0xE4, M::Cpx, A::ZeroPage, 3, false, C::Arithmetic},
    {0xE5, M::Sbc, A::ZeroPage, 3, false, C::Arithmetic},
    {0xE6, M::Inc, A::ZeroPage, 5, false, C::Arithmetic},
    {0xE7, M::Isc, A::ZeroPage, 5, false, C::Illegal},
    {0xE8, M::Inx, A::Register, 2, false, C::Arithmetic},
    {0xE9, M::Sbc, A::Immediate, 2, false, C::Arithmetic},
    {0xEA, M::Nop, A::Register, 2, false, C::Branch},
    {0xEB, M::Sbc, A::Immediate, 2, false, C::Illegal},
    {0xEC, M::Cpx, A::Absolute, 4, false, C::Arithmetic},
    {0xED, M::Sbc, A::Absolute, 4, false, C::Arithmetic},
    {0xEE, M::Inc, A::Absolute, 6, false, C::Arithmetic},
    {0xEF, M::Isc, A::Absolute, 6, false, C::Illegal},
    {0xF0, M::Beq, A::Relative, 2, false, C::Branch},
    {0xF1, M::Sbc, A::ZeroPageYIndirect, 5, true, C::Arithmetic},
    {0xF2, M::Kil, A::None, 0, false, C::Illegal},
    {0xF3, M::Isc, A::ZeroPageYIndirect, 8, false, C::Illegal},
    {0xF4, M::Nop, A::ZeroPageX, 4, false, C::Illegal},
    {0xF5, M::Sbc, A::ZeroPageX, 4, false, C::Arithmetic},
    {0xF6, M::Inc, A::ZeroPageX, 6, false, C::Arithmetic},
    {0xF7, M::Isc, A::ZeroPageX, 6, false, C::Illegal},
    {0xF8, M::Sed, A::Register, 2, false, C::Flag},
    {0xF9, M::Sbc, A::AbsoluteY, 4, true, C::Arithmetic},
    {0xFA, M::Nop, A::None, 2, false, C::Illegal},
    {0xFB, M::Isc, A::AbsoluteY, 7, false, C::Illegal},
    {0xFC, M::Nop, A::AbsoluteX, 4, true, C::Illegal},
    {0xFD, M::Sbc, A::AbsoluteX, 4, true, C::Arithmetic},
    {0xFE, M::Inc, A::AbsoluteX, 7, false, C::Arithmetic},
    {0xFF, M::Isc, A::AbsoluteX, 7, false, C::Illegal},
};

constexpr bool RowsInOpcodeOrder() {
  for (size_t i = 0; i < 256; ++i)
    if (kOpcodeEntries[i].opcode != i) return false;
  return true;
}
static_assert(RowsInOpcodeOrder());
static_assert(kOpcodeEntries[0xA9].mnemonic == Mnemonic::Lda && kOpcodeEntries[0xA9].mode == AddressingMode::Immediate);

// Outside quotes: blanks dropped and letters lowered; inside, kept as written.
std::string CompactOperand(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  char quote = 0;
  for (char c : text) {
    if (quote != 0) {
      if (c == quote) quote = 0;
      out += c;
      continue;
    }
    if (c == '"' || c == '\'') quote = c;
    if (c == ' ' || c == '\t' || c == '\n' || c == '\r') continue;
    out += (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
  }
  return out;
}

// The first occurrence of `pattern` outside quotes.
size_t FindUnquoted(std::string_view text, std::string_view pattern) {
  char quote = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (quote != 0) {
      if (c == quote) quote = 0;
      continue;
    }
    if (c == '"' || c == '\'') {
      quote = c;
      continue;
    }
    if (c == pattern[0] && text.substr(i, pattern.size()) == pattern) return i;
  }
  return kNotFound;
}

// Cuts `pattern` out and then the first character, which must be the
// opening parenthesis for the mode to stand.
AddressingMode CutIndirect(std::string& operand, size_t at, size_t length, AddressingMode mode) {
  operand.erase(at, length);
  const bool opened = !operand.empty() && operand[0] == '(';
  if (!operand.empty()) operand.erase(0, 1);
  return opened ? mode : AddressingMode::Unknown;
}

}  // namespace

std::string_view MnemonicName(uint32_t id) { return id <= kMnemonicCount ? kMnemonicNames[id] : kMnemonicNames[0]; }
std::string_view MnemonicName(Mnemonic m) { return MnemonicName(static_cast<uint32_t>(m)); }

Mnemonic FindMnemonic(std::string_view text) {
  if (text.size() != 3) return Mnemonic::None;
  char lower[3];
  for (size_t i = 0; i < 3; ++i) lower[i] = (text[i] >= 'A' && text[i] <= 'Z') ? static_cast<char>(text[i] + 32) : text[i];
  const std::string_view word(lower, 3);
  for (uint32_t id = 1; id <= kMnemonicCount; ++id)
    if (kMnemonicNames[id] == word) return static_cast<Mnemonic>(id);
  return Mnemonic::None;
}

bool IsBranch(Mnemonic m) {
  switch (m) {
    case Mnemonic::Bcc:
    case Mnemonic::Bcs:
    case Mnemonic::Beq:
    case Mnemonic::Bmi:
    case Mnemonic::Bne:
    case Mnemonic::Bpl:
    case Mnemonic::Bvc:
    case Mnemonic::Bvs: return true;
    default: return false;
  }
}

std::string_view ModeWord(AddressingMode mode) {
  const auto id = static_cast<uint32_t>(mode);
  return id < kModeCount ? kModes[id].word : "???";
}

std::string_view ModeName(AddressingMode mode) {
  const auto id = static_cast<uint32_t>(mode);
  return id < kModeCount ? kModes[id].name : "Unknown";
}

uint32_t InstructionLength(AddressingMode mode) {
  const auto id = static_cast<uint32_t>(mode);
  return id < kModeCount ? kModes[id].length : 0;
}

std::string FormatOperand(AddressingMode mode, std::string_view value) {
  std::string v(value);
  switch (mode) {
    case AddressingMode::None:
    case AddressingMode::Register: return "";
    case AddressingMode::Immediate: return "#" + v;
    case AddressingMode::ZeroPage:
    case AddressingMode::Absolute:
    case AddressingMode::Relative: return v;
    case AddressingMode::ZeroPageX:
    case AddressingMode::AbsoluteX: return v + ",x";
    case AddressingMode::ZeroPageY:
    case AddressingMode::AbsoluteY: return v + ",y";
    case AddressingMode::ZeroPageXIndirect: return "(" + v + ",x)";
    case AddressingMode::ZeroPageYIndirect: return "(" + v + "),y";
    case AddressingMode::Indirect: return "(" + v + ")";
    default: return "!! Addressing mode error !! (%s)";
  }
}

AddressingMode ParseOperandMode(std::string& operand, bool indirect_allowed) {
  operand = CompactOperand(operand);
  if (operand.empty()) return AddressingMode::Register;
  if (operand[0] == '#') {
    operand.erase(0, 1);
    return FindUnquoted(operand, ",") == kNotFound ? AddressingMode::Immediate : AddressingMode::Unknown;
  }
  if (size_t at = FindUnquoted(operand, "),y"); at != kNotFound)
    return CutIndirect(operand, at, 3, AddressingMode::ZeroPageYIndirect);
  if (size_t at = FindUnquoted(operand, ",x)"); at != kNotFound)
    return CutIndirect(operand, at, 3, AddressingMode::ZeroPageXIndirect);
  if (indirect_allowed) {
    if (size_t at = operand.find(')'); at != kNotFound) return CutIndirect(operand, at, 1, AddressingMode::Indirect);
  }
  if (size_t at = FindUnquoted(operand, ",y"); at != kNotFound) {
    operand.erase(at, 2);
    return AddressingMode::AbsoluteY;
  }
  if (size_t at = FindUnquoted(operand, ",x"); at != kNotFound) {
    operand.erase(at, 2);
    return AddressingMode::AbsoluteX;
  }
  return AddressingMode::Absolute;
}

namespace {
constexpr OpcodeTable kTable(kOpcodeEntries);
static_assert(kTable.NarrowsToZeroPage(Mnemonic::Lda) && kTable.NarrowsToZeroPage(Mnemonic::Stx) &&
              kTable.NarrowsToZeroPage(Mnemonic::Bit));
static_assert(!kTable.NarrowsToZeroPage(Mnemonic::Nop) && !kTable.NarrowsToZeroPage(Mnemonic::Lax) &&
              !kTable.NarrowsToZeroPage(Mnemonic::Jmp));
}  // namespace

const OpcodeTable& Opcodes() { return kTable; }

}  // namespace vantrel
