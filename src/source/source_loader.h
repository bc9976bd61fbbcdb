// source/source_loader.h: reads every text input line by line, runs the
// brace directives and sorts the remaining text into BASIC and assembler
// lines. Messages about a line carry "[path (line)] " in front.
#pragma once

#include <cstdint>
#include <string>

#include "source/source_line.h"
#include "source/source_loader_msg_log.h"
#include "text/file_locator.h"

namespace vantrel {

class SourceLoader {
 public:
  SourceLoader(SourceLoaderMsgLog& log, FileLocator& locator);

  SourceLoaderMsgLog& Log() { return log_; }
  FileLocator& Locator() { return locator_; }

  // Loads the main input; `kind` is the kind of the run (Basic or Asm).
  bool LoadSource(const std::string& name, SourceType kind);
  void DefinePredefined();
  // "name" or "name=value"; the first definition of a name wins.
  void DefineVariable(const std::string& text);
  void DefineVariable(const std::string& name, const std::string& value);
  bool IsDefined(const std::string& name) const;
  std::string VariableValue(const std::string& name) const;

  // Reports carrying the current source position.
  std::string ContextText(const std::string& message) const;
  bool Error(const std::string& message);
  bool Fatal(const std::string& message);
  bool Warning(const std::string& message);
  bool Info(const std::string& message);
  void SetContext(int32_t file_key, int32_t line_number);

  const LineBlock& BasicLines() const { return basic_lines_; }
  const LineBlock& AssemblerLines() const { return asm_lines_; }

  // Counts the build revision up after a run without errors.
  void UpdateBuildRevision();
  // The closing tally of errors and warnings.
  void Summary(const std::string& program_name);

 private:
  SourceLoaderMsgLog& log_;
  FileLocator& locator_;
  LineBlock basic_lines_;
  LineBlock asm_lines_;
  int32_t context_key_ = 0;
  int32_t context_line_ = 0;
};

}  // namespace vantrel
