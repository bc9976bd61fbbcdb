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
  fields.ok = program.BuildError("Invalid symbol name: \"" + std::string(label) + "\"");
  return false;
}

bool ReportNoLabel(AsmPrg& program) { return program.BuildError("No label found"); }

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

bool AddSymbolFor(AsmPrg& program, AsmInstr& line, std::string name, bool is_label) {
  switch (program.Symbols().AddSymbol(name, is_label, &line)) {
    case AddSymbolResult::Added: return true;
    case AddSymbolResult::InvalidName: return program.BuildError(name + " is not a valid symbol name");
    case AddSymbolResult::Redefined: return program.BuildError("Symbol redefinition: " + name);
  }
  return false;
}

bool BuildLabel(AsmPrg& program, const AsmLineFields& fields) {
  auto label = std::make_unique<AsmInstrLabel>(fields.source, fields.label);
  AsmInstr& line = *label;
  program.AppendLine(std::move(label));
  return AddSymbolFor(program, line, std::string(fields.label), true);
}

bool BuildEquate(AsmPrg& program, const AsmLineFields& fields) {
  auto equate = std::make_unique<AsmInstrEquates>(fields.source, fields.label, fields.operand);
  equate->Build(program);
  equate->Evaluate(program);
  AsmInstr& line = *equate;
  program.AppendLine(std::move(equate));
  return AddSymbolFor(program, line, std::string(fields.label), false);
}

bool BuildInstruction(AsmPrg& program, const AsmLineFields& fields) {
  if (std::unique_ptr<AsmInstr> instr = MakeInstruction(program, fields)) {
    // Unresolved operands are normal here: later passes retry them.
    instr->Evaluate(program);
    program.AppendLine(std::move(instr));
    return true;
  }
  const std::string mnemonic(fields.mnemonic);
  const MacroTable& macros = program.Loader().Macros();
  if (auto named = macros.find(LowerCopy(mnemonic)); named != macros.end() && !named->second.name.empty())
    return program.Macros().Expand(program, fields, named->second);
  // A definition without a name is collected, never expanded; a use is only noted.
  if (macros.count(mnemonic) != 0) {
    program.Loader().Log().ReportInfo(fields.source->pos, "Found macro! " + mnemonic);
    return true;
  }
  return program.BuildError("Unknown instruction " + mnemonic);
}

bool BuildDirectiveLine(AsmPrg& program, const SourceLine& source, const DirectiveParts& parts) {
  const std::string name = LowerCopy(parts.keyword);
  if (name == ToText(AsmDirective::AddrCheck))
    return program.BuildError("AddrCheck directive not implemented in assembler yet; use addrcheck pseudo-op");
  if (name == ToText(AsmDirective::Alpha)) {
    const AlphaMode mode = ReadAlphaMode(parts.argument);
    if (mode == AlphaMode::Error) return program.BuildError("Invalid alpha mode " + parts.argument);
    program.Codes().SetAlpha(mode);
    return true;
  }
  if (name == ToText(AsmDirective::SymDemote)) {
    program.Symbols().SetDemotion(IsTrueWord(LowerCopy(parts.argument)));
    return true;
  }
  if (name == ToText(AsmDirective::DebugStall)) return true;
  return program.BuildError("Unknown directive " + std::string(source));
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
    if (fields.label == "*")
      fields.ok = program.BuildError("Set the address with \"orig " + std::string(fields.operand) + "\", not \"* =\"");
    else if (fields.label.empty()) fields.ok = ReportNoLabel(program);
    else if (fields.operand.empty()) fields.ok = program.BuildError("Expected value not found");
    else CheckSymbolName(program, fields.label, fields);
    return fields.ok;
  }
  if (marks.colon != kNotFound && marks.colon < marks.comment) {
    const size_t colon = marks.colon - shift;
    fields.label = TrimView(rest.substr(0, colon));
    rest = TrimView(rest.substr(colon + 1));
    if (fields.label.empty()) return fields.ok = ReportNoLabel(program);
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
  program.SetBuildLine(&source, program.Lines().size());
  program.AddBuiltLine(&source);
  if (const DirectiveParts* parts = program.Loader().Directive(source)) return BuildDirectiveLine(program, source, *parts);
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
    instr = std::make_unique<AsmInstr6510>(fields.source, m, fields.operand);
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

void ReportOnLine(AsmPrg& program, const AsmInstr* line, MessageLevel level, const std::string& message) {
  const SourceLine* source = line == nullptr ? nullptr : line->Source();
  // Lines are reported on while built, before they have their place.
  size_t order = line == nullptr ? SIZE_MAX : line->Index();
  if (program.CurrentPass() == AsmPass::Build) order = program.BuildOrder();
  program.Report(source, order, level, LineMessage(line, message));
}
}  // namespace

bool ReportLineError(AsmPrg& program, const AsmInstr* line, const std::string& message) {
  ReportOnLine(program, line, MessageLevel::Error, message);
  return false;
}

bool ReportLineWarning(AsmPrg& program, const AsmInstr* line, const std::string& message) {
  ReportOnLine(program, line, MessageLevel::Warning, message);
  return true;
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
