// asm/opcodes.h: the 6510 instruction set shared by the assembler and the
// disassembler: mnemonics, addressing modes and the 256-entry opcode table.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vantrel {

// 1 to 56 are the documented instructions in alphabetical order, 57 to 75
// the undocumented ones.
enum class Mnemonic : uint8_t {
  None = 0,
  Adc, And, Asl, Bcc, Bcs, Beq, Bit, Bmi, Bne, Bpl, Brk, Bvc, Bvs, Clc, Cld, Cli, Clv, Cmp, Cpx, Cpy,
  Dec, Dex, Dey, Eor, Inc, Inx, Iny, Jmp, Jsr, Lda, Ldx, Ldy, Lsr, Nop, Ora, Pha, Php, Pla, Plp, Rol,
  Ror, Rti, Rts, Sbc, Sec, Sed, Sei, Sta, Stx, Sty, Tax, Tay, Tsx, Txa, Txs, Tya,
  Ahx, Axs, Alr, Arr, Anc, Dcp, Kil, Las, Lax, Isc, Rla, Rra, Sax, Shx, Shy, Slo, Sre, Tas, Xaa,
};
inline constexpr uint32_t kMnemonicCount = 75;

enum class AddressingMode : uint8_t {
  None = 0,
  Register,
  Immediate,
  ZeroPage,
  ZeroPageX,
  ZeroPageY,
  ZeroPageXIndirect,
  ZeroPageYIndirect,
  Absolute,
  AbsoluteX,
  AbsoluteY,
  Indirect,
  Relative,
  Unknown,
};
inline constexpr uint32_t kModeCount = 13;  // None to Relative

// One character of "lambfiu"; NUL when a row names none.
enum class InstructionClass : char {
  None = 0,
  Logic = 'l',
  Arithmetic = 'a',
  Move = 'm',
  Branch = 'b',
  Flag = 'f',
  Illegal = 'i',
  Unstable = 'u',
};

struct OpcodeEntry {
  uint8_t opcode = 0;
  Mnemonic mnemonic = Mnemonic::None;
  AddressingMode mode = AddressingMode::None;
  uint8_t cycles = 0;
  bool pageCrossing = false;
  InstructionClass cls = InstructionClass::None;

  // Undocumented opcodes; the listing hides their names unless asked.
  constexpr bool IsIllegal() const { return cls == InstructionClass::Illegal || cls == InstructionClass::Unstable; }
};

std::string_view MnemonicName(Mnemonic m);
std::string_view MnemonicName(uint32_t id);
// The id of a mnemonic, any case; None when the word is not one.
Mnemonic FindMnemonic(std::string_view text);
bool IsBranch(Mnemonic m);

std::string_view ModeWord(AddressingMode mode);
std::string_view ModeName(AddressingMode mode);
uint32_t InstructionLength(AddressingMode mode);
// The operand as written in source for a mode around a value text.
std::string FormatOperand(AddressingMode mode, std::string_view value);

// Decides the addressing mode of a source operand and strips the mode
// syntax from `operand`, leaving the value expression. Never answers a
// zero-page mode: zero page is chosen later by width.
AddressingMode ParseOperandMode(std::string& operand, bool indirect_allowed);

class OpcodeTable {
 public:
  // Built when the program is compiled, from the rows in opcodes.cpp.
  constexpr explicit OpcodeTable(const OpcodeEntry (&entries)[256]) {
    for (size_t n = 0; n < 256; ++n) {
      entries_[n] = entries[n];
      uint16_t& slot = lookup_[static_cast<uint32_t>(entries[n].mnemonic)][static_cast<uint32_t>(entries[n].mode)];
      if (slot == 0) slot = static_cast<uint16_t>(n + 1);
    }
  }

  const OpcodeEntry& operator[](uint8_t opcode) const { return entries_[opcode]; }
  // The lowest opcode with this mnemonic and mode.
  constexpr std::optional<OpcodeEntry> FindOpcode(Mnemonic m, AddressingMode mode) const {
    const auto id = static_cast<uint32_t>(m);
    const auto mode_id = static_cast<uint32_t>(mode);
    if (id > kMnemonicCount || mode_id >= kModeCount) return std::nullopt;
    const uint16_t slot = lookup_[id][mode_id];
    if (slot == 0) return std::nullopt;
    return entries_[slot - 1];
  }
  // Whether a byte-wide operand takes the zero-page form: the instructions
  // with a documented one do; undocumented ones and nop keep the form written.
  constexpr bool NarrowsToZeroPage(Mnemonic m) const {
    const std::optional<OpcodeEntry> entry = FindOpcode(m, AddressingMode::ZeroPage);
    return entry && !entry->IsIllegal();
  }

 private:
  std::array<OpcodeEntry, 256> entries_{};
  // (mnemonic, mode) -> opcode + 1; 0 for no such instruction.
  std::array<std::array<uint16_t, kModeCount>, kMnemonicCount + 1> lookup_{};
};

// The one table of the run.
const OpcodeTable& Opcodes();

}  // namespace vantrel
