// image/address_range.h: an inclusive range of addresses with a defined
// empty state. Addresses are 64-bit so that a range can say "not set".
#pragma once

#include <cstdint>
#include <string>

namespace vantrel {

class AddressRange {
 public:
  static constexpr uint64_t kAllOnes = ~uint64_t{0};

  AddressRange() = default;
  AddressRange(uint64_t start, uint64_t end) : start(start), end(end) {}
  // The value that means "no range given".
  static AddressRange Reset() { return {kAllOnes, kAllOnes - 1}; }

  bool IsEmpty() const;
  uint64_t Size() const { return IsEmpty() ? 0 : end - start + 1; }
  bool Extend(uint64_t address);
  void Extend(const AddressRange& other);
  bool Contains(uint16_t address) const { return start <= address && address <= end; }
  bool Overlaps(const AddressRange& other) const;
  bool Fits16Bits() const { return !IsEmpty() && start <= 0xFFFF && end <= 0xFFFF; }
  // "$0801 0a00": start with "$", end without; 2 or 4 hex digits each.
  std::string Text() const;

  bool operator==(const AddressRange&) const = default;

  uint64_t start = 1;
  uint64_t end = 0;
};

}  // namespace vantrel
