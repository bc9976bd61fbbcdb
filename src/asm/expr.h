// asm/expr.h: assembler expressions. An operand's text is parsed once into
// a postfix list of values, terms and operators, and evaluated as often as
// the passes ask until its symbols are known.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "asm/c6510_address.h"
#include "asm/name_table.h"

namespace vantrel {

class AsmPrg;
class AsmInstr;
struct AsmSymbol;

// The symbol-name rule: a letter, "_", "@", "!" or "^" first, then letters,
// digits, "_" and "-".
bool IsSymbolName(std::string_view text);

// "$" hex, "%" binary or decimal digits, kept to 16 bits. Byte-wide only
// when the value is below 256 and written with few enough digits ($12, not
// $0012). False when the text is not a number.
bool ParseNumber(std::string_view text, C6510Address& out);

enum class ExprItemType : uint8_t { Consumed = 0, Value = 1, Term = 2, Operator = 3, Error = 4 };

// One item of a postfix expression. The items of all the expressions of
// an assembly sit end to end in one pool, and a term names its text by an
// index into the assembly's name table.
struct ExprItem {
  ExprItemType type = ExprItemType::Consumed;
  char op = 0;
  bool unary = false;
  Width width = Width::Auto;
  int32_t value = 0;  // a Value's value; a Term's name index
};

// Why an evaluation did not give a value.
enum class ExprState : uint8_t { Resolved, Pending, Failed };

// How a value follows the program when it moves: not at all, as an
// address, as the low or high byte of an address, or in no way a
// relocation table can describe (an address times two, say).
enum class RelocForm : uint8_t { Fixed, Address, LowByte, HighByte, Unknown };

class ExprList {
 public:
  // Tokenizes and reorders `text` into postfix in the program's pool; false
  // for a malformed expression (two terms in a row, a bad number,
  // unbalanced parentheses).
  bool PrepareExpression(AsmPrg& program, std::string_view text);
  // Evaluates with the symbols known now. Errors found on the way (a bad
  // character literal, a division by zero) are reported once on `line`.
  ExprState EvaluateExpression(AsmPrg& program, const AsmInstr& line);

  bool Evaluated() const { return evaluated_; }
  int32_t Value() const { return value_; }
  Width ResultWidth() const { return width_; }
  // How the value depends on program addresses (labels, "*", "^" names),
  // and the address it was taken from when it does.
  RelocForm Relocation() const { return reloc_form_; }
  int32_t RelocTarget() const { return reloc_target_; }
  // Known before evaluation: a top-level "<" or ">" makes the value
  // byte-wide whatever the address, so zero page can be chosen early.
  bool SelectsByte() const { return selects_byte_; }
  // The symbol the last evaluation waited for; null when none.
  const AsmSymbol* PendingSymbol() const { return pending_symbol_; }

 private:
  const AsmSymbol* pending_symbol_ = nullptr;
  // Postfix order, in the program's pool.
  uint32_t first_ = 0;
  uint32_t count_ = 0;
  // The deepest the value stack goes.
  uint32_t depth_ = 0;
  int32_t value_ = 0;
  int32_t reloc_target_ = 0;
  // Bits, so that an operand with its expression fits 64 bytes.
  bool evaluated_ : 1 = false;
  bool failed_ : 1 = false;
  bool selects_byte_ : 1 = false;
  RelocForm reloc_form_ = RelocForm::Fixed;
  Width width_ = Width::Auto;
};

// The items and names of all the expressions of one assembly.
struct ExprPool {
  std::vector<ExprItem> items;
  NameTable names;
};

// Resolves one term: "*", random "?" terms, character literals, local
// label references and symbols.
ExprState ResolveTerm(AsmPrg& program, uint32_t name, C6510Address& out, const AsmInstr& line,
                      bool& relocatable);

}  // namespace vantrel
