// petscii/token_table.h: a two-way table of names and codes. It holds the BASIC
// keywords, the tokenizer directive names and the PETSCII brace names, finds
// the keyword that starts at a position of a line, and applies the token
// definitions of {tokenizer:...} and {quoter:...}.
//
// The built-in tables are sorted when the program is compiled (FreezeTokens),
// so a run that never changes them builds nothing; the first change copies
// the table into memory of its own.
#pragma once

#include <algorithm>
#include <array>
#include <bitset>
#include <cstdint>
#include <deque>
#include <limits>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "log/msg_log.h"

namespace vantrel {

// A keyword found in a line: its code and how many characters it covers.
// A failed match has code 0 and length 0.
struct TokenMatch {
  int32_t code = 0;
  size_t length = 0;

  explicit operator bool() const { return length != 0; }
};

struct TokenName {
  int32_t code;
  std::string_view name;
};

// A row of a built-in table: a primary name is the code's output form, any
// other name only reads as the code.
struct TokenRow {
  int32_t code;
  std::string_view name;
  bool primary;
};

namespace token_order {

constexpr bool ByName(const TokenName& a, const TokenName& b) { return a.name < b.name; }
constexpr bool ByCode(const TokenName& a, const TokenName& b) { return a.code < b.code; }

// The positions of `by_code` grouped by their name's first character, in
// code order within a group, and where each group starts: a match at a
// position only tries the few names that can start there.
template <class Positions, class Starts>
constexpr void GroupByFirst(std::span<const TokenName> by_code, Positions& order, Starts& start) {
  std::array<size_t, 257> count{};
  for (const TokenName& n : by_code) ++count[static_cast<uint8_t>(n.name[0]) + 1];
  for (size_t c = 1; c < count.size(); ++c) count[c] += count[c - 1];
  for (size_t c = 0; c < count.size(); ++c) start[c] = static_cast<uint16_t>(count[c]);
  for (size_t i = 0; i < by_code.size(); ++i) order[count[static_cast<uint8_t>(by_code[i].name[0])]++] = static_cast<uint16_t>(i);
}

}  // namespace token_order

// A built-in table in the orders the lookups need.
template <size_t kNames, size_t kCodes>
struct FrozenTokens {
  std::array<TokenName, kNames> by_name{};
  std::array<TokenName, kCodes> by_code{};
  std::array<uint16_t, kCodes> first_order{};
  std::array<uint16_t, 257> first_start{};
  std::array<bool, 256> prefixes{};
  bool case_insensitive = false;
};

constexpr size_t CountPrimaries(std::span<const TokenRow> rows) {
  return static_cast<size_t>(std::count_if(rows.begin(), rows.end(), [](const TokenRow& r) { return r.primary; }));
}

// Rows that would clash (a name twice, a second primary name for a code, an
// empty name, upper case in a case-insensitive table) stop the compilation,
// so adding them one by one could not have refused any.
template <size_t kNames, size_t kCodes>
constexpr FrozenTokens<kNames, kCodes> FreezeTokens(std::span<const TokenRow> rows, bool case_insensitive) {
  FrozenTokens<kNames, kCodes> t;
  t.case_insensitive = case_insensitive;
  if (rows.size() != kNames || CountPrimaries(rows) != kCodes) throw "row counts do not match the table's size";
  size_t codes = 0;
  for (size_t i = 0; i < rows.size(); ++i) {
    const TokenRow& r = rows[i];
    if (r.name.empty()) throw "empty name";
    if (case_insensitive && std::any_of(r.name.begin(), r.name.end(), [](char c) { return c >= 'A' && c <= 'Z'; }))
      throw "a case-insensitive table stores its names lowered";
    t.by_name[i] = {r.code, r.name};
    if (r.primary) t.by_code[codes++] = {r.code, r.name};
    if (r.code > 0xFF) t.prefixes[static_cast<uint8_t>(r.code >> 8)] = true;
  }
  std::sort(t.by_name.begin(), t.by_name.end(), token_order::ByName);
  std::sort(t.by_code.begin(), t.by_code.end(), token_order::ByCode);
  for (size_t i = 1; i < kNames; ++i)
    if (t.by_name[i - 1].name == t.by_name[i].name) throw "a name twice";
  for (size_t i = 1; i < kCodes; ++i)
    if (t.by_code[i - 1].code == t.by_code[i].code) throw "two primary names for one code";
  token_order::GroupByFirst(std::span<const TokenName>(t.by_code), t.first_order, t.first_start);
  return t;
}

class TokenTable {
 public:
  TokenTable();
  // Reads `frozen` in place, so it must live as long as the program: a
  // constexpr table at namespace scope.
  template <size_t kNames, size_t kCodes>
  explicit TokenTable(const FrozenTokens<kNames, kCodes>& frozen)
      : view_{frozen.by_name, frozen.by_code, {}, frozen.first_order, frozen.first_start},
        case_insensitive_(frozen.case_insensitive) {
    for (size_t b = 0; b < frozen.prefixes.size(); ++b) prefixes_[b] = frozen.prefixes[b];
  }

  // A primary name: refused when the code or the name is already present,
  // and for an empty name, which would match anywhere.
  bool Add(int32_t code, std::string_view name);
  // Drops the primary name of a code; its names still resolve to it.
  bool RemoveCode(int32_t code);
  // A name the code is written as, but which does not read as the code: a
  // dialect's code that lists as a word typed as something else.
  bool AddListing(int32_t code, std::string_view name);
  // The longest name at a position wins, not the lowest code: dialects
  // whose keywords start with others (DOPEN and DO, FORMAT and FOR).
  void SetLongestMatch(bool on) { longest_match_ = on; }
  // Whether a code above $FF (two bytes: this one, then any) starts with `byte`.
  bool IsPrefix(uint8_t byte) const { return prefixes_[byte]; }

  bool HasName(std::string_view name) const;
  std::optional<int32_t> FindCode(std::string_view name) const;
  std::optional<std::string> FindName(int32_t code) const;
  // The output form of a token byte: its name, or {pi} for 255 and {$xx}
  // for any other code without one ({$xx}{$yy} for two bytes); the
  // tokenizer reads both back.
  std::string OutputName(int32_t code) const;

  // The keyword written out in full at `pos`, in any letter case. The lowest
  // code wins, so INPUT# beats INPUT and GOTO beats GO.
  TokenMatch MatchKeyword(std::string_view line, size_t pos) const;
  // The abbreviated keyword at `pos`: its leading letters as written in the
  // name, then the next one in lower case (pO is POKE).
  TokenMatch MatchShortcut(std::string_view line, size_t pos) const;

  // The token definitions "value=name, ..." of a {tokenizer:...} or
  // {quoter:...} directive. Every item is tried; true when all succeeded.
  bool ApplyAssignments(std::string_view text, MsgLog& log, SourcePos at);

 private:
  // What the lookups read: the frozen arrays, or the table's own copy.
  struct View {
    std::span<const TokenName> by_name;   // every input name, by name
    std::span<const TokenName> by_code;   // the output name of each code, by code
    std::span<const TokenName> listing;   // names that only list, by code
    std::span<const uint16_t> first_order;
    std::span<const uint16_t> first_start;
  };
  // A changed table; shared by copies until one of them changes again.
  struct Owned {
    std::deque<std::string> names;  // a deque, so views into it stay put
    std::vector<TokenName> by_name, by_code, listing;
    std::vector<uint16_t> first_order;
    std::array<uint16_t, 257> first_start{};
  };

  std::string Key(std::string_view name) const;
  Owned& Own();
  void Publish();
  void NotePrefix(int32_t code);
  void RecomputePrefixes();
  bool ApplyAssignment(std::string_view item, MsgLog& log, SourcePos at);
  void Rebind(int32_t code, const std::string& key);
  std::span<const uint16_t> NamesStartingWith(char c) const;

  View view_;
  std::shared_ptr<Owned> owned_;
  bool case_insensitive_ = false;
  bool longest_match_ = false;
  std::bitset<256> prefixes_;
};

}  // namespace vantrel
