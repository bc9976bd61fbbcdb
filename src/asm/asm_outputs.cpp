// The files written from the assembler's state: the disassembly listing,
// the symbol table and the relocation table.
#include <algorithm>

#include "asm/asm_prg.h"
#include "asm/disassembler.h"
#include "asm/pseudo_ops.h"
#include "asm/source_listing.h"
#include "asm/vice_labels.h"
#include "text/text_ops.h"

namespace vantrel {

namespace {

// The options of the last asmfmt line; null when there is none.
const PseudoOp::ListingOptions* LastListingOptions(const std::vector<std::unique_ptr<AsmInstr>>& lines) {
  for (auto it = lines.rbegin(); it != lines.rend(); ++it) {
    if (!(*it)->IsPseudoOp()) continue;
    if (const auto* options = static_cast<const PseudoOp&>(**it).Listing()) return options;
  }
  return nullptr;
}

// Stages a text output; `open_failure` names what could not be written.
bool SaveAsmText(MsgLog& log, OutputSet& out, const std::string& path, std::string text,
                 const std::string& open_failure) {
  return out.Add(log, path, std::move(text), {open_failure + path, "Error writing " + path});
}

bool ReportNoSymbols(MsgLog& log) { return log.ReportInfo("No symbols to save"); }

bool IsConsole(const std::string& path) { return PlaceOf(path) == OutputPlace::Console; }

}  // namespace

bool AsmPrg::ExportDisassembly(OutputSet& out, const std::string& path, const AddressRange& range) {
  MsgLog& log = loader_.Log();
  AsmFmt fmt = listing_;
  if (const PseudoOp::ListingOptions* options = LastListingOptions(lines_)) {
    if (!options->valid) return log.ReportError("Invalid AsmFmt specified");
    fmt = options->fmt;
  }
  const AsmPass pass = pass_;
  pass_ = AsmPass::Disassemble;
  std::vector<std::unique_ptr<AsmInstr>> listing;
  const bool ok = Disassemble(opcodes_, memory_, range, fmt, symbols_, texts_, listing);
  pass_ = pass;
  if (!ok) return log.ReportError("Error disassembling program");
  if (listing.empty()) return true;
  std::string text;
  for (const auto& line : listing) {
    const std::string t = line->ToText(fmt);
    if (!t.empty()) text += t + "\n";
  }
  log.ReportInfo(IsConsole(path) ? "==> Exporting Disassembly" : "Saving asm file: " + path);
  return SaveAsmText(log, out, path, std::move(text), "Could not open asm file: ");
}

bool AsmPrg::SaveSourceListing(OutputSet& out, const std::string& path) {
  MsgLog& log = loader_.Log();
  log.ReportInfo(IsConsole(path) ? "==> Exporting listing" : "Saving listing file: " + path);
  return SaveAsmText(log, out, path, SourceListing(*this), "Could not open listing file: ");
}

bool AsmPrg::SaveSymbols(OutputSet& out, const std::string& path, SymbolLevel level, bool sym3) {
  MsgLog& log = loader_.Log();
  const SymbolLevel effective = symbols_.EffectiveLevel(level);
  const std::vector<const AsmSymbol*> shown = symbols_.AtLevel(effective);
  if (shown.empty()) return ReportNoSymbols(log);
  if (IsConsole(path)) {
    log.ReportInfo("==> Exporting symbol table");
    return SaveAsmText(log, out, path, symbols_.DumpSymbols(level), "");
  }
  log.ReportInfo("Saving sym file: " + path);
  size_t width = 0;
  for (const AsmSymbol* s : shown) width = std::max(width, s->name.size());
  std::string text;
  // Wrapped, the file is an assembly block a BASIC source can include.
  if (sym3) text += "{asm}\n";
  for (const AsmSymbol* s : shown) {
    // A local label is found by searching from a line, never by name, and
    // "@l@0" is no name a source may define: the block keeps it as a comment.
    if (sym3 && s->level == SymbolLevel::Local) text += "; ";
    text += SymbolTable::SymbolLine(*s, width, false) + "\n";
  }
  if (sym3) text += "{endasm}\n";
  return SaveAsmText(log, out, path, std::move(text), "Could not open sym file for saving: ");
}

bool AsmPrg::SaveViceLabels(OutputSet& out, const std::string& path, const std::vector<AddressName>& extra) {
  std::string text = ViceLabelText(*this, extra);
  if (text.empty()) return ReportNoSymbols(loader_.Log());
  loader_.Log().ReportInfo("Saving VICE label file: " + path);
  return SaveAsmText(loader_.Log(), out, path, std::move(text), "Could not open VICE label file: ");
}

bool AsmPrg::SaveRelocationTable(OutputSet& out, const std::string& path) {
  StartPass(AsmPass::Relocate);
  RelocContext context;
  std::vector<RelocEntry> entries;
  context.entries = &entries;
  context.program = this;
  bool any = false;
  // The program is its bytes: lines before the first origin place none.
  for (const auto& line : lines_) {
    if (!line->address.known || line->Size() == 0) continue;
    context.start = any ? std::min<uint32_t>(context.start, line->address.value) : line->address.value;
    any = true;
  }
  for (const auto& line : lines_) line->Relocate(context);
  loader_.Log().ReportInfo("Saving relocation table file: " + path);
  std::string text;
  for (const RelocEntry& e : entries) {
    text += e.value.Format(true) + "\t" + e.location.Format(true) + "\t";
    text += RelocKindText(e.kind);
    text += "\n";
  }
  const bool saved = SaveAsmText(loader_.Log(), out, path, std::move(text), "Could not open relocation file: ");
  DumpProgram();
  pass_ = AsmPass::Done;
  return saved;
}

}  // namespace vantrel
