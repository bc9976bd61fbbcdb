// The pseudo-ops that place bytes: hex, bin and bits pictures, the byte,
// word, data and ascii lists, and embedded files.
#include <algorithm>

#include "asm/asm_line.h"
#include "asm/asm_prg.h"
#include "asm/pseudo_ops.h"
#include "d64/program_load.h"
#include "image/memory_image.h"
#include "source/directives.h"
#include "text/text_ops.h"

namespace vantrel {

bool PseudoOpData::Link(AsmPrg&, ProgramCounter& pc) {
  size_ = MeasuredSize();
  if (pc.known) pc.value += size_;
  return pc.known;
}

bool PseudoOpData::Imprint(AsmPrg& program, MemoryImage& memory) {
  if (!address.known || address.value + buffer_.size() > 0x10000u)
    return ReportImprintError(program, *this);
  for (size_t i = 0; i < buffer_.size(); ++i) {
    const auto at = static_cast<uint16_t>(address.value + i);
    memory.Write(at, static_cast<uint8_t>(buffer_[i]));
    memory.MarkUsed(at);
  }
  return true;
}

namespace {

// Lines whose bytes are fixed by their text when built: nothing to evaluate.
class PseudoOpPicture : public PseudoOpData {
 public:
  using PseudoOpData::PseudoOpData;

  bool Build(AsmPrg& program) override {
    args_.Build(program, *this, operand_text_);
    // An empty operand has its own message.
    if (!Trim(operand_text_).empty() && !(ExactlyOne(program) && ArgumentOfKind(program, 0, OperandKind::Symbolic)))
      return false;
    return Parse(program, Trim(operand_text_));
  }
  bool Assemble(AsmPrg&) override { return true; }
  bool Evaluate(AsmPrg&) override { return true; }
  bool IsResolved() const override { return true; }
  bool Resolve(AsmPrg&) override { return true; }

 protected:
  virtual bool Parse(AsmPrg& program, const std::string& text) = 0;
};

// hex and bin: values separated by blanks, one byte each.
class PseudoOpRadix : public PseudoOpPicture {
 public:
  using PseudoOpPicture::PseudoOpPicture;

 protected:
  bool Parse(AsmPrg& program, const std::string& text) override {
    const bool hex = mnemonic_ == PseudoMnemonic::Hex;
    const std::string kind = hex ? "Hex" : "Bin";
    const std::vector<HiText> values = Split(text, " ");
    if (values.empty()) return ReportLineError(program, this, kind + " operand has no values");
    bool ok = true;
    for (const HiText& raw : values) {
      const std::string value = Trim(raw);
      int32_t number = 0;
      if (value.empty() || !ReadRadixValue(value, hex ? 16 : 2, number))
        ok = ReportLineError(program, this, kind + " operand has bad value: " + value);
      else if (number > 255) ok = ReportLineError(program, this, kind + " operand contains oversized value: " + value);
      else if (number < 0) ok = ReportLineError(program, this, kind + " operand is illegal: " + value);
      else buffer_ += static_cast<char>(number);
    }
    return ok;
  }
};

// bits: a picture of pixels, eight bits to a byte, first bit highest.
class PseudoOpBits : public PseudoOpPicture {
 public:
  using PseudoOpPicture::PseudoOpPicture;

 protected:
  bool Parse(AsmPrg& program, const std::string& text) override {
    if (text.empty()) return ReportLineError(program, this, "Empty Bits operand");
    uint32_t bits = 0;
    int count = 0;
    auto push = [&](uint32_t value, int n) {
      bits = (bits << n) | value;
      count += n;
      if (count == 8) {
        buffer_ += static_cast<char>(bits);
        bits = 0;
        count = 0;
      }
    };
    for (char c : text) {
      switch (c) {
        case ' ': case '\t': case '\n': case '\r': break;
        case '.': push(0, 1); break;
        case '*': push(1, 1); break;
        // Double-width pixels: a multicolour bit pair.
        case '-': push(0, 2); break;
        case '/': push(1, 2); break;
        case '\\': push(2, 2); break;
        case '|': push(3, 2); break;
        default: return ReportLineError(program, this, "Bin operand has bad value: " + text);
      }
    }
    if (count != 0) return ReportLineError(program, this, "Bits operand must have multiple of 8 bits");
    if (buffer_.empty()) return ReportLineError(program, this, "Bits operand is empty");
    return true;
  }
};

// byte, word, data and ascii: lists of values and texts.
class PseudoOpList : public PseudoOpData {
 public:
  using PseudoOpData::PseudoOpData;

  bool CheckArguments(AsmPrg& program) override {
    if (!AtLeastOne(program)) return false;
    if (mnemonic_ != PseudoMnemonic::Ascii && !EveryArgumentOfKind(program, OperandKind::Symbolic)) return false;
    for (size_t i = 0; i < args_.Size(); ++i)
      if (AsmOperandSymbolic* value = args_.Symbolic(i)) value->SetForcedWidth(ForcedWidth());
    return true;
  }

  bool Encode(AsmPrg&) override {
    buffer_.clear();
    bool ok = true;
    for (size_t i = 0; i < args_.Size(); ++i) {
      const AsmOperand& member = args_[i];
      switch (mnemonic_) {
        case PseudoMnemonic::Byte: ok = member.EmitByte(buffer_) && ok; break;
        case PseudoMnemonic::Word: ok = member.EmitWord(buffer_) && ok; break;
        default:
          if (!member.IsOperandResolved()) ok = false;
          else member.EmitAuto(buffer_);
          break;
      }
    }
    // What Link measured is what the line holds, or the lines after it move.
    return ok && buffer_.size() == size_;
  }

  void Relocate(RelocContext& context) const override {
    uint32_t offset = 0;
    for (size_t i = 0; i < args_.Size(); ++i) {
      const uint32_t width = args_[i].OperandWidth();
      if (const AsmOperandSymbolic* value = args_.Symbolic(i))
        value->Relocate(context, *this, address.value + offset, width);
      offset += width;
    }
  }

 protected:
  Width WantedWidth() const override {
    return mnemonic_ == PseudoMnemonic::Byte ? Width::Byte : Width::Auto;
  }

  uint32_t MeasuredSize() override {
    uint32_t size = 0;
    for (size_t i = 0; i < args_.Size(); ++i) {
      // A value still unknown here is taken as a word, and stays one.
      AsmOperandSymbolic* value = args_.Symbolic(i);
      if (value != nullptr && value->ForcedWidth() == Width::Auto && !value->IsOperandResolved())
        value->SetForcedWidth(Width::Word);
      size += args_[i].OperandWidth();
    }
    return size;
  }

 private:
  Width ForcedWidth() const {
    switch (mnemonic_) {
      case PseudoMnemonic::Byte: return Width::Byte;
      case PseudoMnemonic::Word: return Width::Word;
      default: return Width::Auto;
    }
  }
};

// embed: the raw bytes of a file, or a part of them.
class PseudoOpEmbed : public PseudoOpPicture {
 public:
  using PseudoOpPicture::PseudoOpPicture;

  bool Build(AsmPrg& program) override {
    args_.Build(program, *this, operand_text_);
    if (!AtLeastOne(program))
      return ReportLineError(program, this, "Syntax: embed \"filepath\" [,start offset [,length]]");
    return Parse(program, operand_text_);
  }

 protected:
  bool Parse(AsmPrg& program, const std::string&) override {
    if (args_[0].Kind() != OperandKind::Text)
      return ReportLineError(program, this, "No filename specified for embed pseudo op");
    const std::string path = static_cast<const AsmOperandText&>(args_[0]).Content();
    uint16_t offset = 0;
    uint32_t length = ProgramFile::kMaxSize;
    if (!ReadWordArgument(program, 1, offset)) return false;
    if (args_.Size() > 2) {
      uint16_t wanted = 0;
      if (!ReadWordArgument(program, 2, wanted)) return false;
      length = wanted;
    }
    ProgramFile file;
    if (!LoadProgramFile(program.Loader().Log(), program.Locator(), path, FileType::Unspecified, file))
      return ReportLineError(program, this, "Unable to load embed file");
    // Offsets and lengths past the end take only what the file holds.
    const size_t take =
        offset >= file.Size() ? 0 : std::min<size_t>({length, file.Size() - offset, ProgramFile::kMaxSize});
    if (take == 0) return ReportLineError(program, this, "No data read from file");
    buffer_.assign(reinterpret_cast<const char*>(file.Data()) + offset, take);
    return true;
  }

 private:
  bool ReadWordArgument(AsmPrg& program, size_t n, uint16_t& out) {
    if (n >= args_.Size()) return true;
    if (args_[n].Kind() != OperandKind::Symbolic) return ReportLineError(program, this, "Incorrect parameter type");
    return args_[n].GetWord(out, program, *this);
  }
};

}  // namespace

std::unique_ptr<AsmInstr> MakeDataPseudoOp(PseudoMnemonic p, const SourceLine* source, std::string operand) {
  switch (p) {
    case PseudoMnemonic::Hex:
    case PseudoMnemonic::Bin: return std::make_unique<PseudoOpRadix>(p, source, std::move(operand));
    case PseudoMnemonic::Bits: return std::make_unique<PseudoOpBits>(p, source, std::move(operand));
    case PseudoMnemonic::Embed: return std::make_unique<PseudoOpEmbed>(p, source, std::move(operand));
    default: return std::make_unique<PseudoOpList>(p, source, std::move(operand));
  }
}

}  // namespace vantrel
