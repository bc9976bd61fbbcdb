// source/source_loader.h: reads every text input line by line, runs the
// brace directives and sorts the remaining text into BASIC and assembler
// lines. Messages about a line carry that line's position.
#pragma once

#include <cstdint>
#include <ctime>
#include <deque>
#include <string>
#include <unordered_map>

#include "image/output_set.h"
#include "source/build_revision.h"
#include "source/directives.h"
#include "source/macro_table.h"
#include "source/parser_variables.h"
#include "source/source_file_tracker.h"
#include "source/source_line.h"
#include "source/source_loader_msg_log.h"
#include "source/text_store.h"
#include "text/file_locator.h"

namespace vantrel {

class SourceLoader {
 public:
  SourceLoader(SourceLoaderMsgLog& log, FileLocator& locator);

  SourceLoaderMsgLog& Log() { return log_; }
  FileLocator& Locator() { return locator_; }

  // Loads the main input; `kind` is the kind of the run (Basic or Asm).
  // False when loading failed, a Fatal was reported or an {ifdef} is left open.
  bool LoadSource(const std::string& name, SourceType kind);
  // One file, kind by its extension: {include} (uses false), {uses} (true);
  // `at` is the line that names it.
  bool LoadFile(const std::string& name, bool uses, SourcePos at);

  void DefinePredefined();
  // "name" or "name=value"; the first definition of a name wins.
  void DefineVariable(const std::string& text, SourcePos at = {});
  void DefineVariable(const std::string& name, const std::string& value, SourcePos at = {});
  void UndefineVariable(const std::string& name, SourcePos at);
  bool IsDefined(const std::string& name) const;
  std::string VariableValue(const std::string& name) const;

  // Carries out one brace token of `line`; `replacement` takes its place in
  // the line. False when the token could not be handled.
  bool ProcessBraceToken(const SourceLine& line, const std::string& token, std::string& replacement);

  const LineBlock& BasicLines() const { return basic_lines_; }
  const LineBlock& AssemblerLines() const { return asm_lines_; }
  // The brace token an assembler line stands for, cut up; null for the
  // lines of source text.
  const DirectiveParts* Directive(const SourceLine& line) const;
  const MacroTable& Macros() const { return macros_; }
  SourceType Mode() const { return mode_; }
  const SourceFileTracker& Files() const { return files_; }

  // {buildrev:file}: reads the revision and publishes it as __BuildRev.
  void LoadBuildRevision(const std::string& name, SourcePos at);
  // Stages the build revision counted up, after a run without errors.
  void UpdateBuildRevision(OutputSet& out);
  // The closing tally of errors and warnings.
  void Summary(const std::string& program_name);

 private:
  struct Accumulators;

  bool LoadFileAs(const std::string& name, bool uses, SourceType forced_kind, SourcePos at);
  bool PushFile(const HiPath& path, SourceType kind, bool uses, SourcePos at);
  bool ReadFileByKind(const HiPath& path, SourceType kind, SourcePos at);
  bool ReadTextFile(const HiPath& path, SourcePos at);
  bool TooMuchSource(const HiPath& path, SourcePos at);
  void ProcessLine(SourceLine&& line);
  void Append(Accumulators& acc, std::string_view text);
  void Flush(Accumulators& acc, SourcePos at);

  // `shown` is how the Info message names the definition.
  void Define(const std::string& name, const std::string& value, const std::string& shown, SourcePos at);
  bool RunDirective(TokensPreProc token, const std::string& argument, SourcePos at, std::string& replacement);
  bool PassThrough(const SourceLine& line, const DirectiveParts& parts, const std::string& token,
                   std::string& replacement);
  void OpenIf(const std::string& name, bool emit_when_defined);
  void ElseBranch(SourcePos at);
  void CloseIf(SourcePos at);
  std::string RadixValue(const std::string& argument, int base, SourcePos at);

  void EnterAsm(SourcePos at);
  void LeaveAsm(SourcePos at);
  void StartMacro(const std::string& argument, SourcePos at);
  void EndMacro(SourcePos at);
  SourceType CurrentFileKind();

  SourceLoaderMsgLog& log_;
  FileLocator& locator_;
  SourceFileTracker files_;
  BuildRevisionTracker revision_;
  uint64_t build_id_ = 0;
  std::time_t start_time_ = 0;
  ParserVariableTable variables_;
  std::string if_variable_;
  bool emit_ = true;
  SourceType mode_ = SourceType::Basic;
  // The lines view these: every file's text as read, and the lines a brace
  // token rewrote.
  std::deque<std::string> texts_;
  TextStore rewritten_;
  LineBlock basic_lines_;
  LineBlock asm_lines_;
  // Kept beside the lines, not in them: few lines are brace tokens, and
  // every line would pay for the room.
  std::unordered_map<const SourceLine*, DirectiveParts> asm_directives_;
  MacroDefinition macro_;
  MacroTable macros_;
  bool token_in_quotes_ = false;  // the brace token being handled stands inside quotes
  uintmax_t source_bytes_ = 0;    // the size of every text file read so far
  uint32_t source_lines_ = 0;     // and their lines that are not empty
};

}  // namespace vantrel
