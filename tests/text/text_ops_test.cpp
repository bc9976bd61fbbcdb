// The text layer: plain text operations and the numbers read from text.
#include "text/text_ops.h"

#include <gtest/gtest.h>

#include "text/number_reader.h"

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

TEST(NumberReader, ReadNumberBases) {
  struct Row {
    const char* text;
    bool ok;
    int64_t value;
  };
  const Row rows[] = {{"$0801", true, 2049}, {" 4096 ", true, 4096}, {"%101", true, 5},
                      {"$08G0", false, 0},   {"", false, 0},         {"$", false, 0},
                      {"12abc", false, 0}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.text);
    int64_t v = 0;
    EXPECT_EQ(ReadNumber(r.text, v), r.ok);
    if (r.ok) {
      EXPECT_EQ(v, r.value);
    }
  }
}

}  // namespace
}  // namespace vantrel
