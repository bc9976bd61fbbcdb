#include "petscii/token_table.h"

#include <algorithm>

#include "text/byte_code.h"
#include "text/char_class.h"
#include "text/number_reader.h"
#include "text/text_ops.h"

namespace vantrel {

namespace {


// Whether `name` is written at `pos` once the line's letters are raised.
bool NameAtUpper(std::string_view line, size_t pos, std::string_view name) {
  if (line.size() - pos < name.size()) return false;
  for (size_t i = 0; i < name.size(); ++i)
    if (ToUpper(line[pos + i]) != name[i]) return false;
  return true;
}

// The length of the shortcut for `name` at `pos`, 0 when it is none: the
// name's first characters exactly, then its next letter lowered.
size_t ShortcutLength(std::string_view line, size_t pos, std::string_view name) {
  size_t n = std::min(name.size(), line.size() - pos);
  for (size_t i = 0; i < n; ++i) {
    if (line[pos + i] == name[i]) continue;
    return (i >= 1 && line[pos + i] == ToLower(name[i])) ? i + 1 : 0;
  }
  return 0;
}

std::string_view StripName(std::string_view name) {
  if (!name.empty() && name.back() == '"') name.remove_suffix(1);
  if (!name.empty() && name.front() == '"') name.remove_prefix(1);
  return name;
}

const TokenName* FindByName(std::span<const TokenName> names, std::string_view name) {
  auto it = std::lower_bound(names.begin(), names.end(), TokenName{0, name}, token_order::ByName);
  return it != names.end() && it->name == name ? &*it : nullptr;
}

const TokenName* FindByCode(std::span<const TokenName> names, int32_t code) {
  auto it = std::lower_bound(names.begin(), names.end(), TokenName{code, {}}, token_order::ByCode);
  return it != names.end() && it->code == code ? &*it : nullptr;
}

template <class Less>
void InsertSorted(std::vector<TokenName>& names, TokenName name, Less less) {
  names.insert(std::upper_bound(names.begin(), names.end(), name, less), name);
}

template <class Less>
bool EraseSorted(std::vector<TokenName>& names, TokenName key, Less less) {
  auto it = std::lower_bound(names.begin(), names.end(), key, less);
  if (it == names.end() || less(key, *it)) return false;
  names.erase(it);
  return true;
}

constexpr std::array<uint16_t, 257> kNoGroups{};

}  // namespace

TokenTable::TokenTable() : view_{{}, {}, {}, {}, kNoGroups} {}

std::string TokenTable::Key(std::string_view name) const {
  return case_insensitive_ ? LowerCopy(name) : std::string(name);
}

// Copy on the first change, and when a copy of the table shares the memory.
TokenTable::Owned& TokenTable::Own() {
  if (owned_ && owned_.use_count() == 1) return *owned_;
  auto owned = std::make_shared<Owned>();
  auto copy = [&owned](std::span<const TokenName> from, std::vector<TokenName>& to) {
    to.reserve(from.size());
    for (const TokenName& n : from) to.push_back({n.code, owned->names.emplace_back(n.name)});
  };
  copy(view_.by_name, owned->by_name);
  copy(view_.by_code, owned->by_code);
  copy(view_.listing, owned->listing);
  owned_ = std::move(owned);
  return *owned_;
}

void TokenTable::Publish() {
  Owned& o = *owned_;
  o.first_order.assign(o.by_code.size(), 0);
  token_order::GroupByFirst(std::span<const TokenName>(o.by_code), o.first_order, o.first_start);
  view_ = {o.by_name, o.by_code, o.listing, o.first_order, o.first_start};
}

void TokenTable::NotePrefix(int32_t code) {
  if (code > 0xFF) prefixes_.set(static_cast<uint8_t>(code >> 8));
}

void TokenTable::RecomputePrefixes() {
  prefixes_.reset();
  for (const auto& names : {view_.listing, view_.by_code, view_.by_name})
    for (const TokenName& n : names) NotePrefix(n.code);
}

bool TokenTable::Add(int32_t code, std::string_view name) {
  std::string key = Key(name);
  if (key.empty() || FindByCode(view_.by_code, code) || FindByName(view_.by_name, key)) return false;
  Owned& o = Own();
  const TokenName added{code, o.names.emplace_back(std::move(key))};
  InsertSorted(o.by_code, added, token_order::ByCode);
  InsertSorted(o.by_name, added, token_order::ByName);
  NotePrefix(code);
  Publish();
  return true;
}

bool TokenTable::RemoveCode(int32_t code) {
  bool existed = EraseSorted(Own().by_code, {code, {}}, token_order::ByCode);
  Publish();
  RecomputePrefixes();
  return existed;
}

bool TokenTable::AddListing(int32_t code, std::string_view name) {
  if (name.empty() || FindByCode(view_.by_code, code)) return false;
  Owned& o = Own();
  EraseSorted(o.listing, {code, {}}, token_order::ByCode);
  InsertSorted(o.listing, {code, o.names.emplace_back(Key(name))}, token_order::ByCode);
  NotePrefix(code);
  Publish();
  return true;
}

bool TokenTable::HasName(std::string_view name) const { return FindByName(view_.by_name, Key(name)) != nullptr; }

std::optional<int32_t> TokenTable::FindCode(std::string_view name) const {
  if (const TokenName* found = FindByName(view_.by_name, Key(name))) return found->code;
  return std::nullopt;
}

std::optional<std::string> TokenTable::FindName(int32_t code) const {
  if (const TokenName* found = FindByCode(view_.by_code, code)) return std::string(found->name);
  if (const TokenName* listed = FindByCode(view_.listing, code)) return std::string(listed->name);
  return std::nullopt;
}

std::string TokenTable::OutputName(int32_t code) const {
  if (auto name = FindName(code)) return *name;
  // 255 is the pi character, which has no keyword of its own.
  if (code == 0xFF) return "{pi}";
  // A two-byte code: its prefix byte, then the second byte.
  std::string text = code > 0xFF ? ByteCode(static_cast<uint8_t>(code >> 8)) : std::string();
  return text + ByteCode(static_cast<uint8_t>(code));
}

std::span<const uint16_t> TokenTable::NamesStartingWith(char c) const {
  const uint8_t first = static_cast<uint8_t>(c);
  return view_.first_order.subspan(view_.first_start[first], view_.first_start[first + 1] - view_.first_start[first]);
}

TokenMatch TokenTable::MatchKeyword(std::string_view line, size_t pos) const {
  if (pos >= line.size()) return {};
  TokenMatch best;
  for (uint16_t at : NamesStartingWith(ToUpper(line[pos]))) {
    const TokenName& n = view_.by_code[at];
    if (!NameAtUpper(line, pos, n.name) || n.name.size() <= best.length) continue;
    best = {n.code, n.name.size()};
    if (!longest_match_) break;
  }
  return best;
}

TokenMatch TokenTable::MatchShortcut(std::string_view line, size_t pos) const {
  if (pos >= line.size()) return {};
  for (uint16_t at : NamesStartingWith(line[pos]))
    if (size_t length = ShortcutLength(line, pos, view_.by_code[at].name)) return {view_.by_code[at].code, length};
  return {};
}

bool TokenTable::ApplyAssignments(std::string_view text, MsgLog& log, SourcePos at) {
  bool ok = true;
  for (const HiText& item : Split(text, ",;"))
    ok = ApplyAssignment(item, log, at) && ok;
  return ok;
}

bool TokenTable::ApplyAssignment(std::string_view item, MsgLog& log, SourcePos at) {
  size_t eq = item.find('=');
  if (eq == std::string_view::npos) return log.ReportError(at, "Badly formatted assigment: " + std::string(item));
  int64_t value = 0;
  // Above $FF: one of the dialect's prefix bytes and the byte after it.
  auto prefixed = [this](int64_t v) { return v <= 0xFFFF && IsPrefix(static_cast<uint8_t>(v >> 8)); };
  if (!ReadNumber(Trim(item.substr(0, eq)), value) || value < 0 || (value > 0xFF && !prefixed(value)))
    return log.ReportError(at, "Invalid value in: " + std::string(item));
  std::string name(StripName(Trim(item.substr(eq + 1))));
  if (name.find('"') != std::string::npos) return log.ReportError(at, "Mismatched quotes in: " + std::string(item));

  const int32_t code = static_cast<int32_t>(value);
  if (name.empty()) {
    RemoveCode(code);
    return log.ReportInfo(at, "Removing token $" + Hex(code, 2));
  }
  const bool replacing = FindByCode(view_.by_code, code) != nullptr;
  Rebind(code, Key(name));
  std::string report = replacing ? "Replacing token $" : "Adding token $";
  report += Hex(code, 1);
  report += " = ";
  report += name;
  return log.ReportInfo(at, report);
}

// The assignment wins over every older use of its name, and the replaced
// code's old name goes too, so that the name reads as the code and the code
// writes as the name.
void TokenTable::Rebind(int32_t code, const std::string& key) {
  Owned& o = Own();
  if (const TokenName* named = FindByName(o.by_name, key)) {
    const TokenName* owner = FindByCode(o.by_code, named->code);
    if (owner && owner->name == key) EraseSorted(o.by_code, *owner, token_order::ByCode);
    EraseSorted(o.by_name, {0, key}, token_order::ByName);
  }
  if (const TokenName* old = FindByCode(o.by_code, code)) {
    const TokenName* stale = FindByName(o.by_name, old->name);
    if (stale && stale->code == code) EraseSorted(o.by_name, *stale, token_order::ByName);
    EraseSorted(o.by_code, {code, {}}, token_order::ByCode);
  }
  const TokenName bound{code, o.names.emplace_back(key)};
  InsertSorted(o.by_code, bound, token_order::ByCode);
  InsertSorted(o.by_name, bound, token_order::ByName);
  Publish();
  RecomputePrefixes();
}

}  // namespace vantrel
