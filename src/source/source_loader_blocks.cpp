// The block half of SourceLoader: {asm}/{endasm} switch between BASIC and
// assembler lines, {macro}/{endmacro} set lines aside as a definition.
#include "source/source_loader.h"

#include <string>

namespace vantrel {

namespace {
bool ReportStartingAssembler(MsgLog& log, SourcePos at) { return log.ReportInfo(at, "Starting assembler"); }
}  // namespace

SourceType SourceLoader::CurrentFileKind() { return files_.Current().kind; }

void SourceLoader::EnterAsm(SourcePos at) {
  if (mode_ == SourceType::Basic) {
    ReportStartingAssembler(log_, at);
    mode_ = SourceType::Asm;
    return;
  }
  if (mode_ != SourceType::Asm && mode_ != SourceType::Macro) {
    log_.ReportError(at, "Error entering {asm} mode");
    return;
  }
  if (CurrentFileKind() != SourceType::Asm) {
    log_.ReportError(at, "Already in assembler");
    return;
  }
  // In an assembler file {asm} only marks a code block; inside a macro it
  // also ends the definition, which is dropped unprinted.
  log_.ReportInfo(at, "Begin assembly code block");
  if (mode_ == SourceType::Macro) ReportStartingAssembler(log_, at);
  mode_ = SourceType::Asm;
}

void SourceLoader::LeaveAsm(SourcePos at) {
  if (mode_ == SourceType::Basic) {
    log_.ReportError(at, "Not in assembler mode");
    return;
  }
  if (mode_ != SourceType::Asm) {
    log_.ReportError(at, "Error leaving {asm} mode");
    return;
  }
  if (CurrentFileKind() == SourceType::Asm) {
    log_.ReportInfo(at, "End assembly code block");
    return;
  }
  mode_ = SourceType::Basic;
  log_.ReportInfo(at, "Exiting assembler");
}

void SourceLoader::StartMacro(const std::string& argument, SourcePos at) {
  if (mode_ == SourceType::Asm) {
    mode_ = SourceType::Macro;
    log_.ReportInfo(at, "Starting macro definition");
    macro_.Reset();
    if (!ReadMacroHeading(argument, macro_)) {
      log_.ReportError(at, "Invalid macro heading: " + argument);
      macro_.Reset();
    }
    return;
  }
  if (mode_ == SourceType::Macro) log_.ReportError(at, "Already defining a macro");
  else log_.ReportError(at, "Must be in assembler mode");
}

void SourceLoader::EndMacro(SourcePos at) {
  if (mode_ != SourceType::Macro) {
    log_.ReportError(at, "Not defining a macro");
    return;
  }
  mode_ = SourceType::Asm;
  // The first definition under a name is kept.
  const bool added = macros_.try_emplace(macro_.name, macro_).second;
  if (!added && !macro_.name.empty()) log_.ReportError(at, "Macro already defined: " + macro_.name);
  // The definition is shown with -verbose, not mixed into the run's output.
  log_.ReportInfo(at, "macro " + macro_.name);
  for (const std::string& parameter : macro_.parameters) log_.ReportInfo(at, parameter);
  for (const SourceLine& line : macro_.body) {
    std::string text = std::to_string(line.pos.file);
    text += ' ';
    text += std::to_string(line.pos.line);
    text += " | ";
    text += line;
    log_.ReportInfo(at, text);
  }
  macro_.Reset();
  log_.ReportInfo(at, "Macro defined");
}

}  // namespace vantrel
