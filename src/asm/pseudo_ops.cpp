// The pseudo-op base with its argument rules, and the pseudo-ops that place
// no data: orig, addrcheck, align, area, asmfmt and debugstall.
#include "asm/pseudo_ops.h"

#include "asm/asm_line.h"
#include "asm/asm_prg.h"
#include "image/memory_image.h"
#include "text/text_ops.h"

namespace vantrel {

namespace {

constexpr std::string_view kPseudoWords[] = {
    "",     "orig", "addrcheck", "align", "area",  "hex",   "bin",   "bits",
    "byte", "word", "data",      "ascii", "embed", "asmfmt", "debugstall", "break",
};

std::string Dollar4(uint32_t value) { return C6510Address::Known(static_cast<uint16_t>(value)).FormatWord(true); }

// orig: moves the counter to a new, higher origin.
class PseudoOpOrig : public PseudoOp {
 public:
  using PseudoOp::PseudoOp;
  bool CheckArguments(AsmPrg& program) override { return ExactlyOne(program); }

  bool Link(AsmPrg& program, ProgramCounter& pc) override {
    Evaluate(program);
    if (!FirstResolved(program)) return false;
    const uint32_t value = args_.Symbolic(0)->Value();
    if (pc.known && value < pc.value) return ReportLineError(program, this, "Setting origin back is not allowed");
    // The first origin of a source moves the counter from its start value silently.
    if (pc.known && pc.value != 0x0100 && value - pc.value >= 257)
      ReportLineWarning(program, this, "Large change in origin");
    pc = {value, true};
    address = C6510Address::Known(static_cast<uint16_t>(value), Width::Word);
    return true;
  }

  bool Resolve(AsmPrg& program) override {
    const bool args = PseudoOp::Resolve(program);
    if (address.known && address.value < 0x0100)
      return ReportLineError(program, this, "origin is out of range: " + Dollar4(address.value));
    return args;
  }
};

// addrcheck: fails when the code before it ran past an address.
class PseudoOpAddrCheck : public PseudoOp {
 public:
  using PseudoOp::PseudoOp;
  bool CheckArguments(AsmPrg& program) override {
    return ExactlyOne(program) && ArgumentOfKind(program, 0, OperandKind::Symbolic);
  }

  bool Link(AsmPrg& program, ProgramCounter& pc) override {
    Evaluate(program);
    if (!FirstResolved(program)) return false;
    const uint32_t limit = args_.Symbolic(0)->Value();
    if (pc.known && pc.value > limit)
      ReportLineError(program, this, "Address Check error: " + Dollar4(pc.value) + " > " + Dollar4(limit));
    return true;
  }

  bool Resolve(AsmPrg& program) override {
    const bool args = PseudoOp::Resolve(program);
    if (!program.Embedded() && address.known && address.value < 0x0100)
      return ReportLineError(program, this, "address is out of range: " + Dollar4(address.value));
    return args;
  }
};

// align and area: move the counter and fill the space they skip.
class PseudoOpFill : public PseudoOp {
 public:
  PseudoOpFill(PseudoMnemonic p, const SourceLine* source, std::string operand)
      : PseudoOp(p, source, std::move(operand)) {}

  uint32_t Size() const override { return fill_length_; }

  bool CheckArguments(AsmPrg& program) override {
    if (args_.Size() == 1 || args_.Size() == 2) return true;
    return ReportLineError(program, this,
                           mnemonic_ == PseudoMnemonic::Align ? "Expecting one or two arguments: alignment [, fill]"
                                                              : "Expecting one or two arguments: area [, fill]");
  }

  bool Link(AsmPrg& program, ProgramCounter& pc) override {
    Evaluate(program);
    if (!FirstResolved(program)) return false;
    const uint32_t value = args_.Symbolic(0)->Value();
    fill_length_ = 0;
    if (!pc.known) return true;
    if (mnemonic_ == PseudoMnemonic::Area) fill_length_ = value;
    else if (value != 0 && pc.value % value != 0) fill_length_ = value - pc.value % value;
    pc.value += fill_length_;
    return true;
  }

  bool Resolve(AsmPrg& program) override {
    bool ok = PseudoOp::Resolve(program);
    if (AsmOperandSymbolic* fill = args_.Symbolic(1)) ok = fill->CheckRange(program, *this, Width::Byte) && ok;
    return ok;
  }

  bool Imprint(AsmPrg& program, MemoryImage& memory) override {
    uint8_t fill = 0;
    if (args_.Size() > 1) {
      AsmOperandSymbolic* value = args_.Symbolic(1);
      if (value == nullptr || !value->IsOperandResolved())
        return ReportImprintError(program, *this);
      fill = static_cast<uint8_t>(value->Value());
    }
    if (fill_length_ > 0 && address.value + fill_length_ > 0x10000u)
      return ReportImprintError(program, *this);
    for (uint32_t i = 0; i < fill_length_; ++i) {
      const auto at = static_cast<uint16_t>(address.value + i);
      memory.Write(at, fill);
      memory.MarkUsed(at);
    }
    return true;
  }

 private:
  uint32_t fill_length_ = 0;
};

// asmfmt: the listing options; the last one of a source counts.
class PseudoOpAsmFmt : public PseudoOp {
 public:
  using PseudoOp::PseudoOp;
  bool Build(AsmPrg& program) override {
    const bool ok = PseudoOp::Build(program);
    const bool quoted = args_.Size() == 1 && args_[0].Kind() == OperandKind::Text;
    const std::string text = quoted ? static_cast<const AsmOperandText&>(args_[0]).Content() : operand_text_;
    listing_.fmt = program.ListingFormat();
    listing_.valid = ParseAsmFmt(text, listing_.fmt);
    return ok;
  }
  const ListingOptions* Listing() const override { return &listing_; }
  bool CheckArguments(AsmPrg& program) override {
    return ExactlyOne(program) && ArgumentOfKind(program, 0, OperandKind::Text);
  }
  bool Link(AsmPrg&, ProgramCounter&) override { return true; }

 private:
  ListingOptions listing_;
};

// debugstall: writes "stall" from instruction lines during chosen passes.
class PseudoOpDebugStall : public PseudoOp {
 public:
  using PseudoOp::PseudoOp;

  bool CheckArguments(AsmPrg& program) override {
    if (!AtLeastOne(program) || !ArgumentOfKind(program, 0, OperandKind::Text)) return false;
    const auto& text = static_cast<const AsmOperandText&>(args_[0]);
    stall_ = !text.Content().empty() && text.Content()[0] == '+';
    if (args_.Size() > 1) passes_ = LowerCopy(args_[1].Text());
    return true;
  }

  bool Build(AsmPrg& program) override {
    const bool built = PseudoOp::Build(program);
    Check(program);
    return built;
  }
  bool Assemble(AsmPrg& program) override {
    Check(program);
    return PseudoOp::Assemble(program);
  }
  bool Link(AsmPrg& program, ProgramCounter&) override {
    Check(program);
    return true;
  }
  bool Evaluate(AsmPrg& program) override {
    Check(program);
    return PseudoOp::Evaluate(program);
  }

 private:
  void Check(AsmPrg& program) const {
    if (passes_.empty() || passes_.find(LowerCopy(vantrel::ToText(program.CurrentPass()))) != kNotFound)
      program.SetDebugStall(stall_);
  }

  bool stall_ = false;
  std::string passes_;
};

// break: a breakpoint at the next byte, for the VICE label file.
class PseudoOpBreak : public PseudoOp {
 public:
  using PseudoOp::PseudoOp;
  bool CheckArguments(AsmPrg& program) override {
    return args_.Size() == 0 || ReportLineError(program, this, "break takes no argument");
  }
  bool Link(AsmPrg&, ProgramCounter& pc) override {
    if (!pc.known) return false;
    address = C6510Address::Known(static_cast<uint16_t>(pc.value), Width::Word);
    return true;
  }
};

}  // namespace

std::string_view ToText(PseudoMnemonic p) {
  const auto id = static_cast<uint32_t>(p);
  if (id == 0 || id >= std::size(kPseudoWords)) return "!!Error in PseudoMnemonic::ToString!!";
  return kPseudoWords[id];
}

PseudoMnemonic FindPseudoMnemonic(std::string_view word) {
  for (uint32_t id = 1; id < std::size(kPseudoWords); ++id)
    if (EqualsNoCase(word, kPseudoWords[id])) return static_cast<PseudoMnemonic>(id);
  return PseudoMnemonic::None;
}

std::unique_ptr<AsmInstr> MakePseudoOp(PseudoMnemonic p, const SourceLine* source, std::string operand) {
  switch (p) {
    case PseudoMnemonic::Orig: return std::make_unique<PseudoOpOrig>(p, source, std::move(operand));
    case PseudoMnemonic::AddrCheck: return std::make_unique<PseudoOpAddrCheck>(p, source, std::move(operand));
    case PseudoMnemonic::Align:
    case PseudoMnemonic::Area: return std::make_unique<PseudoOpFill>(p, source, std::move(operand));
    case PseudoMnemonic::AsmFmt: return std::make_unique<PseudoOpAsmFmt>(p, source, std::move(operand));
    case PseudoMnemonic::DebugStall: return std::make_unique<PseudoOpDebugStall>(p, source, std::move(operand));
    case PseudoMnemonic::Break: return std::make_unique<PseudoOpBreak>(p, source, std::move(operand));
    case PseudoMnemonic::None: return nullptr;
    default: return MakeDataPseudoOp(p, source, std::move(operand));
  }
}

bool PseudoOp::Build(AsmPrg& program) {
  args_.Build(program, *this, operand_text_);
  const bool ok = CheckArguments(program);
  Evaluate(program);
  return ok;
}

bool PseudoOp::Assemble(AsmPrg& program) {
  args_.CheckOperand();
  Evaluate(program);
  return true;
}

bool PseudoOp::Evaluate(AsmPrg& program) { return args_.Evaluate(program, *this); }

bool PseudoOp::Resolve(AsmPrg& program) { return args_.CheckRange(program, *this, WantedWidth()); }

std::string PseudoOp::ToText(const AsmFmt& fmt) const {
  if (!fmt.pseudo) return {};
  std::string text(1, '\t');
  text += vantrel::ToText(mnemonic_);
  if (!operand_text_.empty()) text += "\t" + operand_text_;
  return text;
}

bool PseudoOp::ExactlyOne(AsmPrg& program) {
  return args_.Size() == 1 || ReportLineError(program, this, "Expecting 1 arguments");
}

bool PseudoOp::AtLeastOne(AsmPrg& program) {
  return args_.Size() >= 1 || ReportLineError(program, this, "Expecting at  least 1 arguments");
}

bool PseudoOp::ArgumentOfKind(AsmPrg& program, size_t n, OperandKind kind) {
  if (n < args_.Size() && args_[n].Kind() == kind) return true;
  return ReportLineError(program, this, "Expecting " + std::string(OperandKindText(kind)) + " argument");
}

bool PseudoOp::EveryArgumentOfKind(AsmPrg& program, OperandKind kind) {
  bool ok = true;
  for (size_t i = 0; i < args_.Size(); ++i) ok = ArgumentOfKind(program, i, kind) && ok;
  return ok;
}

bool PseudoOp::FirstResolved(AsmPrg& program) {
  if (args_.Size() > 0 && args_[0].Kind() == OperandKind::Symbolic && args_[0].IsOperandResolved()) return true;
  return ReportLineError(program, this, "Unresolved argument");
}

}  // namespace vantrel
