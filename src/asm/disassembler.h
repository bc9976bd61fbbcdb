// asm/disassembler.h: decoding the memory image back into instruction
// lines, with label lines and symbolic operands from the symbol table.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "asm/asm_fmt.h"
#include "asm/asm_instr.h"
#include "asm/opcodes.h"
#include "asm/symbols.h"
#include "image/address_range.h"
#include "image/memory_image.h"

namespace vantrel {

struct DecodedInstruction {
  bool valid = false;
  uint8_t opcode = 0, low = 0, high = 0;
  C6510Address address;
  OpcodeEntry entry;
  uint16_t operand = 0;
  Width operandWidth = Width::Auto;  // Auto: no operand
  bool known = false;
  AddressingMode mode = AddressingMode::None;
  uint32_t length = 0;
};

// Decodes the instruction at `address` and moves it past the instruction.
// Operand bytes past $FFFF are read from $0000 on, as the CPU would.
DecodedInstruction DecodeAt(const OpcodeTable& opcodes, const MemoryImage& image, uint32_t& address);

// The lines for `range` (the image's used range when the range is empty).
bool Disassemble(const OpcodeTable& opcodes, const MemoryImage& image, const AddressRange& range,
                 const AsmFmt& fmt, const SymbolTable& symbols, TextStore& texts,
                 std::vector<std::unique_ptr<AsmInstr>>& out);

}  // namespace vantrel
