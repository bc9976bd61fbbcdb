#include "test_support.h"

#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace vantrel::test {

ScratchDir::ScratchDir() {
  std::string tmpl = (std::filesystem::temp_directory_path() / "vantrel-test-XXXXXX").string();
  if (mkdtemp(tmpl.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = tmpl;
}

ScratchDir::~ScratchDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteFile(const std::string& path, const std::string& content) {
  std::ofstream out(path, std::ios::binary);
  out << content;
}

namespace {
std::string ShellQuote(const std::string& s) {
  std::string out(1, '\'');
  for (char c : s) {
    if (c == '\'') out += "'\\''";
    else out += c;
  }
  return out + "'";
}
}  // namespace

RunResult RunShell(const std::string& command) {
  RunResult r;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return r;
  std::array<char, 4096> buf{};
  for (size_t n; (n = fread(buf.data(), 1, buf.size(), pipe)) > 0;) r.output.append(buf.data(), n);
  const int status = pclose(pipe);
  r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return r;
}

RunResult RunVantrel(const std::string& dir, const std::vector<std::string>& args, const std::string& redirect,
                     size_t address_space_kb) {
  std::string cmd = "cd ";
  (cmd += ShellQuote(dir)) += " && ";
  if (address_space_kb != 0) cmd += "ulimit -v " + std::to_string(address_space_kb) + " && ";
  // A sanitizer build ends with status 1 on a finding, which a case would
  // take for a reported error; an abort cannot be mistaken.
  cmd += "ASAN_OPTIONS=\"$ASAN_OPTIONS:abort_on_error=1\" UBSAN_OPTIONS=\"$UBSAN_OPTIONS:abort_on_error=1\" ";
  cmd += ShellQuote(VANTREL_BINARY);
  for (const std::string& a : args) (cmd += ' ') += ShellQuote(a);
  return RunShell(cmd + " 2>&1 </dev/null " + redirect);
}

std::string BasicProgramFile(uint16_t load_address, const std::vector<BasicLineBytes>& lines) {
  std::string out;
  auto word = [&out](unsigned w) { (out += static_cast<char>(w & 0xFF)) += static_cast<char>((w >> 8) & 0xFF); };
  word(load_address);
  unsigned address = load_address;
  for (const BasicLineBytes& line : lines) {
    address += 2 + 2 + static_cast<unsigned>(line.body.size()) + 1;
    word(address);
    word(line.number);
    (out += line.body) += '\0';
  }
  word(0);
  return out;
}

std::string CorpusPath(const std::string& relative) { return std::string(VANTREL_CORPUS) + "/" + relative; }

}  // namespace vantrel::test
