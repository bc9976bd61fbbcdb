// fuzz/fuzz_support.h: what the fuzz drivers share: a scratch directory on
// tmpfs to work in, standard output sent to /dev/null, and whole converter
// runs in-process.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vantrel::fuzz {

// Made on first use.
const std::string& Scratch();

// Works in the scratch directory while it lives. libFuzzer reads its corpus
// by relative paths between runs, so the old directory must come back.
class InScratch {
 public:
  InScratch();
  ~InScratch();
  InScratch(const InScratch&) = delete;
  InScratch& operator=(const InScratch&) = delete;

 private:
  int previous_;
};

// Names are relative to the scratch directory.
void WriteInput(const std::string& name, std::string_view bytes);
inline void WriteInput(const std::string& name, const uint8_t* data, size_t size) {
  WriteInput(name, std::string_view(reinterpret_cast<const char*>(data), size));
}
std::string ReadBack(const std::string& name);

// One run of the program as from the command line (without argv[0]); the
// exit status.
int Run(const std::vector<std::string>& args);

// Removes every entry of the scratch directory not named in `keep`.
void RemoveAllBut(const std::vector<std::string>& keep);

}  // namespace vantrel::fuzz
