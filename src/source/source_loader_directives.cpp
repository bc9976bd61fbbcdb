// The directive half of SourceLoader: what each brace token does to the
// loader's state and which text takes its place in the line.
#include "source/source_loader.h"

#include "text/text_ops.h"

namespace vantrel {

bool SourceLoader::ProcessBraceToken(const SourceLine& line, const std::string& token,
                                     std::string& replacement) {
  DirectiveParts parts;
  if (!SplitDirective(token, parts)) return log_.ReportFatal(line.pos, "Defective directive");
  if (std::optional<TokensPreProc> directive = FindDirective(parts.keyword))
    return RunDirective(*directive, parts.argument, line.pos, replacement);
  return PassThrough(line, parts, token, replacement);
}

// Brace tokens that are not directives belong to the BASIC tokenizer
// (PETSCII names, labels) or to the assembler, which gets them as lines.
bool SourceLoader::PassThrough(const SourceLine& line, const DirectiveParts& parts, const std::string& token,
                               std::string& replacement) {
  replacement.clear();
  if (!emit_) return true;
  replacement.assign(1, ' ');
  if (!parts.keyword.empty() && parts.keyword[0] == '\'') return true;
  switch (mode_) {
    case SourceType::Basic: replacement = token; return true;
    case SourceType::Asm: {
      // Inside quotes a brace code is text: lda #'{clr}', ascii "{red}HI".
      if (token_in_quotes_) {
        replacement = token;
        return true;
      }
      asm_directives_.emplace(&asm_lines_.emplace_back(rewritten_.Keep(token), line.pos), parts);
      return true;
    }
    default: return log_.ReportError(line.pos, "Badly placed directive");
  }
}

const DirectiveParts* SourceLoader::Directive(const SourceLine& line) const {
  if (asm_directives_.empty()) return nullptr;
  const auto found = asm_directives_.find(&line);
  return found == asm_directives_.end() ? nullptr : &found->second;
}

bool SourceLoader::RunDirective(TokensPreProc token, const std::string& argument, SourcePos at,
                                std::string& replacement) {
  replacement.assign(1, ' ');
  if (!emit_ && token != TokensPreProc::Else && token != TokensPreProc::EndIf) {
    replacement.clear();
    return true;
  }
  switch (token) {
    case TokensPreProc::Include: LoadFile(argument, false, at); break;
    case TokensPreProc::Uses: LoadFile(argument, true, at); break;
    case TokensPreProc::AddSearchPath: locator_.AddDirectoryList(argument); break;
    case TokensPreProc::BuildRev: LoadBuildRevision(argument, at); break;
    case TokensPreProc::Def: DefineVariable(argument, at); break;
    case TokensPreProc::Undef: UndefineVariable(argument, at); break;
    case TokensPreProc::UseDef:
      replacement = VariableValue(argument);
      if (replacement.empty()) replacement.assign(1, ' ');
      break;
    case TokensPreProc::IfDef:
      if (!if_variable_.empty())
        log_.ReportError(at, "Can't nest {ifdef}--Already inside an if block using variable " + if_variable_);
      else OpenIf(argument, true);
      break;
    case TokensPreProc::IfNDef:
      if (!if_variable_.empty())
        log_.ReportError(at, "Can't nest {ifndef}--Already inside an if block using variable " + if_variable_);
      else OpenIf(argument, false);
      break;
    case TokensPreProc::Else: ElseBranch(at); break;
    case TokensPreProc::EndIf: CloseIf(at); break;
    case TokensPreProc::Asm: EnterAsm(at); break;
    case TokensPreProc::EndAsm: LeaveAsm(at); break;
    case TokensPreProc::Macro: StartMacro(argument, at); break;
    case TokensPreProc::EndMacro: EndMacro(at); break;
    case TokensPreProc::Hex: replacement = RadixValue(argument, 16, at); break;
    case TokensPreProc::Bin: replacement = RadixValue(argument, 2, at); break;
    case TokensPreProc::Info: log_.ReportInfo(at, argument); break;
    case TokensPreProc::Warning: log_.ReportWarning(at, argument); break;
    case TokensPreProc::Error: log_.ReportError(at, argument); break;
    case TokensPreProc::Fatal: log_.ReportFatal(at, argument); break;
  }
  return true;
}

void SourceLoader::OpenIf(const std::string& name, bool emit_when_defined) {
  if_variable_ = name;
  emit_ = IsDefined(name) == emit_when_defined;
}

void SourceLoader::ElseBranch(SourcePos at) {
  if (if_variable_.empty()) {
    log_.ReportError(at, "{else} outside if block");
    return;
  }
  emit_ = !emit_;
}

void SourceLoader::CloseIf(SourcePos at) {
  if (if_variable_.empty()) {
    log_.ReportError(at, "{endif} without {ifdef}");
    return;
  }
  if_variable_.clear();
  emit_ = true;
}

std::string SourceLoader::RadixValue(const std::string& argument, int base, SourcePos at) {
  int32_t value = 0;
  if (ReadRadixValue(argument, base, value)) return std::to_string(value);
  if (base == 16) log_.ReportError(at, "Illegal hexadecimal value specified: " + argument);
  else log_.ReportError(at, "Illegal binary value specified: " + argument);
  return argument;
}

}  // namespace vantrel
