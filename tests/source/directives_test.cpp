#include "source/directives.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

TEST(Directives, SplitDirective) {
  struct Row {
    const char* token;
    bool ok;
    const char* keyword;
    const char* argument;
  };
  const Row rows[] = {
      {"{include:lib.txt}", true, "include", "lib.txt"},
      {"{ def : A = 1 }", true, "def", "A = 1"},
      {"{endif}", true, "endif", ""},
      {"{info:}", true, "info", ""},
      {"{info:a:b}", true, "info", "a:b"},
      {"{\t$:ff\r}", true, "$", "ff"},
      {"{}", true, "", ""},
      {"include}", false, "", ""},
      {"{include", false, "", ""},
      {"", false, "", ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.token);
    DirectiveParts parts;
    ASSERT_EQ(SplitDirective(row.token, parts), row.ok);
    if (!row.ok) continue;
    EXPECT_EQ(parts.keyword, row.keyword);
    EXPECT_EQ(parts.argument, row.argument);
  }
}

TEST(Directives, KeywordsIgnoreCase) {
  EXPECT_EQ(FindDirective("INCLUDE"), TokensPreProc::Include);
  EXPECT_EQ(FindDirective("EndMacro"), TokensPreProc::EndMacro);
  EXPECT_EQ(FindDirective("%"), TokensPreProc::Bin);
  EXPECT_EQ(FindDirective("clear"), std::nullopt);
}

TEST(Directives, RadixValues) {
  struct Row {
    const char* text;
    int base;
    bool ok;
    int32_t value;
  };
  const Row rows[] = {
      {"ff", 16, true, 255},          {"C000", 16, true, 49152},
      {"0x1f", 16, true, 31},         {"-ff", 16, true, -255},
      {"", 16, true, 0},              {"7fffffff", 16, true, 2147483647},
      {"-80000000", 16, true, INT32_MIN},
      {"80000000", 16, false, 0},     {"ffffffffffffffffffff", 16, false, 0},
      {"0x", 16, false, 0},           {"xyz", 16, false, 0},
      {"12 ", 16, false, 0},          {"101", 2, true, 5},
      {"+1", 2, true, 1},             {"12", 2, false, 0},
      {"-", 2, false, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    int32_t value = 0;
    ASSERT_EQ(ReadRadixValue(row.text, row.base, value), row.ok);
    if (row.ok) {
      EXPECT_EQ(value, row.value);
    }
  }
}

}  // namespace
}  // namespace vantrel
