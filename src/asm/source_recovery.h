// asm/source_recovery.h: machine code back to assembler source that
// assembles to the same bytes (-asm). A run of at least four documented
// instructions that ends in a jump or a return (any such run from the
// first byte) is taken for code, with everything reached from it through
// jumps and branches; labels go where jumps and branches land; all other
// bytes are written as data.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "asm/opcodes.h"

namespace vantrel {

// The source for `bytes` loaded at `start`, from "orig" on.
std::string RecoveredSource(const OpcodeTable& opcodes, const std::vector<uint8_t>& bytes, uint16_t start);

}  // namespace vantrel
