// BASIC text sources: the loader's directives, the tokenizer, labels and
// inline assembly, then every output a text run writes.
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using vantrel::fuzz::Run;
  vantrel::fuzz::WriteInput("in.txt", data, size);
  Run({"in.txt", "-prg", "-lbl", "-txt:back.txt", "-hex", "-lst", "-sym", "-labels", "-ovr"});
  Run({"in.txt", "-crunch", "-autospace", "-rem", "-bin", "-d64:out.d64::@:PROG", "-ovr"});
  return 0;
}
