// basic/line_numbering.h: giving the lines of a program their numbers,
// either all of them anew ({number}, {step} and {nice} steer the count)
// or only those that have none; numbers BASIC cannot hold are reported.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "basic/bas_line.h"
#include "basic/line_index.h"
#include "log/msg_log.h"

namespace vantrel {

// Numbering directives read a signed decimal up to the first other
// character; saturating keeps a huge value from wrapping round.
int32_t ReadDirectiveNumber(std::string_view text);

class LineNumbering {
 public:
  explicit LineNumbering(MsgLog& log) : log_(log) {}

  // Back to counting from 0 in steps of 1.
  void Reset();
  // Every line with code gets the next number; lines without code are
  // skipped, and a "{:120}" label sets the count to its number.
  void Renumber(const std::vector<std::unique_ptr<BasLine>>& lines);
  // Lines without a number get the one after the line before; numbered
  // lines keep theirs. New numbers are added to `index`.
  void AssignNumbers(const std::vector<std::unique_ptr<BasLine>>& lines, LineIndex& index);

 private:
  void ApplyDirective(const BasElement& e, SourcePos at);
  void Check(const BasLine& line);

  MsgLog& log_;
  int32_t previous_ = -1;
  int32_t next_ = 0;
  int32_t step_ = 1;
};

}  // namespace vantrel
