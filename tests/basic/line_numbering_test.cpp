#include "basic/line_numbering.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

using Lines = std::vector<std::unique_ptr<BasLine>>;

// A line with code and the given number (-1 for none), or a line of
// directives only.
std::unique_ptr<BasLine> Code(int32_t number) {
  auto line = std::make_unique<BasLine>();
  line->lineNumber = number;
  if (number >= 0) line->SetText(std::to_string(number));
  line->elements.push_back({"A", BasElementKind::Name, 0});
  return line;
}

std::unique_ptr<BasLine> Directives(std::vector<std::pair<TokenizerDirective, std::string>> directives) {
  auto line = std::make_unique<BasLine>();
  for (auto& [kind, argument] : directives) {
    line->elements.push_back(BasElement::Directive(kind, "directive", argument));
  }
  return line;
}

std::vector<int32_t> Numbers(const Lines& lines) {
  std::vector<int32_t> out;
  for (const auto& line : lines)
    if (line->IsWritten()) out.push_back(line->lineNumber);
  return out;
}

std::vector<std::string> Problems(const MsgLog& log) {
  std::vector<std::string> out;
  for (const MsgLogMsg& m : log.Messages()) out.push_back(log.LineOf(m));
  return out;
}

TEST(LineNumbering, RenumberFollowsDirectives) {
  using D = TokenizerDirective;
  struct Row {
    const char* name;
    std::vector<std::vector<std::pair<D, std::string>>> before;  // directive lines, each before one code line
    std::vector<int32_t> numbers;
    std::vector<std::string> problems;
  };
  const Row rows[] = {
      {"from 0 by 1", {{}, {}}, {0, 1}, {}},
      {"number, step, nice", {{{D::Number, "100"}, {D::Step, "10"}}, {}, {{D::Nice, "100"}}}, {100, 110, 200}, {}},
      {"number backwards", {{{D::Number, "100"}}, {{D::Number, "50"}}}, {100, 50},
       {"Error: Can't honor NUMBER directive for line 50"}},
      {"bad step kept out", {{{D::Step, "0"}}, {}}, {0, 1}, {"Error: Can't honor STEP directive for line 0"}},
      {"past 63999", {{{D::Number, "63999"}}, {}}, {63999, 64000}, {"Warning: Invalid line number: 64000"}},
      {"past 16 bits",
       {{{D::Number, "65535"}}, {}},
       {65535, 65536},
       {"Warning: Invalid line number: 65535", "Error: Invalid line number: 65536"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    MsgLog log;
    LineNumbering numbering(log);
    Lines lines;
    for (const auto& directives : row.before) {
      if (!directives.empty()) lines.push_back(Directives(directives));
      lines.push_back(Code(-1));
    }
    numbering.Renumber(lines);
    EXPECT_EQ(Numbers(lines), row.numbers);
    EXPECT_EQ(Problems(log), row.problems);
  }
}

// Numbered lines keep their numbers; the others count on from the line
// before, and can then be found by their new number.
TEST(LineNumbering, AssignFillsTheGaps) {
  MsgLog log;
  LineNumbering numbering(log);
  LineIndex index;
  Lines lines;
  for (int32_t n : {10, -1, -1, 100, -1}) lines.push_back(Code(n));
  numbering.AssignNumbers(lines, index);
  EXPECT_EQ(Numbers(lines), (std::vector<int32_t>{10, 11, 12, 100, 101}));
  EXPECT_EQ(index.Find("12"), lines[2].get());
  EXPECT_TRUE(log.Messages().empty());
}

}  // namespace
}  // namespace vantrel
