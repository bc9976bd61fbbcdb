// asm/code_text.h: bytes written as assembler source that assembles back to
// exactly those bytes at their address: the {asm} block that keeps the
// machine code behind a BASIC program when it is turned into text.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "asm/opcodes.h"

namespace vantrel {

// The bytes at `start` as an {asm} ... {endasm} block of text lines. As
// data, 16 bytes to a hex line; with `instructions`, the source -asm
// writes (source_recovery.h).
std::string CodeBlock(const OpcodeTable& opcodes, const std::vector<uint8_t>& bytes, uint16_t start,
                      bool instructions);

}  // namespace vantrel
