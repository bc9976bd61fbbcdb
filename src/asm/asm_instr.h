// asm/asm_instr.h: the objects an assembler source line becomes. Every pass
// walks the program's list of them and calls one virtual operation each:
// labels, equates and 6510 instructions here, pseudo-ops in pseudo_ops.h.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "asm/asm_fmt.h"
#include "asm/c6510_address.h"
#include "asm/line_pool.h"
#include "asm/opcodes.h"
#include "asm/operands.h"
#include "source/source_line.h"

namespace vantrel {

class AsmPrg;
class MemoryImage;
struct RelocEntry;

// The program counter of the Link pass. It is wider than an address so
// that a program reaching past $FFFF is caught instead of wrapping.
struct ProgramCounter {
  uint32_t value = 0x0100;
  bool known = true;
};

// What Relocate needs: the program's start and the list it appends to.
struct RelocContext {
  uint32_t start = 0;
  std::vector<RelocEntry>* entries = nullptr;
  AsmPrg* program = nullptr;  // where an operand that cannot move is reported
};

class AsmInstr {
 public:
  explicit AsmInstr(const SourceLine* source) : source_(source) {}
  virtual ~AsmInstr() = default;
  AsmInstr(const AsmInstr&) = delete;
  AsmInstr& operator=(const AsmInstr&) = delete;
  static void* operator new(size_t size) { return PoolAllocate(size); }
  static void operator delete(void* line, size_t size) { PoolFree(line, size); }

  virtual uint32_t Size() const { return 0; }
  virtual bool IsInstruction() const { return false; }
  virtual bool IsLabel() const { return false; }
  virtual bool IsEquates() const { return false; }
  virtual bool IsPseudoOp() const { return false; }
  virtual std::string GetName() const { return {}; }
  // The name's text must outlive the line (the source line's, or kept by
  // the symbol table).
  virtual void SetName(std::string_view) {}
  // Fills `value` with the value of the symbol the line defines when it is
  // not known yet; answers whether it is known now.
  virtual bool GetValue(C6510Address& value) const;
  // The symbol table renames lines whose name it normalised ("!x" -> "x").
  virtual void Rename(std::string_view name) { SetName(name); }

  virtual bool Build(AsmPrg& program) = 0;
  virtual bool Assemble(AsmPrg& program) = 0;
  virtual bool Link(AsmPrg& program, ProgramCounter& pc) = 0;
  virtual bool Evaluate(AsmPrg& program) = 0;
  virtual bool IsResolved() const = 0;
  virtual bool Resolve(AsmPrg& program) = 0;
  virtual bool Encode(AsmPrg& program) = 0;
  virtual bool Imprint(AsmPrg& program, MemoryImage& memory) = 0;
  virtual std::string ToText(const AsmFmt& fmt) const = 0;
  virtual void Relocate(RelocContext& context) const = 0;

  const SourceLine* Source() const { return source_; }
  size_t Index() const { return index_; }
  void SetIndex(size_t index) { index_ = static_cast<uint32_t>(index); }

  // Declared in this order so that the base takes 24 bytes.
 private:
  const SourceLine* source_;
  uint32_t index_ = 0;  // a run holds at most two million lines

 public:
  C6510Address address;  // first byte, set by the Link pass
};

// Base for lines that place nothing and need no pass work of their own.
class AsmInstrQuiet : public AsmInstr {
 public:
  using AsmInstr::AsmInstr;
  bool Build(AsmPrg&) override { return true; }
  bool Assemble(AsmPrg&) override { return true; }
  bool Link(AsmPrg&, ProgramCounter&) override { return true; }
  bool Resolve(AsmPrg&) override { return true; }
  bool Encode(AsmPrg&) override { return true; }
  bool Imprint(AsmPrg&, MemoryImage&) override { return true; }
  void Relocate(RelocContext&) const override {}
};

class AsmInstrLabel : public AsmInstrQuiet {
 public:
  AsmInstrLabel(const SourceLine* source, std::string_view name) : AsmInstrQuiet(source), name_(name) {}

  bool IsLabel() const override { return true; }
  std::string GetName() const override { return std::string(name_); }
  void SetName(std::string_view name) override { name_ = name; }
  bool GetValue(C6510Address& value) const override;
  bool Evaluate(AsmPrg&) override { return true; }
  bool IsResolved() const override { return true; }
  std::string ToText(const AsmFmt& fmt) const override;

 private:
  std::string_view name_;
};

class AsmInstrEquates : public AsmInstrQuiet {
 public:
  AsmInstrEquates(const SourceLine* source, std::string_view name, std::string_view value_text)
      : AsmInstrQuiet(source), name_(name), value_(value_text) {}

  bool IsEquates() const override { return true; }
  std::string GetName() const override { return std::string(name_); }
  void SetName(std::string_view name) override { name_ = name; }
  bool GetValue(C6510Address& value) const override;
  bool Assemble(AsmPrg& program) override;
  bool Evaluate(AsmPrg& program) override;
  bool IsResolved() const override { return value_.IsOperandResolved(); }
  std::string ToText(const AsmFmt& fmt) const override;
  // The line defining the symbol the last evaluation waited for.
  const AsmInstr* WaitsFor() const;
  const AsmOperandSymbolic& Value() const { return value_; }

 private:
  std::string_view name_;
  AsmOperandSymbolic value_;
};

class AsmInstr6510 : public AsmInstr {
 public:
  AsmInstr6510(const SourceLine* source, Mnemonic mnemonic, std::string_view operand)
      : AsmInstr(source), operand_(operand), mnemonic_(mnemonic) {}
  // A line made by the disassembler from the bytes at `at`.
  AsmInstr6510(const OpcodeEntry& entry, uint16_t at, uint8_t low, uint8_t high, uint16_t operand_value,
               Width operand_width);

  uint32_t Size() const override;
  bool IsInstruction() const override { return true; }
  bool Build(AsmPrg& program) override;
  bool Assemble(AsmPrg& program) override;
  bool Link(AsmPrg& program, ProgramCounter& pc) override;
  bool Evaluate(AsmPrg& program) override;
  bool IsResolved() const override;
  bool Resolve(AsmPrg& program) override;
  bool Encode(AsmPrg& program) override;
  bool Imprint(AsmPrg& program, MemoryImage& memory) override;
  std::string ToText(const AsmFmt& fmt) const override;
  void Relocate(RelocContext& context) const override;

  Mnemonic GetMnemonic() const { return mnemonic_; }
  AddressingMode Mode() const { return mode_; }
  bool HasEntry() const { return has_entry_; }
  const OpcodeEntry& Entry() const { return entry_; }
  AsmOperandSymbolic& Operand() { return operand_; }
  const AsmOperandSymbolic& Operand() const { return operand_; }
  // The encoded bytes; `length` is 0 until Encode ran.
  struct Bytes {
    bool valid = false;
    uint8_t opcode = 0, low = 0, high = 0;
    uint8_t length = 0;
  };
  const Bytes& Encoded() const { return bytes_; }

 private:
  bool ChooseOpcode(AsmPrg& program);
  // The branch offset from this line to the operand; false when it cannot
  // be encoded in one byte.
  bool BranchOffset(int32_t& offset) const;

  // The small members after the operand, so that the line takes 104 bytes.
  AsmOperandSymbolic operand_;
  Mnemonic mnemonic_;
  AddressingMode mode_ = AddressingMode::None;
  OpcodeEntry entry_;
  bool has_entry_ = false;
  Bytes bytes_;
};

}  // namespace vantrel
