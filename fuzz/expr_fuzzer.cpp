// Assembler expressions: the text as an equate, an instruction operand and
// data in a small program with labels, locals and a relocatable equate, and
// the whole input, line breaks and all, evaluated on that program's last line.
#include <string>
#include <string_view>

#include "asm/asm_prg.h"
#include "asm/expr.h"
#include "fuzz_support.h"
#include "image/memory_image.h"
#include "petscii/petscii_codes.h"
#include "source/source_loader.h"

namespace {

using namespace vantrel;

struct Assembly {
  Assembly() { log.SetEcho(false); }
  SourceLoaderMsgLog log;
  FileLocator locator;
  SourceLoader loader{log, locator};
  PetsciiCodes codes{log};
  MemoryImage memory;
  AsmPrg prg{locator, loader, Opcodes(), memory, codes};
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::string e(text.substr(0, text.find_first_of("\r\n")));
  const std::string source = " orig $c000\nstart: nop\n@loop: dex\n^rel = start+2\nv = " + e + "\n lda " + e +
                             "\n word " + e + "\n byte <(" + e + "),>(" + e + ")\n@loop: rts\nlast: nop\n";
  const std::string path = fuzz::Scratch() + "/in.asm";
  fuzz::WriteInput(path, source);
  Assembly a;
  if (a.loader.LoadSource(path, SourceType::Asm)) a.prg.AssembleProgram();
  if (a.prg.Lines().empty()) return 0;
  ExprList list;
  if (list.PrepareExpression(a.prg, text)) list.EvaluateExpression(a.prg, *a.prg.Lines().back());
  return 0;
}
