// Expressions through equates: literals and their widths, precedence,
// byte selection, character literals, and the errors on the line.
#include <gtest/gtest.h>

#include "asm_fixture.h"

namespace vantrel {
namespace {

struct ExprRow {
  std::string expr;
  int value;  // -1: no value expected
  Width width;
  std::string problem;
};

TEST(Expr, ValuesAndWidths) {
  const ExprRow rows[] = {
      {"-1", 0xFF, Width::Byte, ""},
      {"-300", 0xFED4, Width::Word, ""},
      {"2+3*4", 14, Width::Byte, ""},
      {"(2+3)*4", 20, Width::Byte, ""},
      {"10-2-3", 5, Width::Byte, ""},
      {"100/10/5", 2, Width::Byte, ""},
      {"$12+1", 19, Width::Byte, ""},
      {"$1234+1", 0x1235, Width::Word, ""},
      {"$ff+1", 256, Width::Auto, ""},
      {"$0010-1", 15, Width::Byte, ""},
      {"1-2", 0xFFFF, Width::Auto, ""},
      {"$12", 0x12, Width::Byte, ""},
      {"$0012", 0x12, Width::Word, ""},
      {"0012", 12, Width::Word, ""},
      {"255", 255, Width::Byte, ""},
      {"%00000101", 5, Width::Byte, ""},
      {"%000000101", 5, Width::Word, ""},
      {"<$1234", 0x34, Width::Byte, ""},
      {">$1234", 0x12, Width::Byte, ""},
      {">$1234+1", 0x13, Width::Byte, ""},
      {"~0", 0xFF, Width::Byte, ""},
      {"~$0000", 0xFFFF, Width::Word, ""},
      {"$f0 & $3c", 0x30, Width::Byte, ""},
      {"$0f|$f0", 0xFF, Width::Byte, ""},
      {"100000/2", 50000, Width::Auto, ""},
      {"'A'", 0x41, Width::Byte, ""},
      {"'{clr}'", 0x93, Width::Byte, ""},
      {"'+'+1", 0x2C, Width::Byte, ""},
      {std::string(5000, '(') + "7" + std::string(5000, ')'), 7, Width::Byte, ""},
      {"70000", 70000 & 0xFFFF, Width::Word, "Error: 1: Value is larger than 16 bits: v = 70000"},
      {"1/0", -1, Width::Auto, "Error: 1: Division by zero: v = 1/0"},
      {"'ab'", -1, Width::Auto, "Error: 1: Single character expected, not 'ab': v = 'ab'"},
      {"'a", -1, Width::Auto, "Error: 1: Badly formatted code: v = 'a"},
      {"'a'x", -1, Width::Auto, "Error: 1: Extra characters on line: v = 'a'x"},
      {"'{nosuch}'", -1, Width::Auto, "Error: 1: {nosuch} could not be encoded: v = '{nosuch}'"},
      {"1 2", -1, Width::Auto, "Error: 1: Could not resolve symbol: v = 1 2"},
      {"1+", -1, Width::Auto, "Error: 1: Could not resolve symbol: v = 1+"},
      {"((1)", -1, Width::Auto, "Error: 1: Could not resolve symbol: v = ((1)"},
      {"$12g", -1, Width::Auto, "Error: 1: Could not resolve symbol: v = $12g"},
      {std::string(20000, '('), -1, Width::Auto, "Error: 1: Could not resolve symbol: v = " + std::string(20000, '(')},
  };
  for (const ExprRow& row : rows) {
    SCOPED_TRACE(row.expr.substr(0, 40));
    test::AsmFixture f;
    f.Assemble("v = " + row.expr + "\n");
    const AsmSymbol* v = f.Symbol("v");
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->value.known, row.value >= 0);
    if (row.value >= 0) {
      EXPECT_EQ(v->value.value, row.value);
      EXPECT_EQ(v->value.size, row.width);
    }
    const std::vector<std::string> problems = f.Problems();
    // A value that never resolves is also reported for its symbol.
    if (row.problem.empty()) EXPECT_TRUE(problems.empty()) << problems.front();
    else EXPECT_EQ(problems.front(), row.problem);
  }
}

TEST(Expr, CurrentAddressAndForwardReferences) {
  test::AsmFixture f;
  ASSERT_TRUE(f.Assemble(" orig $c000\nhere = *\n nop\nnext = *+3\nlater = fwd+1\nfwd: rts\nr = ????\n"));
  EXPECT_EQ(f.Symbol("here")->value.value, 0xC000);
  EXPECT_EQ(f.Symbol("next")->value.value, 0xC004);
  EXPECT_EQ(f.Symbol("later")->value.value, 0xC002);
  EXPECT_EQ(f.Symbol("r")->value.size, Width::Auto);
  EXPECT_TRUE(f.Symbol("r")->value.known);
}

}  // namespace
}  // namespace vantrel
