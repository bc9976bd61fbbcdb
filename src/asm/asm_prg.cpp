#include "asm/asm_prg.h"

#include <algorithm>
#include <cstdio>
#include <unordered_map>

#include "asm/asm_line.h"
#include "asm/pseudo_ops.h"
#include "text/text_ops.h"

namespace vantrel {

std::string_view ToText(AsmPass pass) {
  switch (pass) {
    case AsmPass::Disassemble: return "Disassemble";
    case AsmPass::Build: return "Build";
    case AsmPass::Assemble: return "Assemble";
    case AsmPass::Link: return "Link";
    case AsmPass::Resolve: return "Resolve";
    case AsmPass::Relocate: return "Relocate";
    case AsmPass::Encode: return "Encode";
    case AsmPass::Imprint: return "Imprint";
    case AsmPass::Done: return "Done";
    default: return "!! ERROR IN AsmPass !!";
  }
}

std::string_view RelocKindText(RelocKind kind) {
  switch (kind) {
    case RelocKind::None: return "[0]";
    case RelocKind::Word: return "[w]";
    case RelocKind::Low: return "[l]";
    case RelocKind::High: return "[h]";
    case RelocKind::Unused: return "[x]";
    case RelocKind::NotRelocatable: return "[!]";
  }
  return "";
}

AsmPrg::AsmPrg(FileLocator& locator, SourceLoader& loader, const OpcodeTable& opcodes, MemoryImage& memory,
               PetsciiCodes& codes)
    : locator_(locator), loader_(loader), opcodes_(opcodes), memory_(memory), codes_(codes) {}

AsmPrg::~AsmPrg() = default;

void AsmPrg::AppendLine(std::unique_ptr<AsmInstr> line) {
  line->SetIndex(lines_.size());
  lines_.push_back(std::move(line));
}

void AsmPrg::Stall() const {
  if (!debug_stall_) return;
  std::fputs("stall\n", stderr);
}

void AsmPrg::StartPass(AsmPass pass) {
  pass_ = pass;
  debug_stall_ = false;
  loader_.Log().ReportInfo("Starting " + std::string(ToText(pass)) + " Pass");
}

// Every pass up to Resolve runs whatever the ones before it found, so that
// one run reports every independent error; bytes are made only without any.
bool AsmPrg::AssembleProgram() {
  holding_ = true;
  bool ok = BuildPass();
  ok = AssemblePass() && ok;
  ok = LinkPass() && ok;
  ResolvePass();
  ok = ok && held_errors_ == 0 && EncodePass() && ImprintPass();
  ReleaseMessages();
  pass_ = AsmPass::Done;
  return ok;
}

namespace {
SourcePos PosOf(const SourceLine* source) { return source == nullptr ? SourcePos{} : source->pos; }
}  // namespace

void AsmPrg::Report(const SourceLine* source, size_t order, MessageLevel level, std::string text) {
  MsgLogMsg msg{level, PosOf(source), std::move(text), false, macros_.CallSites(source)};
  if (!holding_) {
    loader_.Log().Report(msg);
    return;
  }
  if (level == MessageLevel::Error) ++held_errors_;
  held_.push_back({source, order, pass_, std::move(msg)});
}

bool AsmPrg::BuildError(const std::string& message) {
  Report(build_source_, build_order_, MessageLevel::Error, message);
  return false;
}

// A line's errors from a later pass than its first are what the first one
// left behind (an instruction with no opcode has no bytes to place): only
// the first pass that found fault with a line speaks for it.
void AsmPrg::ReleaseMessages() {
  holding_ = false;
  std::stable_sort(held_.begin(), held_.end(),
                   [](const HeldMessage& a, const HeldMessage& b) { return a.order < b.order; });
  std::unordered_map<const SourceLine*, AsmPass> first_error;
  for (const HeldMessage& m : held_)
    if (m.msg.level == MessageLevel::Error && m.source != nullptr) first_error.try_emplace(m.source, m.pass);
  for (const HeldMessage& m : held_) {
    auto first = first_error.find(m.source);
    if (m.msg.level == MessageLevel::Error && first != first_error.end() && m.pass > first->second) continue;
    loader_.Log().Report(m.msg);
  }
  held_.clear();
  held_errors_ = 0;
}

bool AsmPrg::BuildPass() {
  StartPass(AsmPass::Build);
  // At most one object or two per source line, and a symbol for some.
  const size_t count = loader_.AssemblerLines().size();
  lines_.reserve(lines_.size() + count);
  symbols_.Reserve(count / 2);
  bool ok = true;
  for (const SourceLine& source : loader_.AssemblerLines()) ok = BuildAsmLine(*this, source) && ok;
  DumpProgram();
  return ok;
}

void AsmPrg::AddBuiltLine(const SourceLine* source) {
  if (expanded_) built_.push_back(source);
  else ++plain_built_;
}

void AsmPrg::NoteExpansion() {
  if (expanded_) return;
  built_ = BuiltLines();
  expanded_ = true;
}

std::vector<const SourceLine*> AsmPrg::BuiltLines() const {
  if (expanded_) return built_;
  std::vector<const SourceLine*> lines;
  lines.reserve(plain_built_);
  for (size_t i = 0; i < plain_built_; ++i) lines.push_back(&loader_.AssemblerLines()[i]);
  return lines;
}

// An equate waiting for a later one is evaluated again right after it, so
// a chain written backwards resolves in one sweep, not one link per pass.
void AsmPrg::ResolveEquates() {
  std::vector<bool> visited(lines_.size());
  std::vector<AsmInstrEquates*> waiting;
  for (auto& line : lines_) {
    if (!line->IsEquates() || line->IsResolved() || visited[line->Index()]) continue;
    visited[line->Index()] = true;
    waiting.push_back(static_cast<AsmInstrEquates*>(line.get()));
    while (!waiting.empty()) {
      AsmInstrEquates* top = waiting.back();
      if (top->Evaluate(*this)) {
        waiting.pop_back();
        continue;
      }
      const AsmInstr* next = top->WaitsFor();
      if (next == nullptr || !next->IsEquates() || next->IsResolved() || visited[next->Index()]) {
        waiting.pop_back();
        continue;
      }
      visited[next->Index()] = true;
      waiting.push_back(static_cast<AsmInstrEquates*>(lines_[next->Index()].get()));
    }
  }
}

bool AsmPrg::AssemblePass() {
  StartPass(AsmPass::Assemble);
  ResolveEquates();
  bool ok = true;
  for (auto& line : lines_) ok = line->Assemble(*this) && ok;
  DumpProgram();
  return ok;
}

bool AsmPrg::LinkPass() {
  StartPass(AsmPass::Link);
  ProgramCounter pc{origin_.value, origin_.known};
  bool ok = true;
  bool wrapped = false;  // reported once, not again for every line after it
  for (auto& line : lines_) {
    const uint32_t at = pc.value;
    line->address = C6510Address::Known(static_cast<uint16_t>(at), Width::Word);
    // The last byte may be at $FFFF; nothing may start past it.
    bool linked = at <= 0xFFFF && line->Link(*this, pc);
    if (linked && pc.value > 0x10000u) linked = false;
    if (!linked) {
      ok = false;
      if (!(wrapped && at > 0xFFFF))
        ReportLineError(*this, line.get(), "Error assembling to address " + line->address.Format(true));
      wrapped = wrapped || pc.value >= 0x10000u;
    }
    if (pc.value > 0x10000u) pc.value = 0x10000u;
  }
  DumpProgram();
  return ok;
}

void AsmPrg::ResolvePass() {
  StartPass(AsmPass::Resolve);
  ResolveEquates();
  size_t previous = SIZE_MAX;
  // Values only ever become known, so the count falls until it stands still.
  for (;;) {
    size_t pending = symbols_.RefreshValues();
    for (auto& line : lines_)
      if (!line->IsResolved() && !line->Evaluate(*this)) ++pending;
    if (pending == 0 || pending == previous) break;
    previous = pending;
  }
  for (auto& line : lines_) line->Resolve(*this);
  for (const AsmSymbol* symbol : symbols_.Unknown()) ReportLineError(*this, symbol->line, "Could not resolve symbol");
  DumpProgram();
}

bool AsmPrg::EncodePass() {
  StartPass(AsmPass::Encode);
  bool ok = true;
  for (auto& line : lines_)
    if (!line->Encode(*this)) ok = ReportLineError(*this, line.get(), "Could not encode instruction");
  DumpProgram();
  return ok;
}

bool AsmPrg::ImprintPass() {
  StartPass(AsmPass::Imprint);
  bool ok = true;
  for (auto& line : lines_) ok = line->Imprint(*this, memory_) && ok;
  DumpProgram();
  return ok;
}

void AsmPrg::DumpProgram() const {
  if (!dump_) return;
  std::string out = "===============AsmPrg output=====================\n";
  for (const auto& line : lines_) {
    const std::string text = line->ToText(listing_);
    if (!text.empty()) out += text + "\n";
  }
  out += "\n\n";
  const std::vector<const AsmSymbol*> symbols = symbols_.AtLevel(SymbolLevel::Local);
  size_t width = 0;
  for (const AsmSymbol* s : symbols) width = std::max(width, s->name.size());
  for (const AsmSymbol* s : symbols) out += SymbolTable::SymbolLine(*s, width, false) + "\n";
  std::fwrite(out.data(), 1, out.size(), stderr);
}

}  // namespace vantrel
