// basic/line_lexer.h: cuts one BASIC line into elements. Source text and the
// raw bytes of a loaded program go through the same lexer; in byte mode
// keywords are already tokens, so no keyword matching is done.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "basic/bas_element.h"
#include "petscii/token_table.h"

namespace vantrel {

class LineLexer {
 public:
  enum class Mode { Text, TextShortcuts, Bytes };

  LineLexer(std::string_view line, const TokenTable& keywords, Mode mode)
      : line_(line), keywords_(keywords), mode_(mode) {}

  // The element after the previous one. `rest_of_line` (after REM or an
  // apostrophe) takes everything left; `in_data` (after DATA) reads items.
  BasElement Next(bool rest_of_line, bool in_data);
  void SetMode(Mode mode) { mode_ = mode; }
  bool AtEnd() const { return pos_ >= line_.size(); }
  // The characters the last element covered, blanks around a DATA item included.
  std::string_view LastSpan() const { return line_.substr(last_start_, pos_ - last_start_); }

 private:
  BasElement Take(BasElementKind kind, size_t length, int32_t value);
  BasElement NextDataItem();
  BasElement NextQuoted();
  BasElement NextBrace();
  TokenMatch MatchKeyword(size_t pos) const;
  size_t NameLength() const;

  std::string_view line_;
  const TokenTable& keywords_;
  Mode mode_;
  size_t pos_ = 0;
  size_t last_start_ = 0;
};

}  // namespace vantrel
