// asm/pseudo_ops.h: the pseudo-ops. They place data, move or check the
// program counter, reserve or align space, pull in a file, set the listing
// format, switch a debugging aid or mark a breakpoint for VICE; the passes drive them like
// instructions.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "asm/asm_instr.h"
#include "asm/operands.h"

namespace vantrel {

enum class PseudoMnemonic : uint32_t {
  None = 0,
  Orig, AddrCheck, Align, Area, Hex, Bin, Bits, Byte, Word, Data, Ascii, Embed, AsmFmt, DebugStall, Break,
};
std::string_view ToText(PseudoMnemonic p);
// Any case; None when the word is not a pseudo-op.
PseudoMnemonic FindPseudoMnemonic(std::string_view word);
std::unique_ptr<AsmInstr> MakePseudoOp(PseudoMnemonic p, const SourceLine* source, std::string operand);

class PseudoOp : public AsmInstr {
 public:
  PseudoOp(PseudoMnemonic p, const SourceLine* source, std::string operand)
      : AsmInstr(source), mnemonic_(p), operand_text_(std::move(operand)) {}

  bool IsPseudoOp() const override { return true; }
  bool Build(AsmPrg& program) override;
  bool Assemble(AsmPrg& program) override;
  bool Link(AsmPrg&, ProgramCounter&) override { return false; }
  bool Evaluate(AsmPrg& program) override;
  bool IsResolved() const override { return args_.AllResolved(); }
  bool Resolve(AsmPrg& program) override;
  // Lines that place no bytes have nothing to encode or imprint.
  bool Encode(AsmPrg&) override { return true; }
  bool Imprint(AsmPrg&, MemoryImage&) override { return true; }
  std::string ToText(const AsmFmt& fmt) const override;
  void Relocate(RelocContext&) const override {}

  // An asmfmt line's options, read when the line was built; null for any
  // other line.
  struct ListingOptions {
    AsmFmt fmt;
    bool valid = false;
  };
  virtual const ListingOptions* Listing() const { return nullptr; }
  virtual bool CheckArguments(AsmPrg&) { return true; }

  PseudoMnemonic GetMnemonic() const { return mnemonic_; }
  const AsmOperandList& Arguments() const { return args_; }

 protected:
  // The argument rules; each reports on the line and answers false when broken.
  bool ExactlyOne(AsmPrg& program);
  bool AtLeastOne(AsmPrg& program);
  bool ArgumentOfKind(AsmPrg& program, size_t n, OperandKind kind);
  bool EveryArgumentOfKind(AsmPrg& program, OperandKind kind);
  bool FirstResolved(AsmPrg& program);
  // The width Resolve checks the arguments against.
  virtual Width WantedWidth() const { return Width::Auto; }

  PseudoMnemonic mnemonic_;
  AsmOperandList args_;
  std::string operand_text_;
};

// Lines that place a buffer of bytes: hex, bin, bits, byte, word, data,
// ascii, embed.
class PseudoOpData : public PseudoOp {
 public:
  using PseudoOp::PseudoOp;

  uint32_t Size() const override { return size_; }
  bool Link(AsmPrg& program, ProgramCounter& pc) override;
  bool Imprint(AsmPrg& program, MemoryImage& memory) override;
  const std::string& Buffer() const { return buffer_; }

 protected:
  // The bytes the line will hold; for the expression lists it is fixed by
  // Link, so later passes can never shift the lines after it.
  virtual uint32_t MeasuredSize() { return static_cast<uint32_t>(buffer_.size()); }

  std::string buffer_;
  uint32_t size_ = 0;
};

}  // namespace vantrel

namespace vantrel {
// The data pseudo-ops (hex to embed) live in pseudo_data.cpp.
std::unique_ptr<AsmInstr> MakeDataPseudoOp(PseudoMnemonic p, const SourceLine* source, std::string operand);
}  // namespace vantrel
