// image/memory_image.h: the 64 KiB of C64 memory both runs write into, with
// the range of addresses written so far.
#pragma once

#include <sys/mman.h>

#include <cstdint>
#include <new>
#include <vector>

#include "image/address_range.h"
#include "image/program_file.h"

namespace vantrel {

// Memory straight from the system, which hands it out zeroed and maps a page
// only when it is first used: most runs write a few pages of the 64 KiB, and
// zeroing all of it first cost every run 17 page faults.
template <typename T>
struct UntouchedAllocator {
  using value_type = T;
  UntouchedAllocator() = default;
  template <typename U>
  UntouchedAllocator(const UntouchedAllocator<U>&) {}  // NOLINT: rebinding
  T* allocate(size_t n) {
    void* p = mmap(nullptr, n * sizeof(T), PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED) throw std::bad_alloc();
    return static_cast<T*>(p);
  }
  void deallocate(T* p, size_t n) { munmap(p, n * sizeof(T)); }
  template <typename U>
  void construct(U*) {}  // the mapping's zeros are the value
  template <typename U, typename... Args>
  void construct(U* p, Args&&... args) {
    ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
  }
  bool operator==(const UntouchedAllocator&) const { return true; }
};

// Where a line of the BASIC program in memory starts, and its number.
struct BasicLineStart {
  uint16_t address = 0;
  uint16_t number = 0;
};

class MemoryImage {
 public:
  MemoryImage() : bytes_(65537) {}

  uint8_t Read(uint16_t address) const { return bytes_[address]; }
  uint16_t ReadWord(uint16_t address) const {
    return static_cast<uint16_t>(bytes_[address] | (bytes_[address + 1u] << 8));
  }
  void Write(uint16_t address, uint8_t value) { bytes_[address] = value; }
  void MarkUsed(uint16_t address) { used_.Extend(address); }
  const AddressRange& Used() const { return used_; }
  void Clear();

  // Copies the range into `out` as a PRG; false when it does not fit 16 bits.
  bool Extract(const AddressRange& range, ProgramFile& out) const;
  // Copies a PRG to its load address; false when refused.
  bool Place(const ProgramFile& file);
  // Last byte of the BASIC program at the start of `used`; 0 when none.
  uint16_t BasicEnd() const;
  AddressRange RangeBehindBasic() const;
  // The lines of that program in link order; empty when there is none.
  std::vector<BasicLineStart> BasicLines() const;

 private:
  // Walks the link chain from the start of `used`; BasicEnd's answer.
  uint16_t WalkBasic(std::vector<BasicLineStart>* lines) const;

  AddressRange used_ = AddressRange::Reset();
  std::vector<uint8_t, UntouchedAllocator<uint8_t>> bytes_;
};

}  // namespace vantrel
