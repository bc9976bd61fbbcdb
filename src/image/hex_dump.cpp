#include "image/hex_dump.h"

#include <algorithm>
#include <cstdint>

#include "text/text_ops.h"

namespace vantrel {

namespace {

constexpr size_t kBytesPerLine = 16;

char Printable(uint8_t byte) { return byte >= 32 && byte <= 127 ? static_cast<char>(byte) : '.'; }

void AppendLine(std::string& out, uint16_t address, const uint8_t* bytes, size_t n, bool with_addresses,
                bool with_characters) {
  if (with_addresses) {
    out += Hex(address, 4);
    out += ':';
  }
  for (size_t i = 0; i < kBytesPerLine; ++i) {
    out += ' ';
    out += i < n ? Hex(bytes[i], 2) : std::string(2, ' ');
  }
  if (with_characters) {
    out += '|';
    for (size_t i = 0; i < kBytesPerLine; ++i) out += i < n ? Printable(bytes[i]) : ' ';
  }
  out += '\n';
}

}  // namespace

std::string HexDump(const ProgramFile& file, bool with_addresses, bool with_characters) {
  ProgramFile taken;
  const ProgramFile* source = &file;
  if (file.load_address_pending) {
    taken = file;
    taken.TakeLoadAddress();
    source = &taken;
  }
  const uint8_t* data = source->Data();
  const size_t size = source->Size();
  std::string out;
  // A full 64 KiB dump is 4,096 lines: the count is not wrapped, only the address.
  for (size_t shown = 0; shown < size; shown += kBytesPerLine) {
    const auto address = static_cast<uint16_t>(source->load_address + shown);
    AppendLine(out, address, data + shown, std::min(kBytesPerLine, size - shown), with_addresses,
               with_characters);
  }
  return out;
}

}  // namespace vantrel
