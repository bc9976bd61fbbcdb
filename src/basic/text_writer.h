// basic/text_writer.h: a BASIC program as text, in .txt form (every line
// with its number) or .lbl form (labels only on the lines something jumps
// to). It reads the lines and changes nothing.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "basic/bas_line.h"
#include "basic/line_index.h"
#include "basic/text_pieces.h"
#include "petscii/token_table.h"

namespace vantrel {

class TextWriter {
 public:
  TextWriter(const std::vector<std::unique_ptr<BasLine>>& lines, const LineIndex& index, const TokenTable& keywords)
      : lines_(lines), index_(index), keywords_(keywords) {}

  std::string Txt() const;
  std::string Lbl() const;
  // The first loaded line that holds no bytes, which no text form keeps;
  // null when there is none.
  const BasLine* FirstEmptyLine() const;

 private:
  void AppendElements(const BasLine& line, bool labels, std::string& out) const;
  size_t SizeGuess() const;
  static std::string LabelText(const BasLine& line);

  const std::vector<std::unique_ptr<BasLine>>& lines_;
  const LineIndex& index_;
  const TokenTable& keywords_;
  mutable std::vector<TextPiece> pieces_;  // reused from line to line
};

}  // namespace vantrel
