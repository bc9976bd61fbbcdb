// Benchmarks for the BASIC paths: tokenizing a long generated source and
// detokenizing the result, in process, timed with a steady clock.
// Usage: vantrel_bench [lines] [rounds]   (a program must fit in 64 KiB)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "basic/bas_program.h"
#include "image/memory_image.h"
#include "petscii/petscii_codes.h"
#include "source/source_loader.h"

namespace {

using Clock = std::chrono::steady_clock;

std::string GenerateSource(int lines) {
  std::string text;
  for (int i = 0; i < lines; ++i) {
    const int n = 10 * (i + 1);
    text += std::to_string(n) + " PRINT \"{clear}{red}SCORE{white}\";S:FORI=1TO9:A$=MID$(B$,I,1):NEXT\n";
    if (i % 7 == 0) text += std::to_string(n + 5) + " IF A>B THEN GOSUB 10:REM CHECK\n";
  }
  return text;
}

double Seconds(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

}  // namespace

int main(int argc, char** argv) {
  using namespace vantrel;
  const int lines = argc > 1 ? std::atoi(argv[1]) : 700;
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 50;
  const auto dir = std::filesystem::temp_directory_path() / "vantrel-bench";
  std::filesystem::create_directories(dir);
  const std::string source = (dir / "bench.txt").string();
  std::ofstream(source) << GenerateSource(lines);

  bool ok = true;
  double tokenize = 0;
  double detokenize = 0;
  size_t size = 0;
  for (int round = 0; round < rounds && ok; ++round) {
    SourceLoaderMsgLog log;
    FileLocator locator;
    PetsciiCodes codes(log);
    MemoryImage memory;
    SourceLoader loader(log, locator);
    auto start = Clock::now();
    BasProgram program(loader, memory, codes);
    ok = loader.LoadSource(source, SourceType::Basic) && program.Tokenize() && program.WriteIntoMemory() &&
         program.ExtractProgram();
    tokenize += Seconds(start);
    ProgramFile file = program.Program();
    size = file.Size();

    start = Clock::now();
    MemoryImage memory2;
    BasProgram back(loader, memory2, codes);
    ok = ok && back.Detokenize(file) && back.WriteIntoMemory() && back.ExtractProgram();
    detokenize += Seconds(start);
  }
  std::printf("%d lines, %zu bytes, %d rounds, ok %d\n", lines, size, rounds, ok ? 1 : 0);
  std::printf("tokenize+write: %.2f ms/round\ndetokenize+rebuild: %.2f ms/round\n", 1000 * tokenize / rounds,
              1000 * detokenize / rounds);
  std::filesystem::remove_all(dir);
  return ok ? 0 : 1;
}
