// The command line: the input's lines are the arguments of one run, in a
// directory holding a BASIC text, a program, an assembler source and a disk
// image. Arguments are kept inside that directory (no "/", "\" or ".."),
// and the files are put back before every run.
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_support.h"

namespace {

struct Seed {
  const char* name;
  std::string bytes;
};

// 10 PRINT"HI" at $0801.
const std::string kGamePrg = {1, 8, 0x0b, 8, 10, 0, '\x99', '"', 'H', 'I', '"', 0, 0, 0};

std::string DiskWithGame() {
  vantrel::fuzz::WriteInput("game.prg", kGamePrg);
  vantrel::fuzz::Run({"game.prg", "-d64:disk.d64::GAME"});
  return vantrel::fuzz::ReadBack("disk.d64");
}

const std::vector<Seed>& Seeds() {
  static const std::vector<Seed> seeds = {
      {"game.txt", "10 print \"hi\"\n20 goto 10\n{asm}\n lda #1\n{endasm}\n"},
      {"game.prg", kGamePrg},
      {"demo.asm", " orig $c000\nstart: lda #<start\n rts\n"},
      {"defs.txt", "{def:x}\n"},
      {"disk.d64", DiskWithGame()},
  };
  return seeds;
}

bool StaysInside(std::string_view arg) {
  return arg.find_first_of("/\\") == std::string_view::npos && arg.find("..") == std::string_view::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::string> args;
  std::string_view text(reinterpret_cast<const char*>(data), size);
  while (!text.empty() && args.size() < 32) {
    const size_t cut = text.find('\n');
    args.emplace_back(text.substr(0, cut));
    if (!StaysInside(args.back())) return -1;  // not added to the corpus
    text.remove_prefix(cut == std::string_view::npos ? text.size() : cut + 1);
  }
  std::vector<std::string> keep;
  for (const Seed& seed : Seeds()) {
    vantrel::fuzz::WriteInput(seed.name, seed.bytes);
    keep.push_back(seed.name);
  }
  vantrel::fuzz::Run(args);
  vantrel::fuzz::RemoveAllBut(keep);
  return 0;
}
