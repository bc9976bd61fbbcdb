// log/msg_log.h: the one channel for progress, warnings and errors. Two
// thresholds decide what is kept and what is shown; the sticky error and
// fatal flags are the gates every run checks between its steps. A message
// keeps its level and source position as fields: the position becomes
// "[path (12)] " or "path:12: error: " only when the message is printed.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "log/source_pos.h"

namespace vantrel {

// Values are fixed: thresholds and the closing tally compare them.
enum class MessageLevel : int32_t {
  Plain = 6,
  Info = 7,
  Warning = 8,
  Error = 9,
  Fatal = 10,
};

// How a message about a source line is printed: "[path (12)] Error: text"
// reads well on a console; "path:12: error: text" is what editors jump to.
enum class MessageFormat { Standard, Gnu };

// A place a message was reached through, such as the call of the macro
// whose body the message is about: "in macro m called at" and the call's
// position, printed after the text as "... t.asm (10)".
struct MsgSite {
  std::string what;
  SourcePos pos;
};

struct MsgLogMsg {
  MessageLevel level = MessageLevel::Plain;
  SourcePos pos;
  std::string text;
  bool force = false;
  std::vector<MsgSite> via;  // innermost first
};

class MsgLog {
 public:
  MsgLog();
  virtual ~MsgLog() = default;

  virtual void Report(const MsgLogMsg& msg);

  bool ReportPlain(const std::string& text);    // forced; returns false
  bool ReportInfo(const std::string& text) { return ReportInfo(SourcePos{}, text); }
  bool ReportWarning(const std::string& text) { return ReportWarning(SourcePos{}, text); }
  bool ReportError(const std::string& text) { return ReportError(SourcePos{}, text); }
  bool ReportFatal(const std::string& text) { return ReportFatal(SourcePos{}, text); }
  bool ReportInfo(SourcePos pos, const std::string& text);     // returns true
  bool ReportWarning(SourcePos pos, const std::string& text);  // returns true
  bool ReportError(SourcePos pos, const std::string& text);    // returns false
  bool ReportFatal(SourcePos pos, const std::string& text);    // returns false
  void ReportAt(MessageLevel level, SourcePos pos, const std::string& text, bool force = false);

  // The path printed for positions in `file`; positions in a file without
  // a name print none.
  void NameFile(int32_t file, const std::string& path) { file_names_[file] = path; }

  // The prefix of a level; Plain has none.
  std::string LevelName(MessageLevel level) const;
  void SetLevelName(MessageLevel level, const std::string& name);

  bool ErrorFlag() const { return error_; }
  bool FatalFlag() const { return fatal_; }
  void SetEcho(bool on) { echo_ = on; }
  void SetKeepThreshold(MessageLevel level) { keep_threshold_ = level; }
  void SetConsoleThreshold(MessageLevel level) { console_threshold_ = level; }
  void SetFormat(MessageFormat format) { format_ = format; }
  // Quiet: only warnings and worse are printed, whatever else is asked for.
  void SetQuiet(bool quiet) { quiet_ = quiet; }

  // Whether a report at `level` would be kept or shown: callers skip
  // building texts nobody sees.
  bool Wants(MessageLevel level) const {
    return level >= keep_threshold_ || (echo_ && level >= console_threshold_);
  }

  // Past this many errors a run goes on counting but stops reporting them:
  // a broken input of a million lines should not print a million lines.
  static constexpr size_t kReportedErrors = 100;
  size_t HiddenErrors() const { return hidden_errors_; }
  // One error line telling how many were not reported; nothing when none.
  void ReportHiddenErrors();

  const std::vector<MsgLogMsg>& Messages() const { return messages_; }
  size_t CountAt(MessageLevel level) const;
  // The console form of a message: the level's prefix, the position, the
  // text, then the places it was reached through.
  std::string LineOf(const MsgLogMsg& msg) const;
  // The text and the places it was reached through, without level or position.
  std::string TextOf(const MsgLogMsg& msg) const;

 private:
  bool Shows(const MsgLogMsg& msg) const;
  const std::string* PathOf(SourcePos pos) const;

  std::vector<MsgLogMsg> messages_;
  bool echo_ = false;
  bool quiet_ = false;
  bool error_ = false;
  bool fatal_ = false;
  size_t reported_errors_ = 0;
  size_t hidden_errors_ = 0;
  MessageLevel keep_threshold_ = MessageLevel::Plain;
  MessageLevel console_threshold_ = MessageLevel::Plain;
  MessageFormat format_ = MessageFormat::Standard;
  std::array<std::string, 5> level_names_;  // Plain to Fatal
  std::map<int32_t, std::string> file_names_;
};

}  // namespace vantrel
