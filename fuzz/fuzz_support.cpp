#include "fuzz_support.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/entry.h"

namespace vantrel::fuzz {

namespace {

std::string MakeScratch() {
  std::error_code ec;
  const std::string base = std::filesystem::is_directory("/dev/shm", ec) ? "/dev/shm" : P_tmpdir;
  std::string path = base + "/vantrel-fuzz-XXXXXX";
  if (mkdtemp(path.data()) == nullptr) std::abort();
  return path;
}

void RemoveScratch() {
  std::error_code ec;
  std::filesystem::remove_all(Scratch(), ec);
}

// Every message and console output goes to stdout; printing them would cost
// more than the run. VANTREL_FUZZ_STDOUT=1 keeps them for a reproduction.
void SilenceStdout() {
  if (std::getenv("VANTREL_FUZZ_STDOUT") != nullptr) return;
  const int fd = open("/dev/null", O_WRONLY);
  if (fd < 0 || dup2(fd, STDOUT_FILENO) < 0) std::abort();
  close(fd);
}

}  // namespace

const std::string& Scratch() {
  static const std::string dir = [] {
    std::string path = MakeScratch();
    SilenceStdout();
    return path;
  }();
  static const bool cleanup = std::atexit(RemoveScratch) == 0;
  (void)cleanup;
  return dir;
}

InScratch::InScratch() : previous_(open(".", O_RDONLY | O_DIRECTORY)) {
  if (previous_ < 0 || chdir(Scratch().c_str()) != 0) std::abort();
}

InScratch::~InScratch() {
  if (fchdir(previous_) != 0) std::abort();
  close(previous_);
}

void WriteInput(const std::string& name, std::string_view bytes) {
  InScratch here;
  std::ofstream out(name, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) std::abort();
}

std::string ReadBack(const std::string& name) {
  InScratch here;
  std::ifstream in(name, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

int Run(const std::vector<std::string>& args) {
  InScratch here;
  std::vector<std::string> words = {"vantrel"};
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);
  return Entry(static_cast<int>(words.size()), argv.data());
}

void RemoveAllBut(const std::vector<std::string>& keep) {
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(Scratch(), ec)) {
    const std::string name = entry.path().filename().string();
    if (std::find(keep.begin(), keep.end(), name) == keep.end()) std::filesystem::remove_all(entry.path(), ec);
  }
}

}  // namespace vantrel::fuzz
