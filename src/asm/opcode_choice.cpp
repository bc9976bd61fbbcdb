#include "asm/opcode_choice.h"

namespace vantrel {

namespace {

AddressingMode ZeroPageTwin(AddressingMode mode) {
  switch (mode) {
    case AddressingMode::Absolute: return AddressingMode::ZeroPage;
    case AddressingMode::AbsoluteX: return AddressingMode::ZeroPageX;
    case AddressingMode::AbsoluteY: return AddressingMode::ZeroPageY;
    default: return mode;
  }
}

// The mode source syntax gives before widths are known: zero page is
// written as absolute.
AddressingMode WrittenMode(AddressingMode mode) {
  switch (mode) {
    case AddressingMode::ZeroPage: return AddressingMode::Absolute;
    case AddressingMode::ZeroPageX: return AddressingMode::AbsoluteX;
    case AddressingMode::ZeroPageY: return AddressingMode::AbsoluteY;
    default: return mode;
  }
}

}  // namespace

AddressingMode AssembledMode(const OpcodeTable& opcodes, Mnemonic m, AddressingMode written, bool byte_wide) {
  return byte_wide && opcodes.NarrowsToZeroPage(m) ? ZeroPageTwin(written) : written;
}

bool Reassembles(const OpcodeTable& opcodes, const OpcodeEntry& entry) {
  // kil and the one-byte undocumented nops have no source form: without an
  // operand a line is Register.
  if (entry.mnemonic == Mnemonic::None || entry.mode == AddressingMode::None) return false;
  if (entry.mode == AddressingMode::Relative) return IsBranch(entry.mnemonic);
  const bool byte_wide = InstructionLength(entry.mode) == 2;
  const AddressingMode mode = AssembledMode(opcodes, entry.mnemonic, WrittenMode(entry.mode), byte_wide);
  const std::optional<OpcodeEntry> chosen = opcodes.FindOpcode(entry.mnemonic, mode);
  return chosen && chosen->opcode == entry.opcode;
}

}  // namespace vantrel
