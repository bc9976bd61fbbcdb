#include "text/text_ops.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

TEST(TextOps, CentrePadsBothSides) {
  EXPECT_EQ(Centre(std::string(78, 'a'), 79), std::string(78, 'a'));
  EXPECT_EQ(Centre(std::string(77, 'a'), 79), " " + std::string(77, 'a') + " ");
  EXPECT_EQ(Centre("ab", 7, '*'), "**ab***");
  EXPECT_EQ(Centre(std::string(80, 'a'), 79), std::string(80, 'a'));
}

TEST(TextOps, FindOutsideQuotesSkipsStrings) {
  EXPECT_EQ(FindOutsideQuotes("PRINT \"A:B\":X", ":"), 11u);
  EXPECT_EQ(FindOutsideQuotes("A 'x:y' :", ":"), 8u);
  EXPECT_EQ(FindOutsideQuotes("\"::\"", ":"), kNotFound);
  EXPECT_EQ(FindOutsideQuotes("a:b:c", ":", 2), 3u);
}

TEST(TextOps, NextFieldWalksDelimitedFields) {
  const std::string text = "A:\"B:C\"::D";
  HiText line(text);
  std::vector<std::pair<std::string, char>> fields;
  char delim = 0;
  while (NextField(text, ":", line.span, delim)) fields.emplace_back(line.SpanText(), delim);
  const std::vector<std::pair<std::string, char>> expected = {
      {"A", ':'}, {"\"B:C\"", ':'}, {"", ':'}, {"D", 0}};
  EXPECT_EQ(fields, expected);
}

TEST(TextOps, SplitAndEdgeCases) {
  auto parts = Split("a,,b;c", ",;");
  ASSERT_EQ(parts.size(), 3u);
  EXPECT_EQ(parts[2], "c");
  EXPECT_EQ(Split("a,,b", ",", true).size(), 3u);
  EXPECT_FALSE(IsConsoleName("con.txt"));
  EXPECT_FALSE(IsFalseWord("OFF"));
  EXPECT_TRUE(IsTrueWord("y"));
  EXPECT_EQ(StripPair("\"", '"', '"'), "\"");
}

}  // namespace
}  // namespace vantrel
