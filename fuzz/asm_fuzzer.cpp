// Assembler sources: lines, pseudo-ops, symbols and passes, then the
// program, listing, symbol and relocation outputs.
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using vantrel::fuzz::Run;
  vantrel::fuzz::WriteInput("in.asm", data, size);
  Run({"in.asm", "-prg", "-lst", "-sym", "-rft", "-hex", "-ovr"});
  Run({"in.asm", "-bin", "-sym", "-sym3", "-symlvl:all", "-lst", "-range:$ff00-$ffff", "-ovr"});
  return 0;
}
