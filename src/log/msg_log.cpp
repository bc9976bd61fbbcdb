#include "log/msg_log.h"

#include <cstdio>
#include <string>

namespace vantrel {

namespace {
size_t IndexOf(MessageLevel level) {
  return static_cast<size_t>(static_cast<int32_t>(level) - static_cast<int32_t>(MessageLevel::Plain));
}

const char* GnuKind(MessageLevel level) {
  switch (level) {
    case MessageLevel::Warning: return ": warning: ";
    case MessageLevel::Error: return ": error: ";
    default: return ": fatal error: ";
  }
}
}  // namespace

MsgLog::MsgLog() : level_names_{"", "Info: ", "Warning: ", "Error: ", "Fatal: "} {}

void MsgLog::Report(const MsgLogMsg& msg) {
  if (msg.level == MessageLevel::Error && reported_errors_++ >= kReportedErrors) {
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
  if (msg.level == MessageLevel::Error) error_ = true;
  else if (msg.level == MessageLevel::Fatal) fatal_ = true;
}

void MsgLog::ReportHiddenErrors() {
  if (hidden_errors_ == 0) return;
  // Kept out of the count: it reports errors, it is not one.
  const size_t hidden = hidden_errors_;
  const MsgLogMsg line{MessageLevel::Error, SourcePos{},
                       std::to_string(hidden) + (hidden == 1 ? " more error" : " more errors") + " not reported", true, {}};
  messages_.push_back(line);
  if (Shows(line)) std::fputs((LineOf(line) + "\n").c_str(), stderr);
}

bool MsgLog::Shows(const MsgLogMsg& msg) const {
  if (!echo_) return false;
  if (quiet_ && msg.level < MessageLevel::Warning) return false;
  return msg.force || msg.level >= console_threshold_;
}

void MsgLog::ReportAt(MessageLevel level, SourcePos pos, const std::string& text, bool force) {
  Report(MsgLogMsg{level, pos, text, force, {}});
}

bool MsgLog::ReportPlain(const std::string& text) {
  ReportAt(MessageLevel::Plain, SourcePos{}, text, true);
  return false;
}

bool MsgLog::ReportInfo(SourcePos pos, const std::string& text) {
  ReportAt(MessageLevel::Info, pos, text);
  return true;
}

bool MsgLog::ReportWarning(SourcePos pos, const std::string& text) {
  ReportAt(MessageLevel::Warning, pos, text);
  return true;
}

bool MsgLog::ReportError(SourcePos pos, const std::string& text) {
  ReportAt(MessageLevel::Error, pos, text);
  return false;
}

bool MsgLog::ReportFatal(SourcePos pos, const std::string& text) {
  ReportAt(MessageLevel::Fatal, pos, text);
  return false;
}

std::string MsgLog::LevelName(MessageLevel level) const { return level_names_[IndexOf(level)]; }

void MsgLog::SetLevelName(MessageLevel level, const std::string& name) {
  if (level > MessageLevel::Plain) level_names_[IndexOf(level)] = name;
}

size_t MsgLog::CountAt(MessageLevel level) const {
  size_t n = 0;
  for (const MsgLogMsg& m : messages_)
    if (m.level == level) ++n;
  return n;
}

const std::string* MsgLog::PathOf(SourcePos pos) const {
  auto it = file_names_.find(pos.file);
  return it == file_names_.end() || it->second.empty() ? nullptr : &it->second;
}

std::string MsgLog::TextOf(const MsgLogMsg& msg) const {
  std::string out;
  for (const MsgSite& site : msg.via) {
    const std::string* path = PathOf(site.pos);
    out += out.empty() ? " (" : ", ";
    out += site.what + " " + (path != nullptr ? *path : std::string("?")) + " (" + std::to_string(site.pos.line) + ")";
  }
  return out.empty() ? msg.text : msg.text + out + ")";
}

std::string MsgLog::LineOf(const MsgLogMsg& msg) const {
  const std::string* path = PathOf(msg.pos);
  const std::string number = std::to_string(msg.pos.line);
  const std::string text = TextOf(msg);
  if (path != nullptr && format_ == MessageFormat::Gnu && msg.level >= MessageLevel::Warning)
    return *path + ':' + number + GnuKind(msg.level) + text;
  std::string line = LevelName(msg.level);
  if (path != nullptr) line += "[" + *path + " (" + number + ")] ";
  return line + text;
}

}  // namespace vantrel
