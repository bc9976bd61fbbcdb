// asm/operands.h: the operands of assembler lines: a symbolic expression,
// a quoted text, or the comma list of a pseudo-op's arguments.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "asm/c6510_address.h"
#include "asm/expr.h"
#include "asm/line_pool.h"
#include "asm/opcodes.h"

namespace vantrel {

class AsmPrg;
class AsmInstr;
struct RelocContext;

enum class OperandKind : uint32_t { None = 0, Text = 1, Symbolic = 2, List = 3 };
std::string_view OperandKindText(OperandKind kind);

// What a relocation entry for an operand rewrites.
enum class RelocKind : uint8_t { None = 0, Word = 1, Low = 2, High = 3, Unused = 4, NotRelocatable = 5 };

using ByteSink = std::string;

// An operand's text is a view: into its source line, or into text the
// program keeps for the assembly's life.
class AsmOperand {
 public:
  explicit AsmOperand(std::string_view text) : text_(text) {}
  virtual ~AsmOperand() = default;
  static void* operator new(size_t size) { return PoolAllocate(size); }
  static void operator delete(void* operand, size_t size) { PoolFree(operand, size); }

  virtual OperandKind Kind() const = 0;
  virtual bool BuildOperand(AsmPrg& program, const AsmInstr& line) = 0;
  virtual bool CheckOperand() const { return true; }
  virtual bool EvaluateOperand(AsmPrg& program, const AsmInstr& line) = 0;
  // Reports when the value does not fit the wanted width.
  virtual bool CheckRange(AsmPrg& program, const AsmInstr& line, Width wanted) = 0;
  virtual bool IsOperandResolved() const = 0;
  virtual void EmitAuto(ByteSink& out) const = 0;
  virtual bool EmitByte(ByteSink& out) const = 0;
  virtual bool EmitWord(ByteSink& out) const = 0;
  virtual uint32_t OperandWidth() const = 0;
  // Evaluates once more if needed; reports "Unresolved operand" when it
  // still has no value.
  virtual bool GetWord(uint16_t& out, AsmPrg& program, const AsmInstr& line) = 0;

  std::string_view Text() const { return text_; }

 protected:
  std::string_view text_;
};

class AsmOperandSymbolic : public AsmOperand {
 public:
  using AsmOperand::AsmOperand;

  OperandKind Kind() const override { return OperandKind::Symbolic; }
  bool BuildOperand(AsmPrg& program, const AsmInstr& line) override;
  bool EvaluateOperand(AsmPrg& program, const AsmInstr& line) override;
  bool CheckRange(AsmPrg& program, const AsmInstr& line, Width wanted) override;
  bool IsOperandResolved() const override { return resolved_; }
  void EmitAuto(ByteSink& out) const override;
  bool EmitByte(ByteSink& out) const override;
  bool EmitWord(ByteSink& out) const override;
  uint32_t OperandWidth() const override;
  bool GetWord(uint16_t& out, AsmPrg& program, const AsmInstr& line) override;

  // The expression text (an instruction sets it once the mode syntax is cut).
  void SetText(std::string_view text) { text_ = text; }
  uint16_t Value() const { return value_; }
  Width ValueWidth() const { return width_; }
  C6510Address Address() const { return {value_, width_, resolved_}; }
  void SetForcedWidth(Width w) { forced_ = w; }
  Width ForcedWidth() const { return forced_; }
  void SetMode(AddressingMode mode) { mode_ = mode; }
  const ExprList& Expression() const { return expr_; }
  // The value as the expression gave it, before it was cut to 16 bits.
  int32_t SignedValue() const { return expr_.Value(); }
  // Appends the entry for the `width` operand bytes at `location`, or
  // warns on the line when the value moves in a way no entry describes.
  void Relocate(RelocContext& context, const AsmInstr& line, uint32_t location, uint32_t width) const;
  // For operands made by the disassembler: a known value, and the symbol
  // name shown for it.
  void SetDecoded(uint16_t value, Width width, std::string_view source_text);

 private:
  uint16_t value_ = 0xFFFF;
  Width width_ = Width::Auto;
  bool resolved_ = false;
  AddressingMode mode_ = AddressingMode::None;
  Width forced_ = Width::Auto;
  RelocKind reloc_ = RelocKind::None;
  bool prepared_ = false;
  ExprList expr_;
};

// A double-quoted text, converted to PETSCII when built.
class AsmOperandText : public AsmOperand {
 public:
  using AsmOperand::AsmOperand;

  OperandKind Kind() const override { return OperandKind::Text; }
  bool BuildOperand(AsmPrg& program, const AsmInstr& line) override;
  bool EvaluateOperand(AsmPrg&, const AsmInstr&) override { return ok_; }
  bool CheckRange(AsmPrg&, const AsmInstr&, Width) override { return true; }
  bool IsOperandResolved() const override { return ok_; }
  void EmitAuto(ByteSink& out) const override { out += bytes_; }
  bool EmitByte(ByteSink& out) const override;
  bool EmitWord(ByteSink&) const override { return false; }
  uint32_t OperandWidth() const override { return static_cast<uint32_t>(bytes_.size()); }
  bool GetWord(uint16_t&, AsmPrg&, const AsmInstr&) override { return false; }

  // The text between the quotes, as written.
  const std::string& Content() const { return content_; }

 private:
  std::string content_;
  std::string bytes_;
  bool ok_ = false;
};

class AsmOperandList {
 public:
  // Splits at commas outside quotes and builds every member.
  void Build(AsmPrg& program, const AsmInstr& line, const std::string& text);
  bool CheckOperand() const;
  bool Evaluate(AsmPrg& program, const AsmInstr& line);
  bool AllResolved() const { return all_resolved_; }
  bool CheckRange(AsmPrg& program, const AsmInstr& line, Width wanted);

  size_t Size() const { return members_.size(); }
  AsmOperand& operator[](size_t i) const { return *members_[i]; }
  AsmOperandSymbolic* Symbolic(size_t i) const;

 private:
  std::vector<std::unique_ptr<AsmOperand>> members_;
  bool all_resolved_ = false;
};

}  // namespace vantrel
