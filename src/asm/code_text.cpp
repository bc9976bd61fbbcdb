#include "asm/code_text.h"

#include "asm/source_recovery.h"
#include "text/text_ops.h"

namespace vantrel {

namespace {

constexpr size_t kBytesPerLine = 16;

std::string DataLines(const std::vector<uint8_t>& bytes, uint16_t start) {
  std::string out = "\torig $" + Hex(start, 4) + "\n";
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (i % kBytesPerLine == 0) out += "\thex";
    (out += ' ') += Hex(bytes[i], 2);
    if (i % kBytesPerLine == kBytesPerLine - 1 || i + 1 == bytes.size()) out += '\n';
  }
  return out;
}

}  // namespace

std::string CodeBlock(const OpcodeTable& opcodes, const std::vector<uint8_t>& bytes, uint16_t start,
                      bool instructions) {
  const std::string body = instructions ? RecoveredSource(opcodes, bytes, start) : DataLines(bytes, start);
  return "{asm}\n" + body + "{endasm}\n";
}

}  // namespace vantrel
