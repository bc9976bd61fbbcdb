#include "petscii/token_table.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "basic/basic_keywords.h"
#include "test_support.h"
#include "text/text_ops.h"

namespace vantrel {
namespace {

// The keyword list of the C64 BASIC ROM (at $A09E), in token order from $80.
const char* const kRomKeywords[] = {
    "END",  "FOR",  "NEXT", "DATA", "INPUT#", "INPUT", "DIM",  "READ",  "LET",    "GOTO", "RUN",    "IF",
    "RESTORE", "GOSUB", "RETURN", "REM", "STOP", "ON", "WAIT", "LOAD", "SAVE", "VERIFY", "DEF", "POKE",
    "PRINT#", "PRINT", "CONT", "LIST", "CLR", "CMD", "SYS", "OPEN", "CLOSE", "GET", "NEW", "TAB(",
    "TO",   "FN",   "SPC(", "THEN", "NOT",  "STEP", "+",    "-",     "*",      "/",    "^",      "AND",
    "OR",   ">",    "=",    "<",    "SGN",  "INT",  "ABS",  "USR",   "FRE",    "POS",  "SQR",    "RND",
    "LOG",  "EXP",  "COS",  "SIN",  "TAN",  "ATN",  "PEEK", "LEN",   "STR$",   "VAL",  "ASC",    "CHR$",
    "LEFT$", "RIGHT$", "MID$", "GO"};

TEST(TokenTable, EveryBasic2KeywordInEitherCase) {
  TokenTable table = MakeKeywordTable();
  ASSERT_EQ(std::size(kRomKeywords), 76u);
  for (size_t i = 0; i < std::size(kRomKeywords); ++i) {
    const std::string name = kRomKeywords[i];
    SCOPED_TRACE(name);
    std::string inside = "X";
    inside += LowerCopy(name);
    inside += '1';
    for (const std::string& text : {name, LowerCopy(name), inside}) {
      size_t pos = text[0] == 'X' ? 1 : 0;
      TokenMatch match = table.MatchKeyword(text, pos);
      EXPECT_EQ(match.code, static_cast<int32_t>(0x80 + i));
      EXPECT_EQ(match.length, name.size());
    }
    EXPECT_EQ(table.OutputName(static_cast<int32_t>(0x80 + i)), name);
  }
}

// Full keywords, longest first, anywhere in a word; with `shortcut` the
// C64's abbreviations (a letter, then the next one shifted) and "?".
TEST(TokenTable, FullKeywordPrecedenceAndShortcutRule) {
  TokenTable table = MakeKeywordTable();
  const struct {
    bool shortcut;
    const char* line;
    size_t pos;
    int32_t code;  // 0: no keyword
    size_t length;
  } rows[] = {
      {false, "PRINT#1", 0, 0x98, 6}, {false, "INPUT", 0, 0x85, 5}, {false, "INPUT#2,A", 0, 0x84, 6},
      {false, "GOTO10", 0, 0x89, 4},  {false, "GO TO 10", 0, 0xCB, 2}, {false, "GO TO 10", 3, 0xA4, 2},
      {false, "gosub9", 0, 0x8D, 5},  {false, "TOTAL", 0, 0xA4, 2},    {false, "FORI", 0, 0x81, 3},
      {false, "AGOTO", 1, 0x89, 4},   {false, "X=1", 1, 0xB2, 1},      {false, "?", 0, 0, 0},
      {false, "ST", 0, 0, 0},         {false, "A", 0, 0, 0},           {false, "PRINT", 5, 0, 0},
      {true, "?A", 0, 0x99, 1},       {true, "Po53280,0", 0, 0x97, 2}, {true, "Go10", 0, 0x89, 2},
      {true, "GOs9", 0, 0x8D, 3},     {true, "Le", 0, 0x88, 2},        {true, "A?", 1, 0x99, 1},
      {true, "gO", 0, 0, 0},          {true, "PRINT", 0, 0, 0},        {true, "print", 0, 0, 0},
      {true, "P", 0, 0, 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.line) + " @" + std::to_string(row.pos));
    TokenMatch match =
        row.shortcut ? MatchKeywordShortcut(table, row.line, row.pos) : table.MatchKeyword(row.line, row.pos);
    EXPECT_EQ(match.code, row.code);
    EXPECT_EQ(match.length, row.length);
  }
}

TEST(TokenTable, Assignments) {
  struct Row {
    const char* text;
    bool ok;
    std::vector<std::string> messages;
  };
  const Row rows[] = {
      {"$CC=\"FOO\"", true, {"Adding token $cc = FOO"}},
      {" $cc = \"FOO ", true, {"Adding token $cc = FOO"}},
      {"5=X", true, {"Adding token $5 = X"}},
      {"$99=SHOW", true, {"Replacing token $99 = SHOW"}},
      {"$CC=", true, {"Removing token $cc"}},
      {"5=", true, {"Removing token $05"}},
      {"$1CC=X", false, {"Error: Invalid value in: $1CC=X"}},
      {"12Q=X", false, {"Error: Invalid value in: 12Q=X"}},
      {"-1=X", false, {"Error: Invalid value in: -1=X"}},
      {"$CC=FO\"O", false, {"Error: Mismatched quotes in: $CC=FO\"O"}},
      {"FOO", false, {"Error: Badly formatted assigment: FOO"}},
      {"$CC=FOO;BAD,$CD=BAR",
       false,
       {"Adding token $cc = FOO", "Error: Badly formatted assigment: BAD", "Adding token $cd = BAR"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    TokenTable table = MakeKeywordTable();
    test::QuietLoader directive;
    EXPECT_EQ(table.ApplyAssignments(row.text, directive.log, SourcePos{}), row.ok);
    EXPECT_EQ(directive.Lines(), row.messages);
  }
}

// What the names read as and write as is checked through the command line;
// here that a code or name is never held twice.
TEST(TokenTable, NamesAndCodesStayUnique) {
  TokenTable table = MakeKeywordTable();
  EXPECT_FALSE(table.Add(0x99, "OTHER"));
  EXPECT_FALSE(table.Add(0xCC, "PRINT"));
  EXPECT_FALSE(table.Add(0xCC, ""));
  test::QuietLoader directive;
  ASSERT_TRUE(table.ApplyAssignments("$CC=FOO;$CC=BAR", directive.log, SourcePos{}));
  EXPECT_FALSE(table.HasName("FOO"));
  ASSERT_TRUE(table.ApplyAssignments("$CC=PRINT", directive.log, SourcePos{}));
  EXPECT_FALSE(table.HasName("BAR"));
}

}  // namespace
}  // namespace vantrel
