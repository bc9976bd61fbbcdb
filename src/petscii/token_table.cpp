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

}  // namespace

bool TokenTable::SetCaseInsensitive() {
  if (!by_name_.empty() || !by_code_.empty()) return false;
  case_insensitive_ = true;
  return true;
}

std::string TokenTable::Key(std::string_view name) const {
  return case_insensitive_ ? LowerCopy(name) : std::string(name);
}

void TokenTable::Widen(int32_t code) {
  if (code > 0xFF) prefixes_.set(static_cast<uint8_t>(code >> 8));
  lowest_ = std::min(lowest_, code);
  highest_ = std::max(highest_, code);
}

void TokenTable::RecomputeBounds() {
  lowest_ = std::numeric_limits<int32_t>::max();
  highest_ = std::numeric_limits<int32_t>::min();
  prefixes_.reset();
  for (const auto& [code, name] : listing_) Widen(code);
  for (const auto& [code, name] : by_code_) Widen(code);
  for (const auto& [name, code] : by_name_) Widen(code);
}

bool TokenTable::Add(int32_t code, std::string_view name) {
  std::string key = Key(name);
  if (key.empty() || by_code_.count(code) != 0 || by_name_.count(key) != 0) return false;
  by_code_[code] = key;
  by_name_[key] = code;
  Widen(code);
  index_stale_ = true;
  return true;
}

bool TokenTable::AddAlias(int32_t code, std::string_view name) {
  std::string key = Key(name);
  if (key.empty() || by_name_.count(key) != 0) return false;
  by_name_[key] = code;
  Widen(code);
  return true;
}

bool TokenTable::RemoveCode(int32_t code) {
  bool existed = by_code_.erase(code) != 0;
  index_stale_ = true;
  RecomputeBounds();
  return existed;
}

bool TokenTable::AddListing(int32_t code, std::string_view name) {
  if (name.empty() || by_code_.count(code) != 0) return false;
  listing_[code] = Key(name);
  Widen(code);
  return true;
}

bool TokenTable::HasName(std::string_view name) const { return by_name_.count(Key(name)) != 0; }

std::optional<int32_t> TokenTable::FindCode(std::string_view name) const {
  auto it = by_name_.find(Key(name));
  if (it == by_name_.end()) return std::nullopt;
  return it->second;
}

std::optional<std::string> TokenTable::FindName(int32_t code) const {
  auto it = by_code_.find(code);
  if (it != by_code_.end()) return it->second;
  if (auto listed = listing_.find(code); listed != listing_.end()) return listed->second;
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

const std::vector<std::pair<int32_t, std::string>>& TokenTable::NamesStartingWith(char c) const {
  if (index_stale_) {
    for (auto& names : by_first_) names.clear();
    for (const auto& [code, name] : by_code_) by_first_[static_cast<uint8_t>(name[0])].emplace_back(code, name);
    index_stale_ = false;
  }
  return by_first_[static_cast<uint8_t>(c)];
}

TokenMatch TokenTable::MatchKeyword(std::string_view line, size_t pos) const {
  if (pos >= line.size()) return {};
  TokenMatch best;
  for (const auto& [code, name] : NamesStartingWith(ToUpper(line[pos]))) {
    if (!NameAtUpper(line, pos, name) || name.size() <= best.length) continue;
    best = {code, name.size()};
    if (!longest_match_) break;
  }
  return best;
}

TokenMatch TokenTable::MatchShortcut(std::string_view line, size_t pos) const {
  if (pos >= line.size()) return {};
  for (const auto& [code, name] : NamesStartingWith(line[pos]))
    if (size_t length = ShortcutLength(line, pos, name)) return {code, length};
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
  const bool replacing = by_code_.count(code) != 0;
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
  if (auto named = by_name_.find(key); named != by_name_.end()) {
    auto owner = by_code_.find(named->second);
    if (owner != by_code_.end() && owner->second == key) by_code_.erase(owner);
    by_name_.erase(named);
  }
  if (auto old = by_code_.find(code); old != by_code_.end()) {
    auto stale = by_name_.find(old->second);
    if (stale != by_name_.end() && stale->second == code) by_name_.erase(stale);
    by_code_.erase(old);
  }
  by_code_[code] = key;
  by_name_[key] = code;
  index_stale_ = true;
  RecomputeBounds();
}

}  // namespace vantrel
