// asm/name_table.h: the names an assembly's expressions use, each kept once.
// An expression term holds a name's index, not a string of its own, and the
// symbol a name stands for is looked up once for all the terms naming it.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "source/text_store.h"

namespace vantrel {

struct AsmSymbol;

class NameTable {
 public:
  // The index of `name`, added on first sight.
  uint32_t Intern(std::string_view name);
  std::string_view Name(uint32_t index) const { return entries_[index].name; }
  // The symbol found for the name; null until one was.
  const AsmSymbol* Symbol(uint32_t index) const { return entries_[index].symbol; }
  void SetSymbol(uint32_t index, const AsmSymbol* symbol) { entries_[index].symbol = symbol; }

 private:
  struct Entry {
    std::string_view name;
    const AsmSymbol* symbol = nullptr;
  };
  void Rehash(size_t slot_count);

  TextStore text_;
  std::vector<Entry> entries_;
  std::vector<uint32_t> slots_;  // entry index plus one; a power of two, at most half full
};

}  // namespace vantrel
