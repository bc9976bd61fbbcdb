#include "asm/asm_prg.h"

namespace vantrel {

AsmPrg::AsmPrg(FileLocator& locator, SourceLoader& loader, MemoryImage& memory)
    : locator_(locator), loader_(loader), memory_(memory) {}

bool AsmPrg::Assemble() { return loader_.Log().ReportError("Assembler input is not supported yet"); }

bool AsmPrg::SaveSymbols(const std::string&, SymbolLevel, bool, bool) {
  return loader_.Log().ReportError(".sym output is not supported yet");
}

bool AsmPrg::SaveRelocationTable(const std::string&, bool) {
  return loader_.Log().ReportError("Relocation table output is not supported yet");
}

}  // namespace vantrel
