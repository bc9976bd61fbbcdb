#include "asm/operands.h"

#include "asm/asm_line.h"
#include "asm/asm_prg.h"
#include "text/text_ops.h"

namespace vantrel {

std::string_view OperandKindText(OperandKind kind) {
  switch (kind) {
    case OperandKind::None: return "None";
    case OperandKind::Text: return "Text";
    case OperandKind::Symbolic: return "Symbolic";
    case OperandKind::List: return "List";
  }
  return "!!!Unknown argument type!!!";
}

bool AsmOperandSymbolic::BuildOperand(AsmPrg&, const AsmInstr&) {
  value_ = 0xFFFF;
  width_ = Width::Auto;
  resolved_ = false;
  prepared_ = false;
  return true;
}

bool AsmOperandSymbolic::EvaluateOperand(AsmPrg& program, const AsmInstr& line) {
  if (resolved_) return true;
  if (!prepared_) {
    prepared_ = true;
    expr_.PrepareExpression(program, text_);
  }
  if (expr_.EvaluateExpression(program, line) != ExprState::Resolved) {
    value_ = 0xFFFF;
    width_ = Width::Auto;
    return false;
  }
  const int32_t result = expr_.Value();
  resolved_ = true;
  value_ = static_cast<uint16_t>(result & 0xFFFF);
  width_ = expr_.ResultWidth();
  if (width_ == Width::Byte && (result < 0 || result > 255)) width_ = Width::Auto;
  if (result > 0xFFFF) ReportLineError(program, &line, "Value is larger than 16 bits");
  return true;
}

bool AsmOperandSymbolic::CheckRange(AsmPrg& program, const AsmInstr& line, Width wanted) {
  if (!resolved_) return ReportUnresolvedOperand(program, line);
  if (wanted == Width::Byte && value_ >= 256)
    return ReportLineError(program, &line,
                           "Parameter must be in the range 0 - 255 [=" + std::to_string(value_) + "]");
  return true;
}

uint32_t AsmOperandSymbolic::OperandWidth() const {
  if (forced_ != Width::Auto) return static_cast<uint32_t>(forced_);
  if (!resolved_) return 0;
  return (width_ != Width::Word && value_ < 256) ? 1 : 2;
}

void AsmOperandSymbolic::EmitAuto(ByteSink& out) const {
  if (OperandWidth() == 1) {
    EmitByte(out);
    return;
  }
  EmitWord(out);
}

bool AsmOperandSymbolic::EmitByte(ByteSink& out) const {
  if (!resolved_ || value_ >= 256) return false;
  out += static_cast<char>(value_);
  return true;
}

bool AsmOperandSymbolic::EmitWord(ByteSink& out) const {
  if (!resolved_) return false;
  out += static_cast<char>(value_ & 0xFF);
  out += static_cast<char>(value_ >> 8);
  return true;
}

bool AsmOperandSymbolic::GetWord(uint16_t& out, AsmPrg& program, const AsmInstr& line) {
  if (!resolved_ && !EvaluateOperand(program, line)) return ReportUnresolvedOperand(program, line);
  out = value_;
  return true;
}

void AsmOperandSymbolic::Relocate(RelocContext& context, const AsmInstr& line, uint32_t location,
                                  uint32_t width) const {
  if (!resolved_) return;
  const RelocForm form = expr_.Relocation();
  if (form == RelocForm::Fixed) return;
  const int64_t target = expr_.RelocTarget();
  RelocKind kind = RelocKind::None;
  if (form == RelocForm::Address && width == 2) kind = RelocKind::Word;
  else if (form == RelocForm::LowByte) kind = RelocKind::Low;
  else if (form == RelocForm::HighByte) kind = RelocKind::High;
  if (kind == RelocKind::None) {
    ReportLineWarning(*context.program, &line, "Operand cannot be relocated: " + std::string(text_));
    return;
  }
  RelocEntry entry;
  // Addresses wrap at 16 bits, so a target before the start moves too.
  entry.value = C6510Address::Known(static_cast<uint16_t>(target - context.start));
  entry.location = C6510Address::Known(static_cast<uint16_t>(location - context.start));
  entry.kind = kind;
  context.entries->push_back(entry);
}

void AsmOperandSymbolic::SetDecoded(uint16_t value, Width width, std::string_view source_text) {
  value_ = value;
  width_ = width;
  resolved_ = true;
  prepared_ = true;
  text_ = source_text;
}

bool AsmOperandText::BuildOperand(AsmPrg& program, const AsmInstr& line) {
  ok_ = false;
  bytes_.clear();
  const size_t close = text_.find('"', 1);
  if (text_.empty() || text_[0] != '"' || close == kNotFound)
    return ReportLineError(program, &line, "Missing closing quote: " + std::string(text_));
  if (close + 1 != text_.size()) return ReportExtraCharacters(program, line);
  content_ = std::string(text_.substr(1, close - 1));
  if (!program.Codes().TextToPetscii(content_, bytes_))
    return ReportLineError(program, &line, content_ + " could not be encoded");
  ok_ = true;
  return true;
}

bool AsmOperandText::EmitByte(ByteSink& out) const {
  if (!ok_ || bytes_.size() != 1) return false;
  out += bytes_;
  return true;
}

void AsmOperandList::Build(AsmPrg& program, const AsmInstr& line, const std::string& text) {
  members_.clear();
  if (Trim(text).empty()) return;
  size_t start = 0;
  while (start <= text.size()) {
    // Each piece starts outside quotes, so the search starts there: from the
    // line's start every time, a long list would take quadratic time.
    size_t comma = FindOutsideQuotes(std::string_view(text).substr(start), ",");
    comma = comma == kNotFound ? text.size() : start + comma;
    const std::string_view piece = program.Texts().Keep(Trim(std::string_view(text).substr(start, comma - start)));
    start = comma + 1;
    if (piece.empty()) {
      ReportLineError(program, &line, "Empty operand");
      continue;
    }
    std::unique_ptr<AsmOperand> member;
    if (piece[0] == '"') member = std::make_unique<AsmOperandText>(piece);
    else member = std::make_unique<AsmOperandSymbolic>(piece);
    member->BuildOperand(program, line);
    members_.push_back(std::move(member));
  }
}

bool AsmOperandList::CheckOperand() const {
  bool ok = true;
  for (const auto& m : members_) ok = m->CheckOperand() && ok;
  return ok;
}

bool AsmOperandList::Evaluate(AsmPrg& program, const AsmInstr& line) {
  bool all = true;
  for (const auto& m : members_) all = m->EvaluateOperand(program, line) && all;
  all_resolved_ = all;
  return all;
}

bool AsmOperandList::CheckRange(AsmPrg& program, const AsmInstr& line, Width wanted) {
  bool ok = true;
  for (const auto& m : members_) ok = m->CheckRange(program, line, wanted) && ok;
  return ok;
}

AsmOperandSymbolic* AsmOperandList::Symbolic(size_t i) const {
  if (i >= members_.size() || members_[i]->Kind() != OperandKind::Symbolic) return nullptr;
  return static_cast<AsmOperandSymbolic*>(members_[i].get());
}

}  // namespace vantrel
