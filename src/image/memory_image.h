// image/memory_image.h: the 64 KiB of C64 memory both runs write into, with
// the range of addresses written so far.
#pragma once

#include <cstdint>
#include <vector>

#include "image/address_range.h"
#include "image/program_file.h"

namespace vantrel {

class MemoryImage {
 public:
  MemoryImage() : bytes_(65537, 0) {}

  uint8_t Read(uint16_t address) const { return bytes_[address]; }
  uint16_t ReadWord(uint16_t address) const {
    return static_cast<uint16_t>(bytes_[address] | (bytes_[address + 1u] << 8));
  }
  void Write(uint16_t address, uint8_t value) { bytes_[address] = value; }
  void MarkUsed(uint16_t address) { used_.Extend(address); }
  void MarkWordUsed(uint16_t address);
  const AddressRange& Used() const { return used_; }
  void Clear();

  // Copies the range into `out` as a PRG; false when it does not fit 16 bits.
  bool Extract(const AddressRange& range, ProgramFile& out) const;
  // Copies a PRG to its load address; false when refused.
  bool Place(const ProgramFile& file);
  // Last byte of the BASIC program at the start of `used`; 0 when none.
  uint16_t BasicEnd() const;
  AddressRange RangeBehindBasic() const;

 private:
  AddressRange used_ = AddressRange::Reset();
  std::vector<uint8_t> bytes_;
};

}  // namespace vantrel
