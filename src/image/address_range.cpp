#include "image/address_range.h"

#include <algorithm>

#include "text/text_ops.h"

namespace vantrel {

bool AddressRange::IsEmpty() const {
  if (start == 0 && end == kAllOnes) return false;
  return end < start || start == kAllOnes;
}

bool AddressRange::Extend(uint64_t address) {
  if (start <= address && address <= end) return false;
  if (IsEmpty()) {
    start = end = address;
    return true;
  }
  start = std::min(start, address);
  end = std::max(end, address);
  return true;
}

void AddressRange::Extend(const AddressRange& other) {
  if (other.IsEmpty()) return;
  Extend(other.end);
  Extend(other.start);
}

bool AddressRange::Overlaps(const AddressRange& other) const {
  return !IsEmpty() && !other.IsEmpty() && start <= other.end && other.start <= end;
}

std::string AddressRange::Text() const {
  auto digits = [](uint64_t a) { return a < 256 ? 2 : 4; };
  std::string text(1, '$');
  text += Hex(start, digits(start));
  text += ' ';
  text += Hex(end, digits(end));
  return text;
}

}  // namespace vantrel
