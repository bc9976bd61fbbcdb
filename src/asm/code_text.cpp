#include "asm/code_text.h"

#include <set>

#include "text/text_ops.h"

namespace vantrel {

namespace {

constexpr size_t kBytesPerLine = 16;

std::string LabelName(uint32_t address) {
  std::string name(1, 'l');
  return name += Hex(address, 4);
}

std::string Dollar(uint32_t value, int digits) {
  std::string text(1, '$');
  return text += Hex(value, digits);
}

// The length of the instruction at `i` that reassembles to the same bytes,
// or 0 when the bytes there are better kept as data.
uint32_t InstructionAt(const OpcodeTable& opcodes, const std::vector<uint8_t>& bytes, size_t i) {
  const OpcodeEntry& e = opcodes[bytes[i]];
  // Zero bytes are nearly always data (fill, ends of tables), not brk.
  if (e.IsIllegal() || e.mnemonic == Mnemonic::None || bytes[i] == 0x00) return 0;
  const uint32_t length = InstructionLength(e.mode);
  if (i + length > bytes.size()) return 0;
  // A branch to the byte after its own opcode cannot be assembled.
  if (e.mode == AddressingMode::Relative && bytes[i + 1] == 0xFF) return 0;
  return length;
}

uint32_t OperandValue(const OpcodeEntry& e, const std::vector<uint8_t>& bytes, size_t i, uint32_t address) {
  const uint32_t length = InstructionLength(e.mode);
  if (e.mode == AddressingMode::Relative)
    return static_cast<uint16_t>(address + 2 + static_cast<int8_t>(bytes[i + 1]));
  if (length == 2) return bytes[i + 1];
  if (length == 3) return static_cast<uint32_t>(bytes[i + 1] | (bytes[i + 2] << 8));
  return 0;
}

bool JumpsTo(const OpcodeEntry& e) {
  return e.mode == AddressingMode::Relative ||
         (e.mode == AddressingMode::Absolute && (e.mnemonic == Mnemonic::Jmp || e.mnemonic == Mnemonic::Jsr));
}

}  // namespace

std::string CodeBlock(const OpcodeTable& opcodes, const std::vector<uint8_t>& bytes, uint16_t start,
                      bool instructions) {
  // Where instructions start, and which of them something jumps to.
  std::vector<uint32_t> lengths(bytes.size(), 0);
  std::set<uint32_t> starts;
  if (instructions) {
    for (size_t i = 0; i < bytes.size();) {
      lengths[i] = InstructionAt(opcodes, bytes, i);
      if (lengths[i] > 0) starts.insert(start + static_cast<uint32_t>(i));
      i += lengths[i] > 0 ? lengths[i] : 1;
    }
  }
  std::set<uint32_t> labels;
  for (uint32_t at : starts) {
    const size_t i = at - start;
    const OpcodeEntry& e = opcodes[bytes[i]];
    const uint32_t target = OperandValue(e, bytes, i, at);
    if (JumpsTo(e) && starts.count(target)) labels.insert(target);
  }

  std::string out = "{asm}\n\torig ";
  out += Dollar(start, 4);
  out += '\n';
  std::string data;
  size_t data_count = 0;
  auto flush = [&] {
    if (data_count > 0) ((out += "\thex") += data) += '\n';
    data.clear();
    data_count = 0;
  };
  for (size_t i = 0; i < bytes.size();) {
    const uint32_t at = start + static_cast<uint32_t>(i);
    if (lengths[i] == 0) {
      (data += ' ') += Hex(bytes[i], 2);
      if (++data_count == kBytesPerLine) flush();
      ++i;
      continue;
    }
    flush();
    const OpcodeEntry& e = opcodes[bytes[i]];
    if (labels.count(at)) out += LabelName(at) + ":\n";
    const uint32_t value = OperandValue(e, bytes, i, at);
    std::string operand;
    if (JumpsTo(e) && labels.count(value)) operand = LabelName(value);
    // Four digits keep an absolute operand absolute; two make zero page.
    else operand = Dollar(value, InstructionLength(e.mode) == 3 || e.mode == AddressingMode::Relative ? 4 : 2);
    (out += '\t') += MnemonicName(e.mnemonic);
    if (InstructionLength(e.mode) > 1) (out += ' ') += FormatOperand(e.mode, operand);
    out += "\n";
    i += lengths[i];
  }
  flush();
  return out + "{endasm}\n";
}

}  // namespace vantrel
