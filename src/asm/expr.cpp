#include "asm/expr.h"

#include <algorithm>
#include <cstdlib>
#include <span>
#include <iterator>
#include <limits>

#include "asm/asm_instr.h"
#include "asm/asm_line.h"
#include "asm/asm_prg.h"
#include "text/char_class.h"
#include "text/text_ops.h"

namespace vantrel {

namespace {



int DigitIn(char c, int base) {
  int d = -1;
  if (IsDigit(c)) d = c - '0';
  else if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
  else if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
  return d < base ? d : -1;
}

// A number literal kept to 32 bits, so that an oversized one is still
// reported instead of silently cut.
bool ReadLiteral(std::string_view text, int64_t& value, Width& width) {
  int base = 10;
  size_t max_byte_digits = 3;
  std::string_view digits = text;
  if (!text.empty() && text[0] == '$') {
    base = 16;
    max_byte_digits = 2;
    digits.remove_prefix(1);
  } else if (!text.empty() && text[0] == '%') {
    base = 2;
    max_byte_digits = 8;
    digits.remove_prefix(1);
  }
  if (digits.empty()) return false;
  value = 0;
  for (char c : digits) {
    const int d = DigitIn(c, base);
    if (d < 0) return false;
    value = value * base + d;
    if (value > 0xFFFFFFFFll) return false;
  }
  width = (value < 256 && digits.size() <= max_byte_digits) ? Width::Byte : Width::Word;
  return true;
}

bool LooksLikeNumber(std::string_view term) {
  return !term.empty() && (term[0] == '$' || term[0] == '%' || IsDigit(term[0]));
}

// An operator waiting on the shunting-yard stack.
struct PendingOp {
  char op;
  bool unary;
};

int Precedence(PendingOp op) {
  if (op.unary) return 9;
  switch (op.op) {
    case '~': return 7;
    case '<':
    case '>': return 6;
    case '*':
    case '/': return 5;
    case '+':
    case '-': return 4;
    case '&': return 3;
    case '|': return 2;
    default: return 0;
  }
}

bool GroupsFromRight(PendingOp op) { return op.unary || op.op == '<' || op.op == '>'; }

ExprItem OperatorItem(PendingOp op) {
  ExprItem item;
  item.type = ExprItemType::Operator;
  item.op = op.op;
  item.unary = op.unary;
  return item;
}

ExprItem TermItem(NameTable& names, std::string_view text) {
  ExprItem item;
  item.type = ExprItemType::Term;
  // Symbols match without regard to case; a character literal keeps its letters.
  if (!text.empty() && text[0] == '\'') {
    item.value = static_cast<int32_t>(names.Intern(text));
  } else {
    static thread_local std::string lower;
    lower.assign(text);
    for (char& c : lower) c = ToLower(c);
    item.value = static_cast<int32_t>(names.Intern(lower));
  }
  return item;
}

bool IsOperatorChar(char c) {
  switch (c) {
    case '<': case '>': case '(': case ')': case '~': case '*': case '/': case '+': case '-': case '&': case '|':
      return true;
    default: return false;
  }
}


// The token at `pos`, which moves past it: an operator character, or the
// trimmed text up to the next operator character outside character
// literals; empty at the end. Read as parsing goes, so a long expression
// keeps no list of its tokens.
std::string_view NextToken(std::string_view text, size_t& pos) {
  while (pos < text.size()) {
    const size_t start = pos;
    bool quoted = false;
    size_t i = start;
    for (; i < text.size(); ++i) {
      if (text[i] == '\'') quoted = !quoted;
      if (!quoted && IsOperatorChar(text[i])) break;
    }
    if (i == start) {
      ++pos;
      return text.substr(start, 1);
    }
    pos = i;
    if (std::string_view piece = TrimView(text.substr(start, i - start)); !piece.empty()) return piece;
  }
  return {};
}

bool IsOperatorToken(std::string_view t) { return t.size() == 1 && IsOperatorChar(t[0]); }

struct StackValue {
  int64_t value;
  Width width;
  RelocForm form = RelocForm::Fixed;
  int64_t target = 0;  // the address behind an Address, LowByte or HighByte form
};

// A stack over storage its user sized for the expression.
struct ValueStack {
  StackValue* base;
  size_t size = 0;
  void push_back(const StackValue& v) { base[size++] = v; }
  void pop_back() { --size; }
  StackValue& back() { return base[size - 1]; }
};

// The form of `a op b` when a program moves. A constant added to or taken
// from an address, or from one of its bytes, keeps it relocatable: the
// target moves by the constant (by 256 for each step of a high byte);
// the distance between two addresses does not move at all.
void CombineRelocation(char op, StackValue& a, const StackValue& b) {
  const bool a_fixed = a.form == RelocForm::Fixed;
  const bool b_fixed = b.form == RelocForm::Fixed;
  if (a_fixed && b_fixed) return;
  const int64_t step = a.form == RelocForm::HighByte ? 256 : 1;
  if (op == '+' && b_fixed && a.form != RelocForm::Unknown) {
    a.target += b.value * step;
  } else if (op == '+' && a_fixed && b.form != RelocForm::Unknown) {
    a.form = b.form;
    a.target = b.target + a.value * (b.form == RelocForm::HighByte ? 256 : 1);
  } else if (op == '-' && b_fixed && a.form != RelocForm::Unknown) {
    a.target -= b.value * step;
  } else if (op == '-' && a.form == RelocForm::Address && b.form == RelocForm::Address) {
    a.form = RelocForm::Fixed;
  } else if (op == '&' && a.form == RelocForm::Address && b_fixed && b.value == 0xFF) {
    a.form = RelocForm::LowByte;
  } else {
    a.form = RelocForm::Unknown;
  }
}

// An equate moves as the expression it was given: "mid = table+2" is an
// address of the program, "lo = <table" the low byte of one.
void EquateRelocation(const AsmInstr& equate, StackValue& value) {
  const ExprList& expr = static_cast<const AsmInstrEquates&>(equate).Value().Expression();
  value.form = expr.Relocation();
  value.target = expr.RelocTarget();
}

// "<" and ">" of a value that moves with the program.
void SelectRelocation(char op, StackValue& v) {
  switch (v.form) {
    case RelocForm::Address: v.form = op == '<' ? RelocForm::LowByte : RelocForm::HighByte; break;
    case RelocForm::LowByte:
    case RelocForm::HighByte:
      // The high byte of a byte is 0 wherever the program goes.
      if (op == '>') v.form = RelocForm::Fixed;
      break;
    default: break;
  }
}

Width CombinedWidth(char op, Width a, Width b, int64_t result) {
  if ((a == Width::Byte || b == Width::Byte) && result >= 0 && result <= 255) return Width::Byte;
  if (op == '-' || op == '/') return Width::Auto;
  return (a == Width::Word || b == Width::Word) ? Width::Word : Width::Auto;
}

// Arithmetic is done in 64 bits and kept to 32, so no operand overflows.
int64_t Wrap32(int64_t v) { return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(v))); }

// Whether a postfix expression is byte-wide whatever its symbols' values:
// "<x" and ">x" are, and stay so with a byte added, taken away or masked
// ("<table+1", "x&$0f"), as the evaluator's width rule gives once it has
// the values (a sum past 255 is then reported where a byte is needed).
bool AlwaysByteWide(std::span<const ExprItem> postfix) {
  enum Kind : char { Other, ByteLiteral, Selected };
  static thread_local std::vector<Kind> kinds;
  kinds.clear();
  for (const ExprItem& item : postfix) {
    if (item.type != ExprItemType::Operator) {
      kinds.push_back(item.type == ExprItemType::Value && item.width == Width::Byte ? ByteLiteral : Other);
    } else if (item.unary) {
      if (item.op == '<' || item.op == '>') kinds.back() = Selected;
      else if (item.op != '+') kinds.back() = Other;
    } else {
      const Kind b = kinds.back();
      kinds.pop_back();
      const Kind a = kinds.back();
      const bool bytes = a != Other && b != Other;
      if ((item.op == '+' || item.op == '-') && bytes && (a == Selected || b == Selected)) kinds.back() = Selected;
      else if (item.op == '&' && (a != Other || b != Other)) kinds.back() = Selected;
      else kinds.back() = a == ByteLiteral && b == ByteLiteral ? ByteLiteral : Other;
    }
  }
  return kinds.back() == Selected;
}

}  // namespace

bool IsSymbolName(std::string_view text) {
  if (text.empty() || text == "!" || text == "^") return false;
  const char first = text[0];
  if (!IsLetter(first) && first != '_' && first != '@' && first != '!' && first != '^') return false;
  for (char c : text.substr(1))
    if (!IsLetter(c) && !IsDigit(c) && c != '_' && c != '-') return false;
  return true;
}

bool ParseNumber(std::string_view text, C6510Address& out) {
  int64_t value = 0;
  Width width = Width::Auto;
  if (!ReadLiteral(text, value, width)) return false;
  out = C6510Address::Known(static_cast<uint16_t>(value & 0xFFFF), width);
  return true;
}

bool ExprList::PrepareExpression(AsmPrg& program, std::string_view text) {
  *this = ExprList();
  std::vector<ExprItem>& pool = program.Expressions().items;
  NameTable& names = program.Expressions().names;
  first_ = static_cast<uint32_t>(pool.size());
  // An expression has at most one item a character: a long one gets its
  // room at once rather than by doubling, which would hold the old and the
  // new list together at twice the size.
  if (text.size() > pool.capacity() - pool.size()) pool.reserve(std::max(pool.size() + text.size(), 2 * pool.capacity()));
  auto malformed = [&] {
    pool.resize(first_);
    failed_ = true;
    return false;
  };
  // Kept from one expression to the next: parsing never nests.
  static thread_local std::vector<PendingOp> ops;
  ops.clear();
  // Shunting-yard into postfix as the items come; no recursion, so deep
  // nesting costs no stack.
  bool after_operand = false;
  auto add_operand = [&](const ExprItem& item) {
    after_operand = true;
    pool.push_back(item);
  };
  auto add_operator = [&](PendingOp op) {
    after_operand = op.op == ')';
    if (op.op == '(') {
      ops.push_back(op);
      return true;
    }
    if (op.op == ')') {
      while (!ops.empty() && ops.back().op != '(') {
        pool.push_back(OperatorItem(ops.back()));
        ops.pop_back();
      }
      if (ops.empty()) return false;
      ops.pop_back();
      return true;
    }
    const int prec = Precedence(op);
    while (!ops.empty() && ops.back().op != '(') {
      const int top = Precedence(ops.back());
      if (GroupsFromRight(op) ? top <= prec : top < prec) break;
      pool.push_back(OperatorItem(ops.back()));
      ops.pop_back();
    }
    ops.push_back(op);
    return true;
  };
  size_t pos = 0;
  for (std::string_view t = NextToken(text, pos); !t.empty(); t = NextToken(text, pos)) {
    if (IsOperatorToken(t)) {
      PendingOp op{t[0], !after_operand && t[0] != '(' && t[0] != ')'};
      size_t next_pos = pos;
      const std::string_view next = NextToken(text, next_pos);
      // "<@name" and ">@name" name the direction of a local label search.
      if (op.unary && (op.op == '<' || op.op == '>') && !next.empty() && next[0] == '@') {
        std::string joined(t);
        joined += next;
        pos = next_pos;
        add_operand(TermItem(names, joined));
      } else if (op.unary && op.op == '*') {
        add_operand(TermItem(names, "*"));
      } else if (!add_operator(op)) {
        return malformed();
      }
    } else if (after_operand) {
      return malformed();
    } else if (LooksLikeNumber(t)) {
      int64_t value = 0;
      Width width = Width::Auto;
      if (!ReadLiteral(t, value, width)) return malformed();
      ExprItem item;
      item.type = ExprItemType::Value;
      item.value = static_cast<int32_t>(static_cast<uint32_t>(value));
      item.width = width;
      add_operand(item);
    } else {
      add_operand(TermItem(names, t));
    }
  }
  while (!ops.empty()) {
    if (ops.back().op == '(') return malformed();
    pool.push_back(OperatorItem(ops.back()));
    ops.pop_back();
  }

  // Every operator must find its operands and exactly one value must be left.
  const std::span<const ExprItem> postfix(pool.data() + first_, pool.size() - first_);
  size_t depth = 0;
  for (const ExprItem& item : postfix) {
    if (item.type != ExprItemType::Operator) depth_ = std::max<uint32_t>(depth_, static_cast<uint32_t>(++depth));
    else if (item.unary ? depth < 1 : depth < 2) return malformed();
    else if (!item.unary) --depth;
  }
  if (depth != 1) return malformed();
  selects_byte_ = AlwaysByteWide(postfix);
  if (postfix.size() == 1 && postfix[0].type == ExprItemType::Value) {
    evaluated_ = true;
    value_ = postfix[0].value;
    width_ = postfix[0].width;
    pool.resize(first_);
  } else {
    count_ = static_cast<uint32_t>(postfix.size());
  }
  return true;
}

ExprState ExprList::EvaluateExpression(AsmPrg& program, const AsmInstr& line) {
  if (evaluated_) return ExprState::Resolved;
  if (failed_ || count_ == 0) return ExprState::Failed;
  // A term may evaluate another expression (an equate's) on the way, so
  // the stack is this call's own: in place for the usual short expression.
  constexpr size_t kInPlace = 16;
  StackValue in_place[kInPlace];
  std::vector<StackValue> on_heap(depth_ > kInPlace ? depth_ : 0);
  ValueStack stack{depth_ > kInPlace ? on_heap.data() : in_place};
  const ExprPool& pool = program.Expressions();
  pending_symbol_ = nullptr;
  auto fail = [&](const std::string& message) {
    failed_ = true;
    if (!message.empty()) ReportLineError(program, &line, message);
    return ExprState::Failed;
  };
  for (uint32_t i = first_; i < first_ + count_; ++i) {
    const ExprItem item = pool.items[i];
    if (item.type == ExprItemType::Value) {
      stack.push_back({item.value, item.width});
      continue;
    }
    if (item.type == ExprItemType::Term) {
      C6510Address v;
      bool relocatable = false;
      const uint32_t name = static_cast<uint32_t>(item.value);
      const ExprState state = ResolveTerm(program, name, v, line, relocatable);
      if (state == ExprState::Failed) {
        failed_ = true;
        return state;
      }
      if (state == ExprState::Pending) {
        pending_symbol_ = pool.names.Symbol(name);
        return state;
      }
      StackValue value{v.value, v.size};
      if (relocatable) value.form = RelocForm::Address, value.target = v.value;
      else if (const AsmSymbol* symbol = pool.names.Symbol(name);
               symbol != nullptr && symbol->line != nullptr && symbol->line->IsEquates())
        EquateRelocation(*symbol->line, value);
      stack.push_back(value);
      continue;
    }
    if (item.unary) {
      StackValue& top = stack.back();
      switch (item.op) {
        case '+': break;
        case '-':
          top.value = Wrap32(-top.value);
          // A byte below -128 would wrap into another byte: it stays the
          // negative number, which no byte operand accepts.
          if (top.width == Width::Byte && top.value < -128) top.width = Width::Auto;
          break;
        case '~': top.value = Wrap32(~top.value); break;
        case '<':
        case '>':
          top.value = item.op == '<' ? (top.value & 0xFF) : ((top.value >> 8) & 0xFF);
          top.width = Width::Byte;
          SelectRelocation(item.op, top);
          continue;
        default: return fail("");
      }
      if (top.form != RelocForm::Fixed) top.form = RelocForm::Unknown;
      if (top.width == Width::Byte) top.value &= 0xFF;
      continue;
    }
    const StackValue b = stack.back();
    stack.pop_back();
    StackValue& a = stack.back();
    int64_t r = 0;
    switch (item.op) {
      case '&': r = a.value & b.value; break;
      case '|': r = a.value | b.value; break;
      case '+': r = a.value + b.value; break;
      case '-': r = a.value - b.value; break;
      case '*': r = a.value * b.value; break;
      case '/':
        if (b.value == 0) return fail("Division by zero");
        r = a.value / b.value;
        break;
      default: return fail("");
    }
    r = Wrap32(r);
    CombineRelocation(item.op, a, b);
    a.width = CombinedWidth(item.op, a.width, b.width, r);
    a.value = r;
  }
  evaluated_ = true;
  value_ = static_cast<int32_t>(stack.back().value);
  width_ = stack.back().width;
  reloc_form_ = stack.back().form;
  reloc_target_ = static_cast<int32_t>(stack.back().target);
  return ExprState::Resolved;
}

namespace {

ExprState CharacterLiteral(AsmPrg& program, std::string_view term, C6510Address& out, const AsmInstr& line) {
  const size_t close = term.size() > 1 ? term.find('\'', 1) : kNotFound;
  if (term.empty() || term[0] != '\'' || close == kNotFound) {
    ReportLineError(program, &line, "Badly formatted code");
    return ExprState::Failed;
  }
  if (close + 1 != term.size()) {
    ReportExtraCharacters(program, line);
    return ExprState::Failed;
  }
  const std::string content(term.substr(1, close - 1));
  std::string bytes;
  if (!program.Codes().TextToPetscii(content, bytes)) {
    ReportLineError(program, &line, content + " could not be encoded");
    return ExprState::Failed;
  }
  if (bytes.size() != 1) {
    ReportLineError(program, &line, "Single character expected, not '" + content + "'");
    return ExprState::Failed;
  }
  out = C6510Address::Known(static_cast<uint8_t>(bytes[0]), Width::Byte);
  return ExprState::Resolved;
}

ExprState LocalLabel(AsmPrg& program, std::string_view term, C6510Address& out, const AsmInstr& line) {
  // Which definition is nearest is only known once every line is in place.
  if (program.CurrentPass() < AsmPass::Resolve) return ExprState::Pending;
  const char direction = term[0];
  const std::string name(direction == '@' ? term : term.substr(1));
  if (name.size() < 2 || name[0] != '@') {
    ReportLineError(program, &line, "Invalid local label");
    return ExprState::Failed;
  }
  if (direction != '<' && direction != '>') {
    ReportLineError(program, &line, "No search direction supplied");
    return ExprState::Failed;
  }
  const AsmSymbol* symbol = program.Symbols().FindLocal(name, line.Index(), direction == '<');
  if (symbol == nullptr) {
    ReportLineError(program, &line, "Could not find local label " + name);
    return ExprState::Failed;
  }
  if (!symbol->value.known) return ExprState::Pending;
  out = symbol->value;
  return ExprState::Resolved;
}

}  // namespace

ExprState ResolveTerm(AsmPrg& program, uint32_t name, C6510Address& out, const AsmInstr& line,
                      bool& relocatable) {
  NameTable& names = program.Expressions().names;
  const std::string_view t = names.Name(name);
  if (t.empty()) return ExprState::Failed;
  if (t == "*") {
    if (!line.address.known) return ExprState::Pending;
    out = line.address;
    relocatable = true;
    return ExprState::Resolved;
  }
  if (t.find_first_not_of('?') == kNotFound && t.size() <= 4) {
    const int bits = static_cast<int>(t.size()) * 4;
    out = C6510Address::Known(static_cast<uint16_t>(std::rand() & ((1 << bits) - 1)), Width::Auto);
    return ExprState::Resolved;
  }
  if (t[0] == '\'') return CharacterLiteral(program, t, out, line);
  if (t[0] == '<' || t[0] == '>' || t[0] == '@') {
    ExprState state = LocalLabel(program, t, out, line);
    if (state == ExprState::Resolved) relocatable = true;
    return state;
  }
  const AsmSymbol* symbol = names.Symbol(name);
  if (symbol == nullptr) names.SetSymbol(name, symbol = program.Symbols().FindSymbol(t));
  if (symbol == nullptr) return ExprState::Pending;
  out = symbol->value;
  // The defining line may know its value before the table is refreshed.
  if (!out.known && symbol->line != nullptr) symbol->line->GetValue(out);
  if (!out.known) return ExprState::Pending;
  relocatable = symbol->relocatable;
  return ExprState::Resolved;
}

}  // namespace vantrel
