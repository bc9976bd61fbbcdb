#include "source/source_loader.h"

#include <algorithm>
#include <ctime>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "text/input_file.h"
#include "text/quote_scanner.h"
#include "text/text_ops.h"

namespace vantrel {

namespace {
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
// The lines of a run stay in memory, at up to a few hundred times their
// size for dense ones; no C64 program needs more source than this.
constexpr uintmax_t kMaxSourceBytes = uintmax_t{32} << 20;
constexpr uint32_t kMaxSourceLines = 2'000'000;

// The program never sets a locale, so strftime's month names are the "C"
// locale's English ones whatever the host is set to.
std::string FormatLocalTime(std::time_t time, const char* format) {
  std::tm parts{};
  localtime_r(&time, &parts);
  char text[64];
  return std::string(text, std::strftime(text, sizeof text, format, &parts));
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// Include names are written quoted ("my file.txt") and with DOS separators
// (lib\x.txt) as often as plain.
std::string IncludePath(const std::string& name) {
  std::string path = StripPair(Trim(name), '"', '"');
  std::replace(path.begin(), path.end(), '\\', '/');
  return path;
}
}  // namespace

// One line's text for each list; a physical line may feed all three.
struct SourceLoader::Accumulators {
  std::string basic;
  std::string assembler;
  std::string macro;
};

SourceLoader::SourceLoader(SourceLoaderMsgLog& log, FileLocator& locator) : log_(log), locator_(locator) {
  // rand() may give more than 15 bits; masking keeps the id's 16-bit lanes
  // the same on every C library.
  for (int shift = 0; shift < 64; shift += 16)
    build_id_ |= static_cast<uint64_t>(std::rand() & 0x7FFF) << shift;
  start_time_ = std::time(nullptr);
}

bool SourceLoader::LoadSource(const std::string& name, SourceType kind) {
  // The main input is not named by any line, not even a preface's last one.
  const int32_t key_before = files_.Current().key;
  const bool loaded = LoadFileAs(name, false, kind, SourcePos{});
  // An open block whose branch was emitting is just as unclosed; the
  // message points past the last line of the file, if it was read.
  const SourceFileRecord& main = files_.Current();
  const SourcePos end = main.key != key_before ? SourcePos{main.key, main.line} : SourcePos{};
  if (!emit_ || !if_variable_.empty()) return log_.ReportError(end, "Missing an {endif} somewhere");
  return loaded && !log_.FatalFlag();
}

bool SourceLoader::LoadFile(const std::string& name, bool uses, SourcePos at) {
  return LoadFileAs(IncludePath(name), uses, SourceType::None, at);
}

bool SourceLoader::LoadFileAs(const std::string& name, bool uses, SourceType forced_kind, SourcePos at) {
  const HiPath found = IsStandardInput(name) ? HiPath(name) : locator_.Find(HiPath(name));
  if (found.Empty()) log_.ReportError(at, FileNotFoundText(name));
  if (!InputExists(found.Text())) return log_.ReportError(FileNotFoundText(found.Text()));
  if (!IsStandardInput(found.Text())) locator_.AddDirectory(HiPath(found.Directory()));
  const SourceType kind = forced_kind != SourceType::None ? forced_kind : KindOfPath(found);
  if (!ModeAccepts(mode_, kind)) return log_.ReportError("Can't include this file type here: " + found.Text());
  log_.ReportInfo(at, "Loading " + found.Text());
  // An include inside an {asm} block or a macro must not end it.
  const SourceType mode_before = mode_;
  if (!PushFile(found, kind, uses, at)) return true;
  mode_ = kind;
  const bool read = ReadFileByKind(found, kind, at);
  files_.Pop();
  mode_ = mode_before;
  if (!read) return log_.ReportError("Error including file: " + found.Text());
  return true;
}

bool SourceLoader::PushFile(const HiPath& path, SourceType kind, bool uses, SourcePos at) {
  switch (files_.Push(path, kind, uses)) {
    case PushResult::Pushed:
      log_.NameFile(files_.Current().key, path.Text());
      return true;
    case PushResult::AlreadyUsed: return false;
    case PushResult::TooDeep:
      return log_.ReportError(
          at, "I know you love me but you're in too deep.  {include} nesting maximum depth reached.");
    case PushResult::Circular:
      return log_.ReportError(
          at, "You have been cursed by a recurse. Circular {include} referencing not allowed.");
  }
  return false;
}

bool SourceLoader::ReadFileByKind(const HiPath& path, SourceType kind, SourcePos at) {
  switch (kind) {
    case SourceType::Hex: return log_.ReportError(at, "Hex files not supported: " + path.Text());
    case SourceType::Bin: return log_.ReportError(at, "Bin files not supported: " + path.Text());
    default: return ReadTextFile(path, at);
  }
}

bool SourceLoader::TooMuchSource(const HiPath& path, SourcePos at) {
  return log_.ReportFatal(at, "Too much source text: " + path.Text() + " takes the run past " +
               std::to_string(kMaxSourceBytes >> 20) + " MiB or " + std::to_string(kMaxSourceLines) + " lines");
}

// False when the file could not be opened or a Fatal ended the reading.
bool SourceLoader::ReadTextFile(const HiPath& path, SourcePos at) {
  std::string content;
  switch (ReadInputFile(path.Text(), kMaxSourceBytes - source_bytes_, content)) {
    case ReadStatus::Ok: break;
    case ReadStatus::TooLarge: return TooMuchSource(path, at);
    default: return false;
  }
  source_bytes_ += content.size();
  // The lines are views into the file's text, kept as read.
  const std::string& file = texts_.emplace_back(std::move(content));
  // Map nodes never move, so this stays this file's record while nested
  // includes come and go.
  SourceFileRecord& record = files_.Current();
  std::string_view rest(file);
  if (rest.starts_with(kUtf8Bom)) rest.remove_prefix(kUtf8Bom.size());  // some editors write one
  // Lines end in LF or CR LF; a file without any LF (a PETSCII SEQ export,
  // an old Mac text) ends them in CR. A lone CR inside an LF line stays in it.
  const char eol = rest.find('\n') == std::string_view::npos && rest.find('\r') != std::string_view::npos ? '\r' : '\n';
  while (!rest.empty() && !log_.FatalFlag()) {
    ++record.line;
    const size_t end = rest.find(eol);
    std::string_view text = rest.substr(0, end);
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
    if (text.empty()) continue;
    const SourcePos pos{record.key, record.line};
    if (++source_lines_ > kMaxSourceLines) return TooMuchSource(path, pos);
    ProcessLine(SourceLine(text, pos));
  }
  // The count goes on to the empty line after a final line break, which is
  // where a message about the end of the file points.
  if (!log_.FatalFlag() && (file.empty() || file.back() == eol)) ++record.line;
  return !log_.FatalFlag();
}

void SourceLoader::ProcessLine(SourceLine&& line) {
  if (log_.Wants(MessageLevel::Plain)) log_.ReportAt(MessageLevel::Plain, SourcePos{}, std::string(line));
  // Most lines hold no brace token: they go to their list as they are.
  if (line.find('{') == std::string::npos) {
    if (!emit_) return;
    switch (mode_) {
      case SourceType::Basic: basic_lines_.push_back(std::move(line)); break;
      case SourceType::Asm: asm_lines_.push_back(std::move(line)); break;
      case SourceType::Macro: macro_.body.push_back(std::move(line)); break;
      default: break;
    }
    return;
  }
  Accumulators acc;
  size_t pos = 0;
  size_t first = 0;
  size_t last = 0;
  BraceSearch found;
  QuoteScanner quotes("\"'");  // quotes outside brace tokens
  while ((found = FindBraceToken(line, pos, first, last)) == BraceSearch::Found) {
    const std::string_view before = std::string_view(line).substr(pos, first - pos);
    for (char c : before) quotes.Outside(c);
    Append(acc, before);
    token_in_quotes_ = quotes.InQuotes();
    const std::string token(line.substr(first, last - first + 1));
    std::string replacement;
    if (ProcessBraceToken(line, token, replacement)) Append(acc, replacement);
    else log_.ReportError(line.pos, "Unhandled directive " + token);
    pos = last + 1;
  }
  if (found == BraceSearch::Unclosed && emit_)
    log_.ReportWarning(line.pos, "Unterminated brace token: " + std::string(line.substr(first)));
  if (pos < line.size()) Append(acc, std::string_view(line).substr(pos));
  Flush(acc, line.pos);
}

void SourceLoader::Append(Accumulators& acc, std::string_view text) {
  if (!emit_) return;
  switch (mode_) {
    case SourceType::Basic: acc.basic += text; break;
    case SourceType::Asm: acc.assembler += text; break;
    case SourceType::Macro: acc.macro += text; break;
    default: break;
  }
}

void SourceLoader::Flush(Accumulators& acc, SourcePos at) {
  if (!acc.basic.empty()) basic_lines_.emplace_back(rewritten_.Keep(acc.basic), at);
  if (!acc.assembler.empty()) asm_lines_.emplace_back(rewritten_.Keep(acc.assembler), at);
  if (!acc.macro.empty()) macro_.body.emplace_back(rewritten_.Keep(acc.macro), at);
}

void SourceLoader::DefinePredefined() {
  DefineVariable("__BuildDate", Quoted(FormatLocalTime(start_time_, "%Y-%b-%d")));
  DefineVariable("__BuildTime", Quoted(FormatLocalTime(start_time_, "%H:%M:%S")));
  DefineVariable("__BuildRid64", Quoted(Hex(build_id_, 16)));
  DefineVariable("__BuildRid32", Quoted(Hex(build_id_ & 0xFFFFFFFFu, 8)));
}

void SourceLoader::DefineVariable(const std::string& text, SourcePos at) {
  if (text.empty()) return;
  const size_t eq = text.find('=');
  const std::string name = Trim(std::string_view(text).substr(0, eq));
  const std::string value = eq == std::string::npos ? std::string() : Trim(std::string_view(text).substr(eq + 1));
  Define(name, value, name, at);
}

void SourceLoader::DefineVariable(const std::string& name, const std::string& value, SourcePos at) {
  Define(name, value, name + "=" + value, at);
}

void SourceLoader::Define(const std::string& name, const std::string& value, const std::string& shown, SourcePos at) {
  if (!variables_.Define(name, value)) {
    log_.ReportError(at, "Parser Variable " + name + " already defined");
    return;
  }
  log_.ReportInfo(at, "Defining Parser Variable " + shown);
}

void SourceLoader::UndefineVariable(const std::string& name, SourcePos at) {
  if (name.empty() || !variables_.Undefine(name)) return;
  log_.ReportInfo(at, "Undefining Parser Variable " + name);
}

bool SourceLoader::IsDefined(const std::string& name) const { return variables_.IsDefined(name); }
std::string SourceLoader::VariableValue(const std::string& name) const { return variables_.Value(name); }

void SourceLoader::LoadBuildRevision(const std::string& name, SourcePos at) {
  if (revision_.Loaded()) {
    log_.ReportError(at, "Build revision tracker file already loaded");
    return;
  }
  if (name.empty()) {
    log_.ReportError(at, "Need Build revision tracker file name");
    return;
  }
  const HiPath found = locator_.Find(HiPath(name));
  if (found.Empty()) {
    log_.ReportError(at, FileNotFoundText(name));
    return;
  }
  if (!revision_.Load(found)) {
    log_.ReportError(at, "Invalid build revision tracker file");
    return;
  }
  DefineVariable("__BuildRev", std::to_string(static_cast<uint64_t>(revision_.Revision())), at);
}

void SourceLoader::UpdateBuildRevision(OutputSet& out) {
  // A Fatal fails the run as an Error does, so the revision is reused.
  if (log_.ErrorFlag() || log_.FatalFlag()) {
    if (revision_.Loaded()) log_.ReportError("Due to build errors, Build revision tracker was not updated");
    return;
  }
  if (!revision_.Loaded()) return;
  const std::string path = revision_.Path().Text();
  const std::string failure = "Failed to update Build revision tracker " + path;
  out.Add(log_, path, revision_.NextText(), {failure, failure}, true);
}

void SourceLoader::Summary(const std::string& program_name) {
  const size_t errors = log_.CountAt(MessageLevel::Error) + log_.HiddenErrors();
  log_.ReportHiddenErrors();
  const std::string tally =
      std::to_string(errors) + " Errors; " + std::to_string(log_.CountAt(MessageLevel::Warning)) + " Warnings";
  const std::string rule = Repeat('=', tally.size());
  // A Fatal fails the run too (exit status 1), so the last line must not say it finished.
  const bool failed = errors > 0 || log_.FatalFlag();
  log_.SetConsoleThreshold(MessageLevel::Plain);
  log_.ReportInfo(rule);
  log_.ReportInfo(tally);
  log_.ReportInfo(rule);
  log_.ReportInfo(program_name + (failed ? " failed." : " finished"));
}

}  // namespace vantrel
