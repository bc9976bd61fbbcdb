#include "log/msg_log.h"

#include <cstdio>

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

bool MsgLog::Shows(const MsgLogMsg& msg) const {
  if (!echo_) return false;
  if (quiet_ && msg.level < MessageLevel::Warning) return false;
  return msg.force || msg.level >= console_threshold_;
}

void MsgLog::ReportAt(MessageLevel level, SourcePos pos, const std::string& text, bool force) {
  Report(MsgLogMsg{level, pos, text, force});
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

std::string MsgLog::LineOf(const MsgLogMsg& msg) const {
  const std::string* path = PathOf(msg.pos);
  const std::string number = std::to_string(msg.pos.line);
  if (path != nullptr && format_ == MessageFormat::Gnu && msg.level >= MessageLevel::Warning)
    return *path + ':' + number + GnuKind(msg.level) + msg.text;
  std::string line = LevelName(msg.level);
  if (path != nullptr) line += "[" + *path + " (" + number + ")] ";
  return line + msg.text;
}

}  // namespace vantrel
