// The directive half of SourceLoader: what each brace token does to the
// loader's state and which text takes its place in the line.
#include "source/source_loader.h"

#include "text/text_ops.h"

namespace vantrel {

bool SourceLoader::ProcessBraceToken(const SourceLine& line, const std::string& token,
                                     std::string& replacement) {
  DirectiveParts parts;
  if (!SplitDirective(token, parts)) return Fatal("Defective directive");
  if (std::optional<TokensPreProc> directive = FindDirective(parts.keyword))
    return RunDirective(*directive, parts.argument, replacement);
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
      SourceLine directive(token, line.fileKey, line.lineNumber);
      directive.isDirective = true;
      asm_lines_.push_back(directive);
      return true;
    }
    default: return Error("Badly placed directive");
  }
}

bool SourceLoader::RunDirective(TokensPreProc token, const std::string& argument, std::string& replacement) {
  replacement.assign(1, ' ');
  if (!emit_ && token != TokensPreProc::Else && token != TokensPreProc::EndIf) {
    replacement.clear();
    return true;
  }
  switch (token) {
    case TokensPreProc::Include: LoadFile(argument, false); break;
    case TokensPreProc::Uses: LoadFile(argument, true); break;
    case TokensPreProc::AddSearchPath: locator_.AddDirectoryList(argument); break;
    case TokensPreProc::BuildRev: LoadBuildRevision(argument); break;
    case TokensPreProc::Def: DefineVariable(argument); break;
    case TokensPreProc::Undef: UndefineVariable(argument); break;
    case TokensPreProc::UseDef:
      replacement = VariableValue(argument);
      if (replacement.empty()) replacement.assign(1, ' ');
      break;
    case TokensPreProc::IfDef:
      if (!if_variable_.empty())
        Error("Can't nest {ifdef}--Already inside an if block using variable " + if_variable_);
      else OpenIf(argument, true);
      break;
    case TokensPreProc::IfNDef:
      if (!if_variable_.empty())
        Error("Can't nest {ifndef}--Already inside an if block using variable " + if_variable_);
      else OpenIf(argument, false);
      break;
    case TokensPreProc::Else: ElseBranch(); break;
    case TokensPreProc::EndIf: CloseIf(); break;
    case TokensPreProc::Asm: EnterAsm(); break;
    case TokensPreProc::EndAsm: LeaveAsm(); break;
    case TokensPreProc::Macro: StartMacro(argument); break;
    case TokensPreProc::EndMacro: EndMacro(); break;
    case TokensPreProc::Hex: replacement = RadixValue(argument, 16); break;
    case TokensPreProc::Bin: replacement = RadixValue(argument, 2); break;
    case TokensPreProc::Info: Info(argument); break;
    case TokensPreProc::Warning: Warning(argument); break;
    case TokensPreProc::Error: Error(argument); break;
    case TokensPreProc::Fatal: Fatal(argument); break;
  }
  return true;
}

void SourceLoader::OpenIf(const std::string& name, bool emit_when_defined) {
  if_variable_ = name;
  emit_ = IsDefined(name) == emit_when_defined;
}

void SourceLoader::ElseBranch() {
  if (if_variable_.empty()) {
    Error("{else} outside if block");
    return;
  }
  emit_ = !emit_;
}

void SourceLoader::CloseIf() {
  if (if_variable_.empty()) {
    Error("{endif} without {ifdef}");
    return;
  }
  if_variable_.clear();
  emit_ = true;
}

std::string SourceLoader::RadixValue(const std::string& argument, int base) {
  int32_t value = 0;
  if (ReadRadixValue(argument, base, value)) return std::to_string(value);
  if (base == 16) Error("Illegal hexadecimal value specified: " + argument);
  else Error("Illegal binary value specified: " + argument);
  return argument;
}

}  // namespace vantrel
