#include "asm/asm_line.h"

#include "asm/asm_instr.h"
#include "asm/asm_prg.h"
#include "asm/expr.h"
#include "asm/pseudo_ops.h"
#include "source/directives.h"
#include "text/text_ops.h"

namespace vantrel {

namespace {

bool CheckSymbolName(AsmPrg& program, const HiText& label, AsmLineFields& fields) {
  if (IsSymbolName(label)) return true;
  fields.ok = program.Loader().Error("Invalid symbol name: \"" + label + "\"");
  return false;
}

bool AddSymbolFor(AsmPrg& program, AsmInstr& line, std::string name, bool is_label) {
  switch (program.Symbols().AddSymbol(name, is_label, &line)) {
    case AddSymbolResult::Added: return true;
    case AddSymbolResult::InvalidName: return program.Loader().Error(name + " is not a valid symbol name");
    case AddSymbolResult::Redefined: return program.Loader().Error("Symbol redefinition: " + name);
  }
  return false;
}

bool BuildLabel(AsmPrg& program, const AsmLineFields& fields) {
  auto label = std::make_unique<AsmInstrLabel>(fields.source, fields.label);
  AsmInstr& line = *label;
  program.AppendLine(std::move(label));
  return AddSymbolFor(program, line, fields.label, true);
}

bool BuildEquate(AsmPrg& program, const AsmLineFields& fields) {
  auto equate = std::make_unique<AsmInstrEquates>(fields.source, fields.label, fields.operand);
  equate->Build(program);
  equate->Evaluate(program);
  AsmInstr& line = *equate;
  program.AppendLine(std::move(equate));
  return AddSymbolFor(program, line, fields.label, false);
}

bool BuildInstruction(AsmPrg& program, const AsmLineFields& fields) {
  if (std::unique_ptr<AsmInstr> instr = MakeInstruction(program, fields)) {
    // Unresolved operands are normal here: later passes retry them.
    instr->Evaluate(program);
    program.AppendLine(std::move(instr));
    return true;
  }
  // Macros are collected but never expanded; a use is only noted.
  if (program.Loader().Macros().count(fields.mnemonic) != 0) {
    program.Loader().Info("Found macro! " + fields.mnemonic);
    return true;
  }
  return program.Loader().Error("Unknown instruction " + fields.mnemonic);
}

bool BuildDirectiveLine(AsmPrg& program, const SourceLine& source) {
  DirectiveParts parts;
  if (!SplitDirective(source, parts)) return program.Loader().Error("Problematic directive " + source);
  const std::string name = LowerCopy(parts.keyword);
  if (name == ToText(AsmDirective::AddrCheck))
    return program.Loader().Error("AddrCheck directive not implemented in assembler yet; use addrcheck pseudo-op");
  if (name == ToText(AsmDirective::Alpha)) {
    const AlphaMode mode = ReadAlphaMode(parts.argument);
    if (mode == AlphaMode::Error) return program.Loader().Error("Invalid alpha mode " + parts.argument);
    program.Codes().SetAlpha(mode);
    return true;
  }
  if (name == ToText(AsmDirective::SymDemote)) {
    program.Symbols().SetDemotion(IsTrueWord(LowerCopy(parts.argument)));
    return true;
  }
  if (name == ToText(AsmDirective::DebugStall)) return true;
  return program.Loader().Error("Unknown directive " + source);
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
  std::string_view text(source);
  if (size_t comment = FindOutsideQuotes(text, ";"); comment != kNotFound) text = text.substr(0, comment);
  HiText rest(Trim(text));
  if (rest.empty()) {
    fields.kind = AsmLineKind::Empty;
    return true;
  }
  if (size_t eq = FindOutsideQuotes(rest, "="); eq != kNotFound) {
    fields.kind = AsmLineKind::Equate;
    fields.label = Trim(std::string_view(rest).substr(0, eq));
    fields.operand = Trim(std::string_view(rest).substr(eq + 1));
    if (fields.label.empty()) fields.ok = program.Loader().Error("No label found");
    else if (fields.operand.empty()) fields.ok = program.Loader().Error("Expected value not found");
    else CheckSymbolName(program, fields.label, fields);
    return fields.ok;
  }
  if (size_t colon = FindOutsideQuotes(rest, ":"); colon != kNotFound) {
    fields.label = Trim(std::string_view(rest).substr(0, colon));
    rest = Trim(std::string_view(rest).substr(colon + 1));
    if (fields.label.empty()) return fields.ok = program.Loader().Error("No label found");
    if (!CheckSymbolName(program, fields.label, fields)) return false;
    if (rest.empty()) {
      fields.kind = AsmLineKind::LabelOnly;
      return true;
    }
    fields.kind = AsmLineKind::LabelAndInstruction;
  }
  const size_t blank = rest.find_first_of(" \t");
  fields.mnemonic = Trim(std::string_view(rest).substr(0, blank));
  if (blank != kNotFound) fields.operand = Trim(std::string_view(rest).substr(blank + 1));
  if (fields.kind == AsmLineKind::NotSplit) fields.kind = AsmLineKind::Instruction;
  return true;
}

bool BuildAsmLine(AsmPrg& program, const SourceLine& source) {
  program.Loader().SetContext(source.fileKey, source.lineNumber);
  if (source.isDirective) return BuildDirectiveLine(program, source);
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
    instr = MakePseudoOp(p, fields.source, fields.operand);
  if (instr) instr->Build(program);
  return instr;
}

namespace {
std::string LineMessage(AsmPrg& program, const AsmInstr* line, const std::string& message) {
  if (line == nullptr || line->Source() == nullptr) {
    program.Loader().SetContext(0, 0);
    return message;
  }
  const SourceLine& source = *line->Source();
  program.Loader().SetContext(source.fileKey, source.lineNumber);
  return program.Loader().ContextText(message + ": " + Trim(source));
}
}  // namespace

bool ReportLineError(AsmPrg& program, const AsmInstr* line, const std::string& message) {
  return program.Loader().Log().ReportError(LineMessage(program, line, message));
}

bool ReportLineWarning(AsmPrg& program, const AsmInstr* line, const std::string& message) {
  return program.Loader().Log().ReportWarning(LineMessage(program, line, message));
}

}  // namespace vantrel
