#include "app/msg_log.h"

#include <cstdio>
#include <string>

namespace vantrel {

namespace {
constexpr int32_t kPlain = static_cast<int32_t>(MessageLevel::Plain);
constexpr int32_t kInfo = static_cast<int32_t>(MessageLevel::Info);
constexpr int32_t kWarning = static_cast<int32_t>(MessageLevel::Warning);
constexpr int32_t kError = static_cast<int32_t>(MessageLevel::Error);
constexpr int32_t kFatal = static_cast<int32_t>(MessageLevel::Fatal);

const char* NameOfLevel(int32_t level) {
  switch (level) {
    case 0:
    case 1: return "*";
    case 2: return "CkPoint";
    case 3: return "";
    case 4: return "Debug";
    case 5: return " | ";
    case 6: return "";
    case 7: return "Info";
    case 8: return "Warning";
    case 9: return "Error";
    case 10: return "Fatal";
    default: return "!!BAD!!";
  }
}
}  // namespace

MsgLog::MsgLog() {
  for (int32_t level = 4; level <= 10; ++level) level_names_[level] = std::string(NameOfLevel(level)) + ": ";
}

void MsgLog::Report(const MsgLogMsg& msg) {
  if (msg.level == kError && reported_errors_++ >= kReportedErrors) {
    ++hidden_errors_;
    error_ = true;
    return;
  }
  if (msg.force || msg.level >= keep_threshold_) messages_.push_back(msg);
  if (Shows(msg)) {
    std::string line = LineOf(msg);
    line += '\n';
    // Diagnostics go to standard error, so that standard output carries
    // only the data a user asked for.
    std::fwrite(line.data(), 1, line.size(), stderr);
  }
  if (msg.level == kError) error_ = true;
  else if (msg.level == kFatal) fatal_ = true;
}

void MsgLog::ReportHiddenErrors() {
  if (hidden_errors_ == 0) return;
  // Kept out of the count: it reports errors, it is not one.
  const size_t hidden = hidden_errors_;
  const MsgLogMsg line{kError, std::to_string(hidden) + (hidden == 1 ? " more error" : " more errors") +
                                   " not reported", true};
  messages_.push_back(line);
  if (Shows(line)) std::fputs((LineOf(line) + "\n").c_str(), stderr);
}

bool MsgLog::Shows(const MsgLogMsg& msg) const {
  if (!echo_) return false;
  if (quiet_ && msg.level < kWarning) return false;
  return msg.force || msg.level >= console_threshold_;
}

void MsgLog::ReportAt(int32_t level, const std::string& text, bool force) {
  Report(MsgLogMsg{level, text, force});
}

bool MsgLog::ReportPlain(const std::string& text) {
  ReportAt(kPlain, text, true);
  return false;
}

bool MsgLog::ReportInfo(const std::string& text) {
  ReportAt(kInfo, text);
  return true;
}

bool MsgLog::ReportWarning(const std::string& text) {
  ReportAt(kWarning, text);
  return true;
}

bool MsgLog::ReportError(const std::string& text) {
  ReportAt(kError, text);
  return false;
}

bool MsgLog::ReportFatal(const std::string& text) {
  ReportAt(kFatal, text);
  return false;
}

std::string MsgLog::LevelName(int32_t level) const {
  auto it = level_names_.find(level);
  return it == level_names_.end() ? std::string() : it->second;
}

void MsgLog::SetLevelName(int32_t level, const std::string& name) {
  if (level <= kPlain) return;
  level_names_[level] = name;
}

size_t MsgLog::CountAt(int32_t level) const {
  size_t n = 0;
  for (const MsgLogMsg& m : messages_)
    if (m.level == level) ++n;
  return n;
}

namespace {

// "[path (12)] text" as "path:12: error: text"; empty when the text does
// not start with a source position.
std::string GnuLine(const MsgLogMsg& msg) {
  const std::string& t = msg.text;
  const size_t close = t.find(")] ");
  if (t.empty() || t[0] != '[' || close == std::string::npos) return {};
  const size_t open = t.rfind(" (", close);
  if (open == std::string::npos || open == 0) return {};
  const std::string number = t.substr(open + 2, close - open - 2);
  if (number.empty() || number.find_first_not_of("0123456789") != std::string::npos) return {};
  std::string line = t.substr(1, open - 1);
  line += ':';
  line += number;
  line += msg.level == kWarning ? ": warning: " : msg.level == kError ? ": error: " : ": fatal error: ";
  line += t.substr(close + 3);
  return line;
}

}  // namespace

std::string MsgLog::LineOf(const MsgLogMsg& msg) const {
  if (msg.level < kInfo) return msg.text;
  if (format_ == MessageFormat::Gnu && msg.level >= kWarning && msg.level <= kFatal)
    if (std::string line = GnuLine(msg); !line.empty()) return line;
  return LevelName(msg.level) + msg.text;
}

}  // namespace vantrel
