// app/msg_log.h: the one channel for progress, warnings and errors. Two
// thresholds decide what is kept and what is shown; the sticky error and
// fatal flags are the gates every run checks between its steps.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

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

struct MsgLogMsg {
  int32_t level = static_cast<int32_t>(MessageLevel::Plain);
  std::string text;
  bool force = false;
};

class MsgLog {
 public:
  MsgLog();
  virtual ~MsgLog() = default;

  virtual void Report(const MsgLogMsg& msg);

  bool ReportPlain(const std::string& text);    // forced; returns false
  bool ReportInfo(const std::string& text);     // returns true
  bool ReportWarning(const std::string& text);  // returns true
  bool ReportError(const std::string& text);    // returns false
  bool ReportFatal(const std::string& text);    // returns false
  void ReportAt(int32_t level, const std::string& text, bool force = false);

  // The prefix of a level; levels of 6 and below cannot be renamed.
  std::string LevelName(int32_t level) const;
  void SetLevelName(int32_t level, const std::string& name);

  bool ErrorFlag() const { return error_; }
  bool FatalFlag() const { return fatal_; }
  bool Echo() const { return echo_; }
  void SetEcho(bool on) { echo_ = on; }
  int32_t KeepThreshold() const { return keep_threshold_; }
  int32_t ConsoleThreshold() const { return console_threshold_; }
  void SetKeepThreshold(int32_t level) { keep_threshold_ = level; }
  void SetConsoleThreshold(int32_t level) { console_threshold_ = level; }
  void SetFormat(MessageFormat format) { format_ = format; }
  // Quiet: only warnings and worse are printed, whatever else is asked for.
  void SetQuiet(bool quiet) { quiet_ = quiet; }
  bool Quiet() const { return quiet_; }

  // Whether a report at `level` would be kept or shown: callers skip
  // building texts nobody sees.
  bool Wants(int32_t level) const {
    return level >= keep_threshold_ || (echo_ && level >= console_threshold_);
  }

  // Past this many errors a run goes on counting but stops reporting them:
  // a broken input of a million lines should not print a million lines.
  static constexpr size_t kReportedErrors = 100;
  size_t HiddenErrors() const { return hidden_errors_; }
  // One error line telling how many were not reported; nothing when none.
  void ReportHiddenErrors();

  const std::vector<MsgLogMsg>& Messages() const { return messages_; }
  size_t CountAt(int32_t level) const;
  // The console form of a message: the level's prefix, then the text.
  std::string LineOf(const MsgLogMsg& msg) const;

 private:
  bool Shows(const MsgLogMsg& msg) const;

  std::vector<MsgLogMsg> messages_;
  bool echo_ = false;
  bool quiet_ = false;
  bool error_ = false;
  bool fatal_ = false;
  size_t reported_errors_ = 0;
  size_t hidden_errors_ = 0;
  int32_t keep_threshold_ = 0;
  int32_t console_threshold_ = 0;
  MessageFormat format_ = MessageFormat::Standard;
  std::map<int32_t, std::string> level_names_;
};

}  // namespace vantrel
