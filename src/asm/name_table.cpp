#include "asm/name_table.h"

#include <algorithm>
#include <cstring>
#include <functional>

namespace vantrel {

uint32_t NameTable::Intern(std::string_view name) {
  if (slots_.size() < 2 * (entries_.size() + 1)) Rehash(slots_.empty() ? 64 : slots_.size() * 2);
  const size_t mask = slots_.size() - 1;
  for (size_t i = std::hash<std::string_view>{}(name) & mask;; i = (i + 1) & mask) {
    if (slots_[i] == 0) {
      entries_.push_back({text_.Keep(name)});
      slots_[i] = static_cast<uint32_t>(entries_.size());
      return slots_[i] - 1;
    }
    if (Name(slots_[i] - 1) == name) return slots_[i] - 1;
  }
}

void NameTable::Rehash(size_t slot_count) {
  slots_.assign(slot_count, 0);
  const size_t mask = slot_count - 1;
  for (uint32_t e = 0; e < entries_.size(); ++e) {
    size_t i = std::hash<std::string_view>{}(Name(e)) & mask;
    while (slots_[i] != 0) i = (i + 1) & mask;
    slots_[i] = e + 1;
  }
}

}  // namespace vantrel
