// asm/expr.h: assembler expressions. An operand's text is parsed once into
// a postfix list of values, terms and operators, and evaluated as often as
// the passes ask until its symbols are known.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "asm/c6510_address.h"

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

struct ExprItem {
  ExprItemType type = ExprItemType::Consumed;
  char op = 0;
  bool unary = false;
  int32_t value = 0;
  Width width = Width::Auto;
  bool known = false;
  std::string term;  // as written; lower case for symbol lookups
  mutable const AsmSymbol* symbol = nullptr;  // found once, then read directly
};

// Why an evaluation did not give a value.
enum class ExprState : uint8_t { Resolved, Pending, Failed };

// How a value follows the program when it moves: not at all, as an
// address, as the low or high byte of an address, or in no way a
// relocation table can describe (an address times two, say).
enum class RelocForm : uint8_t { Fixed, Address, LowByte, HighByte, Unknown };

class ExprList {
 public:
  // Tokenizes and reorders `text` into postfix; false for a malformed
  // expression (two terms in a row, a bad number, unbalanced parentheses).
  bool PrepareExpression(std::string_view text);
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
  std::span<const ExprItem> Items() const {
    return has_single_ ? std::span<const ExprItem>(&single_, 1) : std::span<const ExprItem>(items_);
  }

  // Postfix order. Most operands are one term: it is kept in place rather
  // than in a list of its own.
  ExprItem single_;
  bool has_single_ = false;
  std::vector<ExprItem> items_;
  bool evaluated_ = false;
  bool failed_ = false;
  bool selects_byte_ = false;
  RelocForm reloc_form_ = RelocForm::Fixed;
  int32_t reloc_target_ = 0;
  const AsmSymbol* pending_symbol_ = nullptr;
  int32_t value_ = 0;
  Width width_ = Width::Auto;
};

// Resolves one term: "*", random "?" terms, character literals, local
// label references and symbols.
ExprState ResolveTerm(AsmPrg& program, const ExprItem& term, C6510Address& out, const AsmInstr& line,
                      bool& relocatable);

}  // namespace vantrel
