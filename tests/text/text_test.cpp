// The text layer: paths and where files are found, text operations, and
// the numbers read from text.
#include <gtest/gtest.h>

#include <tuple>

#include "test_support.h"
#include "text/file_locator.h"
#include "text/hi_path.h"
#include "text/number_reader.h"
#include "text/text_ops.h"

namespace vantrel {
namespace {

TEST(HiPath, Splits) {
  struct Row {
    const char* text;
    const char* directory;
    const char* file_name;
    const char* extension;
    bool trailing_dot;
  };
  const Row rows[] = {
      {"a.b.c", "", "a.b", "c", false},
      {"name.", "", "name", "", true},
      {"dir/sub/game.txt", "dir/sub/", "game", "txt", false},
      {"dir\\game.prg", "dir\\", "game", "prg", false},
      {"/abs/.bak", "/abs/", "", "bak", false},
      {"noext", "", "noext", "", false},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.text);
    HiPath p(r.text);
    using Parts = std::tuple<std::string, std::string, std::string, bool>;
    EXPECT_EQ(Parts(p.Directory(), p.FileName(), p.Extension(), p.HasTrailingDot()),
              Parts(r.directory, r.file_name, r.extension, r.trailing_dot));
  }
}

TEST(FileLocator, SearchesDirectoriesInOrder) {
  test::ScratchDir dir;
  test::WriteFile(dir.File("second.txt"), "x");
  FileLocator locator;
  EXPECT_TRUE(locator.AddDirectory(HiPath(dir.Path() + "/")));
  EXPECT_FALSE(locator.AddDirectory(HiPath(dir.Path() + "/")));
  EXPECT_EQ(locator.Find(HiPath("second.txt")).Text(), dir.Path() + "/second.txt");
  EXPECT_TRUE(locator.Find(HiPath("missing.txt")).Empty());
  // Rooted names are taken as they are.
  EXPECT_EQ(locator.Find(HiPath(dir.File("second.txt"))).Text(), dir.File("second.txt"));
  EXPECT_TRUE(locator.Find(HiPath(dir.File("nope"))).Empty());
}

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
