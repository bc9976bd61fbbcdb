// basic/text_pieces.h: the text of a loaded line, joined so that the
// tokenizer reads every byte back. The C64 stores letters and operator
// characters that were never tokens (PRINT spelled out, a raw "+") and
// tokens side by side that text would merge (GO and TO read as GOTO); the
// keyword matcher would turn such text into other tokens, so just enough of
// these bytes are written as {$xx}.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "petscii/token_table.h"

namespace vantrel {

struct TextPiece {
  enum class Kind {
    Plain,    // one character of a name or of punctuation, for `byte`
    Keyword,  // a token written as its keyword, for token `byte`
    Fixed,    // text that keyword matching does not look into, or cannot break
  };
  Kind kind = Kind::Fixed;
  std::string_view text;  // the caller keeps it alive
  int32_t byte = 0;    // above $FF a token's two bytes
  bool coded = false;  // written as {$xx}
};

// The pieces' text, with the Plain and Keyword pieces that the keyword
// matcher would misread written as byte codes. A misread keyword is broken
// at the plain character that leaves the fewest misreads, the last on a tie
// (PRINT spelled out becomes PRIN{$54}); a keyword with no such character is
// coded itself.
// `pieces` is left with the coded ones marked.
std::string JoinReadably(std::vector<TextPiece>& pieces, const TokenTable& keywords);

}  // namespace vantrel
