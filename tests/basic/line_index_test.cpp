#include "basic/line_index.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

BasLine Line(const std::string& text, int32_t number, bool code) {
  BasLine line;
  line.SetText(text);
  line.lineNumber = number;
  if (code) line.elements.push_back({"A", BasElementKind::Name, 0});
  return line;
}

// A jump to a label on a line of its own lands on the next line with code;
// a name can be given once, by a line or by {assign:...}.
TEST(LineIndex, FindsTargetsAndRefusesSecondNames) {
  BasLine label = Line("{:loop}", -1, false);
  BasLine code = Line("100", 100, true);
  BasLine again = Line("100", 100, true);
  label.codeLine = &code;
  LineIndex index;
  EXPECT_TRUE(index.Add(label));
  EXPECT_TRUE(index.Add(code));
  EXPECT_FALSE(index.Add(again));
  EXPECT_EQ(index.Find("{:loop}"), &code);
  EXPECT_EQ(index.Find("100"), &code);
  EXPECT_EQ(index.Find("200"), nullptr);

  EXPECT_FALSE(index.Assign("{:loop}", 500));
  ASSERT_TRUE(index.Assign("{:far}", 500));
  ASSERT_NE(index.Find("{:far}"), nullptr);
  EXPECT_EQ(index.Find("{:far}")->lineNumber, 500);
  BasLine late = Line("{:far}", -1, true);
  EXPECT_FALSE(index.Add(late));

  // Renumbering changes a line's text, not the name it was found by.
  code.SetText("10");
  EXPECT_EQ(index.Find("100"), &code);
}

}  // namespace
}  // namespace vantrel
