#include "image/memory_image.h"

#include <algorithm>

namespace vantrel {

// A fresh mapping instead of zeroing: a run that writes a few pages does not
// touch the other fourteen.
void MemoryImage::Clear() {
  bytes_ = decltype(bytes_)(bytes_.size());
  used_ = AddressRange::Reset();
}

bool MemoryImage::Extract(const AddressRange& range, ProgramFile& out) const {
  if (!range.Fits16Bits()) return false;
  out.SetData(std::vector<uint8_t>(bytes_.begin() + static_cast<long>(range.start),
                                   bytes_.begin() + static_cast<long>(range.end) + 1));
  out.type = FileType::Prg;
  out.load_address = static_cast<uint16_t>(range.start);
  out.load_address_pending = false;
  return true;
}

bool MemoryImage::Place(const ProgramFile& file) {
  if (file.type != FileType::Prg || file.Size() < 1 || file.Size() > ProgramFile::kMaxSize) return false;
  const uint8_t* data = file.Data();
  size_t n = file.Size();
  uint32_t address = file.load_address;
  if (file.load_address_pending) {
    // Both the pending address and at least one byte of program are needed.
    if (n < 3) return false;
    address = static_cast<uint32_t>(data[0] | (data[1] << 8));
    data += 2;
    n -= 2;
  }
  // The last byte may be at $FFFF, where the assembler can put one.
  if (n == 0 || address == 0 || address + n > 65536) return false;
  std::copy(data, data + n, bytes_.begin() + address);
  used_.Extend(AddressRange(address, address + n - 1));
  return true;
}

uint16_t MemoryImage::BasicEnd() const { return WalkBasic(nullptr); }

std::vector<BasicLineStart> MemoryImage::BasicLines() const {
  std::vector<BasicLineStart> lines;
  if (WalkBasic(&lines) == 0) lines.clear();
  return lines;
}

uint16_t MemoryImage::WalkBasic(std::vector<BasicLineStart>* lines) const {
  if (used_.IsEmpty() || used_.start > 0xFFFF || (used_.start & 0xFFFF) > (used_.end & 0xFFFF)) return 0;
  const uint32_t start = static_cast<uint32_t>(used_.start);
  const uint32_t end = static_cast<uint32_t>(used_.end & 0xFFFF);
  uint32_t p = start;
  while (true) {
    uint32_t w = ReadWord(static_cast<uint16_t>(p));
    if (w == 0) return p == start ? 0 : static_cast<uint16_t>(p + 1);
    // Each link must point past the line it starts, or the chain is broken.
    if (w <= p || w <= start || w >= end) return 0;
    if (p != start && bytes_[p - 1] != 0) return 0;
    if (lines != nullptr) lines->push_back({static_cast<uint16_t>(p), ReadWord(static_cast<uint16_t>(p + 2))});
    p = w;
  }
}

AddressRange MemoryImage::RangeBehindBasic() const {
  uint16_t e = BasicEnd();
  if (e == 0) return used_;
  if (e < 0xFFFF && used_.Contains(static_cast<uint16_t>(e + 1))) return {e + 1u, used_.end};
  return AddressRange::Reset();
}

}  // namespace vantrel
