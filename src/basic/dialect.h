// basic/dialect.h: the Commodore BASIC versions and extensions a program can
// be written in: their keyword tables, the load address of their machine,
// and how to find one by name.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "basic/dialect_keyword.h"
#include "petscii/token_table.h"

namespace vantrel {

struct Dialect {
  std::string_view name;         // as -dialect: and {dialect:} take it
  std::string_view aliases;      // further names, blank-separated
  std::string_view description;  // for messages
  uint16_t load_address;         // where its machine loads a BASIC program
  // Other machines' addresses that the same BASIC runs at; 0 for none.
  std::array<uint16_t, 3> other_addresses;
  std::string_view extends;      // the dialect it adds keywords to; empty for none
  std::span<const DialectKeyword> keywords;

  bool IsPrefix(uint8_t byte) const;
  // The row of a code; null for an unassigned code.
  const DialectKeyword* Find(int32_t code) const;
  bool FitsAddress(uint16_t address) const;
};

// Every dialect; the first is the default, Commodore 64 BASIC 2.0.
std::span<const Dialect> Dialects();
const Dialect& DefaultDialect();
// By name or alias, in any letter case; null when there is none.
const Dialect* FindDialect(std::string_view name);

// The keyword table the tokenizer and detokenizer use for `dialect`. BASIC
// 2.0's is the table at start-up; the others take the longest keyword.
TokenTable MakeKeywordTable(const Dialect& dialect);

// The keyword that `text` starts with in each dialect other than `current`
// where it is longer than `at_least` characters: the dialects a statement
// written for another BASIC comes from (DOPEN, GRAPHIC, DO, LOOP).
struct ForeignKeyword {
  const Dialect* dialect;
  size_t length;
};
std::vector<ForeignKeyword> ForeignKeywordsAt(const Dialect& current, std::string_view text, size_t at_least);

// The codes outside quotes and REM in a program's line bytes that a
// dialect does not know, and its two-byte codes among those it knows: how
// far the program is from being written in it, and how surely it is.
struct TokenCount {
  int32_t unknown = 0;
  int32_t prefixed = 0;
};
// The bytes of a program's lines that dialects can tell apart, found once
// for counting in every dialect.
class CodeCensus {
 public:
  explicit CodeCensus(std::span<const std::string_view> line_bytes);

 private:
  friend TokenCount CountTokens(const Dialect& dialect, const CodeCensus& census);
  struct Code {
    uint32_t at;        // in its line
    uint8_t byte;
    uint8_t next;       // the byte after it; 0 at the end of the line
    bool next_is_code;  // and that byte is the next entry
  };
  std::vector<Code> codes_;
  std::vector<std::string_view> steered_;  // lines each dialect reads itself
};
TokenCount CountTokens(const Dialect& dialect, const CodeCensus& census);
// The dialect that a program's load address and line bytes point to when
// `current` does not fit them and it does; null otherwise.
const Dialect* LikelyDialect(const Dialect& current, uint16_t load_address, const CodeCensus& census);

}  // namespace vantrel
