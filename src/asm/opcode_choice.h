// asm/opcode_choice.h: which opcode an instruction as written assembles
// to. The assembler chooses with it, and the source recovery asks it
// whether a decoded instruction would come back as the same byte.
#pragma once

#include <optional>

#include "asm/opcodes.h"

namespace vantrel {

// The mode `written` (as ParseOperandMode answers it) becomes once the
// operand's width is known: a byte-wide operand narrows to zero page for
// the instructions with a documented zero-page form. Branches are not
// handled here.
AddressingMode AssembledMode(const OpcodeTable& opcodes, Mnemonic m, AddressingMode written, bool byte_wide);

// Whether `entry`, written with its mnemonic and its operand in source
// syntax (two hex digits for a one-byte operand, four for a two-byte one,
// the target for a branch), assembles back to the same opcode.
bool Reassembles(const OpcodeTable& opcodes, const OpcodeEntry& entry);

}  // namespace vantrel
