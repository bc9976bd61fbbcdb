#include "asm/symbols.h"

#include <algorithm>
#include <bit>

#include "asm/asm_instr.h"
#include "text/text_ops.h"

namespace vantrel {

std::string_view SymbolLevelText(SymbolLevel level) {
  switch (level) {
    case SymbolLevel::Debug: return "[Debug]";
    case SymbolLevel::All: return "[  All]";
    case SymbolLevel::Local: return "[Local]";
    case SymbolLevel::General: return "[Genrl]";
    case SymbolLevel::Important: return "[Impnt]";
    case SymbolLevel::Auto: return "[ Auto]";
    default: return "[Error]";
  }
}

AddSymbolResult SymbolTable::AddSymbol(std::string& name, bool is_label, AsmInstr* line) {
  AsmSymbol symbol;
  symbol.isLabel = is_label;
  symbol.relocatable = is_label;
  symbol.line = line;
  bool rename = false;
  while (!name.empty() && name[0] == '^') {
    symbol.relocatable = true;
    name = LowerCopy(std::string_view(name).substr(1));
  }
  if (!name.empty() && name[0] == '!') {
    symbol.level = SymbolLevel::Important;
    name = LowerCopy(std::string_view(name).substr(1));
    rename = !name.empty();
  } else if (!name.empty() && name[0] == '@') {
    // Every definition of a local label gets its own numbered entry.
    const std::string base = LowerCopy(name);
    symbol.level = SymbolLevel::Local;
    name = base + "@" + std::to_string(CountLocal(base));
    rename = true;
  } else {
    name = LowerCopy(name);
  }
  symbol.name = names_.Keep(name);
  if (rename && line != nullptr) line->Rename(symbol.name);
  if (name.empty()) return AddSymbolResult::InvalidName;
  if (line != nullptr) line->GetValue(symbol.value);
  if (demotion_ && symbol.level == SymbolLevel::Important) symbol.level = SymbolLevel::General;
  if (4 * (symbols_.size() + 1) > 3 * slots_.size()) Rehash(std::max<size_t>(64, 2 * slots_.size()));
  const size_t hash = std::hash<std::string_view>{}(name);
  Slot& slot = slots_[Probe(name, hash)];
  if (slot.symbol != 0) return AddSymbolResult::Redefined;
  const AsmSymbol& added = symbols_.emplace_back(std::move(symbol));
  slot = {static_cast<uint32_t>(symbols_.size()), static_cast<uint32_t>(hash)};
  if (added.level == SymbolLevel::Local) {
    const std::string base = name.substr(0, name.rfind('@'));
    locals_[base].push_back({line != nullptr ? line->Index() : 0, &added});
  }
  return AddSymbolResult::Added;
}

const AsmSymbol* SymbolTable::FindSymbol(std::string_view lower_name) const {
  if (slots_.empty()) return nullptr;
  const Slot& slot = slots_[Probe(lower_name, std::hash<std::string_view>{}(lower_name))];
  return slot.symbol == 0 ? nullptr : &symbols_[slot.symbol - 1];
}

size_t SymbolTable::Probe(std::string_view name, size_t hash) const {
  const size_t mask = slots_.size() - 1;
  const uint32_t tag = static_cast<uint32_t>(hash);
  for (size_t i = tag & mask;; i = (i + 1) & mask) {
    const Slot& slot = slots_[i];
    if (slot.symbol == 0 || (slot.hash == tag && symbols_[slot.symbol - 1].name == name)) return i;
  }
}

// The places come from the kept hash bits alone, so growing never reads a name.
void SymbolTable::Rehash(size_t slot_count) {
  std::vector<Slot> old(std::bit_ceil(slot_count));
  old.swap(slots_);
  const size_t mask = slots_.size() - 1;
  for (const Slot& slot : old) {
    if (slot.symbol == 0) continue;
    size_t i = slot.hash & mask;
    while (slots_[i].symbol != 0) i = (i + 1) & mask;
    slots_[i] = slot;
  }
}

void SymbolTable::Reserve(size_t count) {
  if (4 * (symbols_.size() + count) > 3 * slots_.size()) Rehash(4 * (symbols_.size() + count) / 3 + 1);
}

size_t SymbolTable::RefreshValues() {
  size_t unknown = 0;
  for (AsmSymbol& symbol : symbols_) {
    if (!symbol.value.known && symbol.line != nullptr) symbol.line->GetValue(symbol.value);
    if (!symbol.value.known) ++unknown;
  }
  return unknown;
}

std::vector<const AsmSymbol*> SymbolTable::Sorted() const {
  std::vector<const AsmSymbol*> out;
  out.reserve(symbols_.size());
  for (const AsmSymbol& symbol : symbols_) out.push_back(&symbol);
  std::sort(out.begin(), out.end(), [](const AsmSymbol* a, const AsmSymbol* b) { return a->name < b->name; });
  return out;
}

std::vector<const AsmSymbol*> SymbolTable::Unknown() const {
  std::vector<const AsmSymbol*> out;
  for (const AsmSymbol& symbol : symbols_)
    if (!symbol.value.known) out.push_back(&symbol);
  std::sort(out.begin(), out.end(), [](const AsmSymbol* a, const AsmSymbol* b) { return a->name < b->name; });
  return out;
}

const AsmSymbol* SymbolTable::FindLocal(std::string_view lower_name, size_t index, bool backwards) const {
  auto it = locals_.find(lower_name);
  if (it == locals_.end()) return nullptr;
  const std::vector<LocalDefinition>& defs = it->second;
  // Definitions were added in line order, so the nearest one is a binary search away.
  auto after = std::upper_bound(defs.begin(), defs.end(), index,
                                [](size_t i, const LocalDefinition& d) { return i < d.index; });
  if (backwards) {
    while (after != defs.begin()) {
      --after;
      if (after->index < index) return after->symbol;
    }
    return nullptr;
  }
  return after == defs.end() ? nullptr : after->symbol;
}

uint32_t SymbolTable::CountLocal(std::string_view lower_name) const {
  auto it = locals_.find(lower_name);
  return it == locals_.end() ? 0 : static_cast<uint32_t>(it->second.size());
}

SymbolLevel SymbolTable::EffectiveLevel(SymbolLevel requested) const {
  if (symbols_.empty()) return SymbolLevel::Invalid;
  if (requested != SymbolLevel::Auto) return requested;
  SymbolLevel highest = SymbolLevel::Invalid;
  for (const AsmSymbol& symbol : symbols_) highest = std::max(highest, symbol.level);
  return highest;
}

std::vector<const AsmSymbol*> SymbolTable::AtLevel(SymbolLevel level) const {
  std::vector<const AsmSymbol*> out = Sorted();
  std::erase_if(out, [level](const AsmSymbol* s) { return s->level < level; });
  return out;
}

std::string SymbolTable::SymbolLine(const AsmSymbol& s, size_t name_width, bool debug) {
  std::string line(s.name);
  line.resize(std::max(name_width, s.name.size()), ' ');
  line += "  = ";
  // Two-digit values line up with four-digit ones.
  if (s.value.known && s.value.size != Width::Word && s.value.value < 256) line += "  ";
  line += s.value.Format(true);
  if (debug) {
    line += "; ";
    line += SymbolLevelText(s.level);
    line += WidthText(s.value.size);
    line += s.isLabel ? "[lbl]" : "[sym]";
    line += s.relocatable ? "[Reloc]" : "[     ]";
  }
  return line;
}

std::string SymbolTable::DumpSymbols(SymbolLevel requested) const {
  const SymbolLevel level = EffectiveLevel(requested);
  const std::vector<const AsmSymbol*> shown = AtLevel(level);
  if (shown.empty()) return "No symbols\n";
  size_t name_width = 0;
  for (const AsmSymbol* s : shown) name_width = std::max(name_width, s->name.size());
  const bool debug = level == SymbolLevel::Debug;
  const size_t width = name_width + (debug ? 36 : 9);
  std::string out = Centre("Symbol Table", width, '-');
  // Centre leaves a text unpadded when the left fill would be empty.
  if (out.size() < width) out += Repeat('-', width - out.size());
  out += '\n';
  for (const AsmSymbol* s : shown) out += SymbolLine(*s, name_width, debug) + "\n";
  out += Repeat('-', width) + "\n";
  out += std::to_string(shown.size()) + (shown.size() == 1 ? " symbol\n" : " symbols\n");
  return out;
}

}  // namespace vantrel
