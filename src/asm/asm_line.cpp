#include "asm/asm_line.h"

#include "asm/asm_instr.h"
#include "asm/asm_prg.h"
#include "asm/expr.h"
#include "asm/pseudo_ops.h"
#include "source/directives.h"
#include "text/text_ops.h"

namespace vantrel {

namespace {

bool CheckSymbolName(AsmPrg& program, std::string_view label, AsmLineFields& fields) {
  if (IsSymbolName(label)) return true;
  fields.ok = program.Loader().Log().ReportError(fields.source->pos, "Invalid symbol name: \"" + std::string(label) + "\"");
  return false;
}

bool ReportNoLabel(AsmPrg& program, const SourceLine& source) {
  return program.Loader().Log().ReportError(source.pos, "No label found");
}

// The first ";", "=" and ":" outside quotes, found in one pass.
struct LineMarks {
  size_t comment = kNotFound;
  size_t equals = kNotFound;
  size_t colon = kNotFound;
};

LineMarks ScanLine(std::string_view text) {
  LineMarks marks;
  char quote = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (quote != 0) {
      if (c == quote) quote = 0;
    } else if (c == '"' || c == '\'') {
      quote = c;
    } else if (c == ';') {
      marks.comment = i;
      break;
    } else if (c == '=' && marks.equals == kNotFound) {
      marks.equals = i;
    } else if (c == ':' && marks.colon == kNotFound) {
      marks.colon = i;
    }
  }
  return marks;
}

bool AddSymbolFor(AsmPrg& program, AsmInstr& line, std::string name, bool is_label, SourcePos at) {
  switch (program.Symbols().AddSymbol(name, is_label, &line)) {
    case AddSymbolResult::Added: return true;
    case AddSymbolResult::InvalidName: return program.Loader().Log().ReportError(at, name + " is not a valid symbol name");
    case AddSymbolResult::Redefined: return program.Loader().Log().ReportError(at, "Symbol redefinition: " + name);
  }
  return false;
}

bool BuildLabel(AsmPrg& program, const AsmLineFields& fields) {
  auto label = std::make_unique<AsmInstrLabel>(fields.source, std::string(fields.label));
  AsmInstr& line = *label;
  program.AppendLine(std::move(label));
  return AddSymbolFor(program, line, std::string(fields.label), true, fields.source->pos);
}

bool BuildEquate(AsmPrg& program, const AsmLineFields& fields) {
  auto equate = std::make_unique<AsmInstrEquates>(fields.source, std::string(fields.label), std::string(fields.operand));
  equate->Build(program);
  equate->Evaluate(program);
  AsmInstr& line = *equate;
  program.AppendLine(std::move(equate));
  return AddSymbolFor(program, line, std::string(fields.label), false, fields.source->pos);
}

bool BuildInstruction(AsmPrg& program, const AsmLineFields& fields) {
  if (std::unique_ptr<AsmInstr> instr = MakeInstruction(program, fields)) {
    // Unresolved operands are normal here: later passes retry them.
    instr->Evaluate(program);
    program.AppendLine(std::move(instr));
    return true;
  }
  // Macros are collected but never expanded; a use is only noted.
  const std::string mnemonic(fields.mnemonic);
  if (program.Loader().Macros().count(mnemonic) != 0) {
    program.Loader().Log().ReportInfo(fields.source->pos, "Found macro! " + mnemonic);
    return true;
  }
  return program.Loader().Log().ReportError(fields.source->pos, "Unknown instruction " + mnemonic);
}

bool BuildDirectiveLine(AsmPrg& program, const SourceLine& source) {
  MsgLog& log = program.Loader().Log();
  const DirectiveParts& parts = *source.directive;
  const std::string name = LowerCopy(parts.keyword);
  if (name == ToText(AsmDirective::AddrCheck))
    return log.ReportError(source.pos, "AddrCheck directive not implemented in assembler yet; use addrcheck pseudo-op");
  if (name == ToText(AsmDirective::Alpha)) {
    const AlphaMode mode = ReadAlphaMode(parts.argument);
    if (mode == AlphaMode::Error) return log.ReportError(source.pos, "Invalid alpha mode " + parts.argument);
    program.Codes().SetAlpha(mode);
    return true;
  }
  if (name == ToText(AsmDirective::SymDemote)) {
    program.Symbols().SetDemotion(IsTrueWord(LowerCopy(parts.argument)));
    return true;
  }
  if (name == ToText(AsmDirective::DebugStall)) return true;
  return log.ReportError(source.pos, "Unknown directive " + source);
}

}  // namespace

std::string_view ToText(AsmDirective directive) {
  switch (directive) {
    case AsmDirective::AddrCheck: return "addrcheck";
    case AsmDirective::Alpha: return "alpha";
    case AsmDirective::SymDemote: return "symdemote";
    case AsmDirective::DebugStall: return "debugstall";
    default: return "!!!Undefined token in AsmDirective::ToText!!!";
  }
}

bool SplitAsmLine(const SourceLine& source, AsmPrg& program, AsmLineFields& fields) {
  fields = AsmLineFields();
  fields.source = &source;
  std::string_view rest(source);
  const LineMarks marks = ScanLine(rest);
  if (marks.comment != kNotFound) rest = rest.substr(0, marks.comment);
  rest = TrimView(rest);
  if (rest.empty()) {
    fields.kind = AsmLineKind::Empty;
    return true;
  }
  // Positions count from the source line; `rest` may start later.
  const size_t shift = static_cast<size_t>(rest.data() - source.data());
  if (marks.equals != kNotFound && marks.equals < marks.comment) {
    const size_t eq = marks.equals - shift;
    fields.kind = AsmLineKind::Equate;
    fields.label = TrimView(rest.substr(0, eq));
    fields.operand = TrimView(rest.substr(eq + 1));
    if (fields.label.empty()) fields.ok = ReportNoLabel(program, source);
    else if (fields.operand.empty()) fields.ok = program.Loader().Log().ReportError(source.pos, "Expected value not found");
    else CheckSymbolName(program, fields.label, fields);
    return fields.ok;
  }
  if (marks.colon != kNotFound && marks.colon < marks.comment) {
    const size_t colon = marks.colon - shift;
    fields.label = TrimView(rest.substr(0, colon));
    rest = TrimView(rest.substr(colon + 1));
    if (fields.label.empty()) return fields.ok = ReportNoLabel(program, source);
    if (!CheckSymbolName(program, fields.label, fields)) return false;
    if (rest.empty()) {
      fields.kind = AsmLineKind::LabelOnly;
      return true;
    }
    fields.kind = AsmLineKind::LabelAndInstruction;
  }
  const size_t blank = rest.find_first_of(" \t");
  fields.mnemonic = TrimView(rest.substr(0, blank));
  if (blank != kNotFound) fields.operand = TrimView(rest.substr(blank + 1));
  if (fields.kind == AsmLineKind::NotSplit) fields.kind = AsmLineKind::Instruction;
  return true;
}

bool BuildAsmLine(AsmPrg& program, const SourceLine& source) {
  if (source.directive) return BuildDirectiveLine(program, source);
  AsmLineFields fields;
  if (!SplitAsmLine(source, program, fields)) return false;
  switch (fields.kind) {
    case AsmLineKind::Equate: return BuildEquate(program, fields);
    case AsmLineKind::LabelOnly: return BuildLabel(program, fields);
    case AsmLineKind::Instruction: return BuildInstruction(program, fields);
    case AsmLineKind::LabelAndInstruction: {
      const bool label = BuildLabel(program, fields);
      return BuildInstruction(program, fields) && label;
    }
    default: return true;
  }
}

std::unique_ptr<AsmInstr> MakeInstruction(AsmPrg& program, const AsmLineFields& fields) {
  std::unique_ptr<AsmInstr> instr;
  if (Mnemonic m = FindMnemonic(fields.mnemonic); m != Mnemonic::None)
    instr = std::make_unique<AsmInstr6510>(fields.source, m, std::string(fields.operand));
  else if (PseudoMnemonic p = FindPseudoMnemonic(fields.mnemonic); p != PseudoMnemonic::None)
    instr = MakePseudoOp(p, fields.source, std::string(fields.operand));
  if (instr) instr->Build(program);
  return instr;
}

namespace {
std::string LineMessage(const AsmInstr* line, const std::string& message) {
  if (line == nullptr || line->Source() == nullptr) return message;
  return message + ": " + Trim(*line->Source());
}

SourcePos LinePos(const AsmInstr* line) {
  return line == nullptr || line->Source() == nullptr ? SourcePos{} : line->Source()->pos;
}
}  // namespace

bool ReportLineError(AsmPrg& program, const AsmInstr* line, const std::string& message) {
  return program.Loader().Log().ReportError(LinePos(line), LineMessage(line, message));
}

bool ReportLineWarning(AsmPrg& program, const AsmInstr* line, const std::string& message) {
  return program.Loader().Log().ReportWarning(LinePos(line), LineMessage(line, message));
}

bool ReportImprintError(AsmPrg& program, const AsmInstr& line) {
  return ReportLineError(program, &line, "Error converting instruction at: " + line.address.Format(true));
}

bool ReportExtraCharacters(AsmPrg& program, const AsmInstr& line) {
  return ReportLineError(program, &line, "Extra characters on line");
}

bool ReportUnresolvedOperand(AsmPrg& program, const AsmInstr& line) {
  return ReportLineError(program, &line, "Unresolved operand");
}

}  // namespace vantrel
