// test_support.h: helpers the tests share: scratch directories, file
// reading and writing, and running the real binary.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "source/source_loader.h"

namespace vantrel::test {

// A fresh directory under the system temp dir, removed with the object.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  const std::string& Path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& content);
inline std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::string s = ReadFile(path);
  return {s.begin(), s.end()};
}
inline void WriteBytes(const std::string& path, const std::vector<uint8_t>& b) { WriteFile(path, {b.begin(), b.end()}); }
inline bool FileExists(const std::string& path) { return std::filesystem::exists(path); }

struct RunResult {
  int status = -1;
  std::string output;  // stdout and stderr together
};

// Runs a shell command; its standard output is captured.
RunResult RunShell(const std::string& command);

// Runs the vantrel binary in `dir` with the given arguments; `redirect`
// (">/dev/full", ">&-") is added to its shell command after stderr has been
// joined to the captured output. A nonzero `address_space_kb` caps the
// run's virtual memory (ulimit -v).
RunResult RunVantrel(const std::string& dir, const std::vector<std::string>& args, const std::string& redirect = "",
                     size_t address_space_kb = 0);

// Whether `output` holds `line` as a whole line.
inline bool HasLine(const std::string& output, const std::string& line) {
  return ("\n" + output).find("\n" + line + "\n") != std::string::npos;
}

// Whether a tool the tests compare against is installed.
inline bool HaveTool(const std::string& name) {
  return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0;
}

// A C64 BASIC program file as the C64 stores it: load address, then per
// line a link to the next line, the line number and the bytes ending in 0,
// then two zero bytes.
struct BasicLineBytes {
  uint16_t number;
  std::string body;
};
std::string BasicProgramFile(uint16_t load_address, const std::vector<BasicLineBytes>& lines);

// A loader for code that reports through one; its messages are kept, not echoed.
struct QuietLoader {
  QuietLoader() { log.SetEcho(false); }
  std::vector<std::string> Lines() const {  // as the console shows them
    std::vector<std::string> lines;
    for (const MsgLogMsg& m : log.Messages()) lines.push_back(log.LineOf(m));
    return lines;
  }
  SourceLoaderMsgLog log;
  FileLocator locator;
  SourceLoader loader{log, locator};
};

// Where corpus files live: real C64 programs copied into tests/data/corpus.
std::string CorpusPath(const std::string& relative);

}  // namespace vantrel::test
