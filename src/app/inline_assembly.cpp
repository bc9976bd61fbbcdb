// The {asm} blocks of a BASIC source are assembled right behind the BASIC
// program; {sym:name} then writes a label's address into the BASIC text,
// as in SYS {sym:start}. The converter owns both programs, so it runs this.
#include "app/converter.h"
#include "text/text_ops.h"

namespace vantrel {

bool Converter::PlaceBasicIntoMemory() {
  if (!basic_->WriteIntoMemory()) return false;
  if (!basic_->NotBasic()) {
    if (!AssembleInlineBlocks()) return false;
    basic_->PatchSymbolReferences([this](const std::string& name) -> std::optional<uint16_t> {
      const AsmSymbol* symbol = assembler_->Symbols().FindSymbol(LowerCopy(name));
      if (symbol == nullptr || !symbol->value.known) return std::nullopt;
      return static_cast<uint16_t>(symbol->value.value);
    });
    basic_->RestoreSavedCode();
  }
  return basic_->ExtractProgram();
}

bool Converter::AssembleInlineBlocks() {
  if (loader_->AssemblerLines().empty()) return true;
  const bool has_code = basic_->HasStatements();
  assembler_->SetOrigin(has_code ? basic_->EndAddress() : uint16_t{0x0100});
  assembler_->SetEmbedded(has_code);
  return assembler_->AssembleProgram();
}

// Code kept behind a loaded program goes into the text as an {asm} block.
std::string Converter::KeptCodeText() const {
  const ProgramFile* code = basic_->KeptCode();
  if (code == nullptr) return {};
  return CodeBlock(*opcodes_, code->Bytes(), code->load_address, basic_->Options().keepCode == KeepCode::Asm);
}

}  // namespace vantrel
