// The {asm} blocks of a BASIC source are assembled right behind the BASIC
// program; {sym:name} then writes a label's address into the BASIC text,
// as in SYS {sym:start}.
#include <cstdio>

#include "basic/bas_program.h"
#include "text/text_ops.h"

namespace vantrel {

bool BasProgram::AssembleInlineBlocks() {
  if (loader_.AssemblerLines().empty()) return true;
  const bool has_code = HasStatements();
  assembler_.SetOrigin(has_code ? static_cast<uint16_t>(inline_asm_origin_) : 0x0100);
  assembler_.SetEmbedded(has_code);
  return assembler_.AssembleProgram();
}

void BasProgram::PatchSymbolReferences() {
  for (auto& line : lines_) {
    for (BasElement& e : line->elements) {
      if (e.kind != BasElementKind::SymbolRef) continue;
      const AsmSymbol* symbol = assembler_.Symbols().FindSymbol(LowerCopy(e.text));
      if (symbol == nullptr || !symbol->value.known) {
        log_.ReportError(line->pos, "Could not resolve symbol " + e.text);
        continue;
      }
      if (e.value == 0) {
        log_.ReportError(line->pos, "Invalid symbol reference " + e.text);
        continue;
      }
      // Five characters always hold a 16-bit number; blanks pad it on the left.
      char digits[6];
      std::snprintf(digits, sizeof digits, "%5u", static_cast<unsigned>(symbol->value.value));
      for (int i = 0; i < 5; ++i) memory_.Write(static_cast<uint16_t>(e.value + i), static_cast<uint8_t>(digits[i]));
      e.kind = BasElementKind::Digits;
      e.text = digits;
    }
  }
}

}  // namespace vantrel
