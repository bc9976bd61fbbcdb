// asm/symbols.h: the assembler's symbol table. Names map to values, with an
// importance level from their prefix ("!" important, "@" local) and a
// relocation mark ("^"); the table is dumped, filtered by level, as the
// text the .sym output carries.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "asm/c6510_address.h"
#include "asm/name_table.h"
#include "asm/symbol_level.h"

namespace vantrel {

class AsmInstr;

// The small members sit beside the value, so a symbol takes 32 bytes.
struct AsmSymbol {
  std::string_view name;  // lower case, prefixes removed; locals keep "@" and get "@n"
  C6510Address value;
  SymbolLevel level = SymbolLevel::General;
  bool isLabel = false;
  bool relocatable = false;
  AsmInstr* line = nullptr;  // the defining label or equate line
};

// Why an insertion was refused; the caller words the message.
enum class AddSymbolResult { Added, InvalidName, Redefined };

class SymbolTable {
 public:
  // Normalises the name by its prefixes and inserts it; `name` becomes the
  // stored name (also on failure, for the message).
  AddSymbolResult AddSymbol(std::string& name, bool is_label, AsmInstr* line);
  const AsmSymbol* FindSymbol(std::string_view lower_name) const;
  void SetDemotion(bool on) { demotion_ = on; }
  void Reserve(size_t count);
  // Fills unknown values from the defining lines; answers how many stay unknown.
  size_t RefreshValues();
  // The symbols, in name order.
  std::vector<const AsmSymbol*> Sorted() const;
  // Those whose value is still unknown, in name order.
  std::vector<const AsmSymbol*> Unknown() const;
  size_t Size() const { return symbols_.size(); }
  bool Empty() const { return symbols_.empty(); }

  // The nearest definition of local label `lower_name` ("@loop") before or
  // after line `index`; null when none.
  const AsmSymbol* FindLocal(std::string_view lower_name, size_t index, bool backwards) const;
  uint32_t CountLocal(std::string_view lower_name) const;

  // The level the dump and the .sym file filter by: auto picks the highest
  // level present.
  SymbolLevel EffectiveLevel(SymbolLevel requested) const;
  // The symbols at or above `level`, in name order.
  std::vector<const AsmSymbol*> AtLevel(SymbolLevel level) const;
  // One symbol as an equate line, the name padded to `name_width`; at the
  // debug level with its level, width, kind and relocation columns.
  static std::string SymbolLine(const AsmSymbol& s, size_t name_width, bool debug);
  // The whole table text: title, symbol lines, closing rule and count.
  std::string DumpSymbols(SymbolLevel requested) const;

 private:
  struct LocalDefinition {
    size_t index;
    const AsmSymbol* symbol;
  };
  // One place of the open-addressed name index: which symbol (plus one, 0
  // for an empty place) and part of its name's hash, so most misses never
  // touch the symbol itself.
  struct Slot {
    uint32_t symbol = 0;
    uint32_t hash = 0;
  };

  // The place that holds `name`, or the empty one it would take.
  size_t Probe(std::string_view name, size_t hash) const;
  void Rehash(size_t slot_count);

  // Looked up by views, so a lookup makes no string.
  struct NameHash {
    using is_transparent = void;
    size_t operator()(std::string_view name) const { return std::hash<std::string_view>{}(name); }
  };
  template <typename T>
  using NameMap = std::unordered_map<std::string, T, NameHash, std::equal_to<>>;

  // Kept in definition order, and never moved, so pointers to them hold and
  // the passes walk them in memory order rather than node by node.
  std::deque<AsmSymbol> symbols_;
  TextStore names_;  // the symbols' names, and the lines' names the table normalised
  std::vector<Slot> slots_;  // a power of two in size, at most three quarters full
  NameMap<std::vector<LocalDefinition>> locals_;
  bool demotion_ = false;
};

std::string_view SymbolLevelText(SymbolLevel level);

}  // namespace vantrel
