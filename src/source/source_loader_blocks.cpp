// The block half of SourceLoader: {asm}/{endasm} switch between BASIC and
// assembler lines, {macro}/{endmacro} set lines aside as a definition.
#include "source/source_loader.h"

#include <string>

namespace vantrel {

SourceType SourceLoader::CurrentFileKind() { return files_.Current().kind; }

void SourceLoader::EnterAsm() {
  if (mode_ == SourceType::Basic) {
    Info("Starting assembler");
    mode_ = SourceType::Asm;
    return;
  }
  if (mode_ != SourceType::Asm && mode_ != SourceType::Macro) {
    Error("Error entering {asm} mode");
    return;
  }
  if (CurrentFileKind() != SourceType::Asm) {
    Error("Already in assembler");
    return;
  }
  // In an assembler file {asm} only marks a code block; inside a macro it
  // also ends the definition, which is dropped unprinted.
  Info("Begin assembly code block");
  if (mode_ == SourceType::Macro) Info("Starting assembler");
  mode_ = SourceType::Asm;
}

void SourceLoader::LeaveAsm() {
  if (mode_ == SourceType::Basic) {
    Error("Not in assembler mode");
    return;
  }
  if (mode_ != SourceType::Asm) {
    Error("Error leaving {asm} mode");
    return;
  }
  if (CurrentFileKind() == SourceType::Asm) {
    Info("End assembly code block");
    return;
  }
  mode_ = SourceType::Basic;
  Info("Exiting assembler");
}

void SourceLoader::StartMacro(const std::string& argument) {
  if (mode_ == SourceType::Asm) {
    mode_ = SourceType::Macro;
    Info("Starting macro definition");
    macro_.Reset();
    if (!ReadMacroHeading(argument, macro_)) {
      Error("Invalid macro heading: " + argument);
      macro_.Reset();
    }
    return;
  }
  if (mode_ == SourceType::Macro) Error("Already defining a macro");
  else Error("Must be in assembler mode");
}

void SourceLoader::EndMacro() {
  if (mode_ != SourceType::Macro) {
    Error("Not defining a macro");
    return;
  }
  mode_ = SourceType::Asm;
  // The first definition under a name is kept.
  const bool added = macros_.try_emplace(macro_.name, macro_).second;
  if (!added && !macro_.name.empty()) Error("Macro already defined: " + macro_.name);
  // The definition is shown with -verbose, not mixed into the run's output.
  Info("macro " + macro_.name);
  for (const std::string& parameter : macro_.parameters) Info(parameter);
  for (const SourceLine& line : macro_.body) {
    std::string text = std::to_string(line.fileKey);
    text += ' ';
    text += std::to_string(line.lineNumber);
    text += " | ";
    text += line;
    Info(text);
  }
  macro_.Reset();
  Info("Macro defined");
}

}  // namespace vantrel
