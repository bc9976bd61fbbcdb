#include "basic/text_pieces.h"

#include <limits>
#include <optional>

#include "basic/byte_code.h"

namespace vantrel {

namespace {

struct Layout {
  std::string text;
  std::vector<size_t> starts;  // where each piece begins in the text
};

void Lay(const std::vector<TextPiece>& pieces, Layout& layout) {
  layout.text.clear();
  layout.starts.clear();
  for (const TextPiece& p : pieces) {
    layout.starts.push_back(layout.text.size());
    if (p.coded) layout.text += TokenCodes(p.byte);
    else layout.text += p.text;
  }
}

// The lexer tries a keyword at every plain character it reaches, so none
// may start one there, and a keyword must read as itself and end where its
// text ends. `match` is what the matcher finds at the piece.
bool Misread(const TextPiece& piece, const Layout& layout, size_t i, const TokenTable& keywords,
             TokenMatch& match) {
  if (piece.coded || piece.kind == TextPiece::Kind::Fixed) return false;
  match = keywords.MatchKeyword(layout.text, layout.starts[i]);
  if (piece.kind == TextPiece::Kind::Plain) return static_cast<bool>(match);
  return match.code != piece.byte || match.length != piece.text.size();
}

size_t MisreadsAmong(const std::vector<TextPiece>& pieces, size_t first, size_t last, const TokenTable& keywords) {
  Layout layout;
  Lay(pieces, layout);
  size_t count = 0;
  TokenMatch match;
  for (size_t i = first; i <= last; ++i) count += Misread(pieces[i], layout, i, keywords, match) ? 1 : 0;
  return count;
}

// The piece to code for the first misread one, or none when all read back.
std::optional<size_t> NextToCode(const std::vector<TextPiece>& pieces, const Layout& layout,
                                 const TokenTable& keywords) {
  for (size_t i = 0; i < pieces.size(); ++i) {
    TokenMatch match;
    if (!Misread(pieces[i], layout, i, keywords, match)) continue;
    const size_t start = layout.starts[i];
    const size_t end = start + match.length;
    // A keyword that reads too long is broken after its own text.
    const size_t own_end = pieces[i].kind == TextPiece::Kind::Keyword ? start + pieces[i].text.size() : start;
    size_t last = i;
    while (last + 1 < pieces.size() && layout.starts[last + 1] < end) ++last;
    std::optional<size_t> best;
    size_t fewest = std::numeric_limits<size_t>::max();
    for (size_t j = i; j <= last; ++j) {
      if (pieces[j].kind != TextPiece::Kind::Plain || pieces[j].coded || layout.starts[j] < own_end) continue;
      std::vector<TextPiece> trial = pieces;
      trial[j].coded = true;
      const size_t misreads = MisreadsAmong(trial, i, last, keywords);
      if (misreads <= fewest) {
        fewest = misreads;
        best = j;
      }
    }
    return best ? *best : i;
  }
  return std::nullopt;
}

}  // namespace

std::string JoinReadably(std::vector<TextPiece>& pieces, const TokenTable& keywords) {
  Layout layout;
  Lay(pieces, layout);
  // Coding a piece only ever removes matches, so this ends. Most lines
  // read back as they are and are laid out once.
  while (std::optional<size_t> i = NextToCode(pieces, layout, keywords)) {
    pieces[*i].coded = true;
    Lay(pieces, layout);
  }
  return std::move(layout.text);
}

}  // namespace vantrel
