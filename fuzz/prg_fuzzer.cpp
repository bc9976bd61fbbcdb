// Program files to detokenize: whatever bytes a .prg holds, read as BASIC
// and written back as text, labelled text and a listing.
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using vantrel::fuzz::Run;
  vantrel::fuzz::WriteInput("in.prg", data, size);
  Run({"in.prg", "-txt", "-lbl", "-labels", "-lst", "-hex", "-ovr"});
  Run({"in.prg", "-txt", "-crunch", "-autospace", "-crsr", "-rem", "-supervariables", "-keycase:upper",
       "-varcase:lower", "-alpha:ascii", "-ovr"});
  Run({"in.prg", "-notbasic", "-lst", "-prg:copy.prg", "-ovr"});
  return 0;
}
