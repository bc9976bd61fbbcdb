#include "asm/vice_labels.h"

#include <cctype>

#include "asm/asm_prg.h"
#include "asm/pseudo_ops.h"
#include "text/text_ops.h"

namespace vantrel {

namespace {

// VICE takes letters, digits and "_" in a label after its leading dot.
std::string ViceName(std::string_view name) {
  std::string out(1, '.');
  for (char c : name) out += (std::isalnum(static_cast<unsigned char>(c)) || c == '_') ? c : '_';
  return out;
}

std::string LabelLine(uint32_t address, std::string_view name) {
  return "al C:" + Hex(address, 4) + ' ' + ViceName(name) + '\n';
}

bool IsBreak(const AsmInstr& line) {
  return line.IsPseudoOp() && static_cast<const PseudoOp&>(line).GetMnemonic() == PseudoMnemonic::Break;
}

std::string SymbolLines(const AsmPrg& program) {
  std::string text;
  std::string scope;  // the last global label: local labels are named under it
  for (const auto& line : program.Lines()) {
    if (!line->IsLabel() && !line->IsEquates()) continue;
    const AsmSymbol* symbol = program.Symbols().FindSymbol(LowerCopy(line->GetName()));
    if (symbol == nullptr || !symbol->value.known) continue;
    std::string name(symbol->name);
    if (symbol->level == SymbolLevel::Local) {
      // "@loop@1" under "start" becomes ".start_loop_1".
      name = scope.empty() ? name.substr(1) : scope + "_" + name.substr(1);
    } else if (line->IsLabel()) {
      scope = name;
    } else if (symbol->value.size != Width::Word) {
      continue;  // a number, not an address
    }
    text += LabelLine(symbol->value.value, name);
  }
  return text;
}

}  // namespace

std::string ViceLabelText(const AsmPrg& program, const std::vector<AddressName>& extra) {
  std::string text;
  for (const AddressName& named : extra) text += LabelLine(named.address, named.name);
  text += SymbolLines(program);
  for (const auto& line : program.Lines())
    if (IsBreak(*line) && line->address.known) text += "break C:" + Hex(line->address.value, 4) + '\n';
  return text;
}

}  // namespace vantrel
