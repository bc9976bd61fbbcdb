// petscii/token_table.h: a two-way table of names and codes. It holds the BASIC
// keywords, the tokenizer directive names and the PETSCII brace names, finds
// the keyword that starts at a position of a line, and applies the token
// definitions of {tokenizer:...} and {quoter:...}.
#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <limits>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
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

class TokenTable {
 public:
  // Lowers every name before storing and looking it up. Only possible while
  // the table is empty; returns whether it took effect.
  bool SetCaseInsensitive();

  // A primary name: refused when the code or the name is already present,
  // and for an empty name, which would match anywhere.
  bool Add(int32_t code, std::string_view name);
  // A further input name for a code; refused when the name is present.
  bool AddAlias(int32_t code, std::string_view name);
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

  int32_t Lowest() const { return lowest_; }
  int32_t Highest() const { return highest_; }

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
  std::string Key(std::string_view name) const;
  void Widen(int32_t code);
  void RecomputeBounds();
  bool ApplyAssignment(std::string_view item, MsgLog& log, SourcePos at);
  void Rebind(int32_t code, const std::string& key);
  // The names by their first character, in code order: a match at a
  // position only tries the few names that can start there.
  const std::vector<std::pair<int32_t, std::string>>& NamesStartingWith(char c) const;

  bool case_insensitive_ = false;
  bool longest_match_ = false;
  std::bitset<256> prefixes_;
  std::map<int32_t, std::string> listing_;
  std::map<std::string, int32_t> by_name_;
  std::map<int32_t, std::string> by_code_;
  int32_t lowest_ = std::numeric_limits<int32_t>::max();
  int32_t highest_ = std::numeric_limits<int32_t>::min();
  mutable std::array<std::vector<std::pair<int32_t, std::string>>, 256> by_first_;
  mutable bool index_stale_ = true;
};

}  // namespace vantrel
