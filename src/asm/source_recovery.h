// asm/source_recovery.h: machine code back to assembler source that
// assembles to the same bytes (-asm). A run of at least four
// instructions that ends in a jump or a return is taken for code, and
// everything reached from it through jumps and branches too; labels go
// where jumps and branches land; everything else is written as data.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "asm/opcodes.h"

namespace vantrel {

// The source for `bytes` loaded at `start`, from "orig" on.
std::string RecoveredSource(const OpcodeTable& opcodes, const std::vector<uint8_t>& bytes, uint16_t start);

}  // namespace vantrel
