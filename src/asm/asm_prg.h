// asm/asm_prg.h: the assembler program: assembles the loader's assembler
// lines into the memory image and writes the symbol and relocation files.
#pragma once

#include <string>

#include "asm/symbol_level.h"
#include "image/memory_image.h"
#include "source/source_loader.h"
#include "text/file_locator.h"

namespace vantrel {

class AsmPrg {
 public:
  AsmPrg(FileLocator& locator, SourceLoader& loader, MemoryImage& memory);

  void SetDebug(bool on) { debug_ = on; }
  bool Assemble();
  bool SaveSymbols(const std::string& path, SymbolLevel level, bool sym3, bool overwrite);
  bool SaveRelocationTable(const std::string& path, bool overwrite);

 private:
  FileLocator& locator_;
  SourceLoader& loader_;
  MemoryImage& memory_;
  bool debug_ = false;
};

}  // namespace vantrel
