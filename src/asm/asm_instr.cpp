#include "asm/asm_instr.h"

#include "asm/asm_line.h"
#include "asm/asm_prg.h"
#include "asm/opcode_choice.h"
#include "asm/symbols.h"
#include "image/memory_image.h"

namespace vantrel {

namespace {

// `cut`, what is left of `text` once its mode syntax is gone, as a view:
// into `text` when it is its start or its end ("#$12", "$1234,x"), kept by
// the program otherwise (blanks taken out).
std::string_view KeptPart(AsmPrg& program, std::string_view text, std::string_view cut) {
  if (text.starts_with(cut)) return text.substr(0, cut.size());
  if (text.ends_with(cut)) return text.substr(text.size() - cut.size());
  return program.Texts().Keep(cut);
}

}  // namespace

bool AsmInstr::GetValue(C6510Address&) const { return true; }

bool AsmInstrLabel::GetValue(C6510Address& value) const {
  if (!value.known) value = address;
  return value.known;
}

std::string AsmInstrLabel::ToText(const AsmFmt& fmt) const { return fmt.labels ? std::string(name_) + ":" : std::string(); }

bool AsmInstrEquates::GetValue(C6510Address& value) const {
  if (!value.known) value = value_.Address();
  return value.known;
}

bool AsmInstrEquates::Assemble(AsmPrg& program) {
  program.Stall();
  value_.EvaluateOperand(program, *this);
  return true;
}

bool AsmInstrEquates::Evaluate(AsmPrg& program) {
  program.Stall();
  return value_.EvaluateOperand(program, *this);
}

const AsmInstr* AsmInstrEquates::WaitsFor() const {
  const AsmSymbol* symbol = value_.Expression().PendingSymbol();
  return symbol == nullptr ? nullptr : symbol->line;
}

std::string AsmInstrEquates::ToText(const AsmFmt& fmt) const {
  if (!fmt.equates) return {};
  std::string text = "\t";
  return ((text += name_) += " = ") += value_.Text();
}

AsmInstr6510::AsmInstr6510(const OpcodeEntry& entry, uint16_t at, uint8_t low, uint8_t high,
                           uint16_t operand_value, Width operand_width)
    : AsmInstr(nullptr), operand_(""), mnemonic_(entry.mnemonic), mode_(entry.mode), entry_(entry), has_entry_(true) {
  address = C6510Address::Known(at, Width::Word);
  bytes_ = {true, entry.opcode, low, high, static_cast<uint8_t>(InstructionLength(entry.mode))};
  operand_.SetDecoded(operand_value, operand_width, "");
  operand_.SetMode(mode_);
}

uint32_t AsmInstr6510::Size() const { return has_entry_ ? InstructionLength(entry_.mode) : 0; }

bool AsmInstr6510::Build(AsmPrg& program) { return operand_.BuildOperand(program, *this); }

bool AsmInstr6510::Evaluate(AsmPrg& program) {
  if (mode_ == AddressingMode::None) {
    std::string text(operand_.Text());
    mode_ = ParseOperandMode(text, mnemonic_ == Mnemonic::Jmp);
    operand_.SetText(KeptPart(program, operand_.Text(), text));
    operand_.SetMode(mode_);
  }
  program.Stall();
  // An implied or accumulator instruction has nothing to evaluate.
  if (mode_ == AddressingMode::Register) return true;
  return operand_.EvaluateOperand(program, *this);
}

bool AsmInstr6510::Assemble(AsmPrg& program) {
  program.Stall();
  Evaluate(program);
  return ChooseOpcode(program);
}

bool AsmInstr6510::ChooseOpcode(AsmPrg& program) {
  // "<" and ">" give a byte whatever the address they take it from.
  const bool byte_wide = operand_.Expression().SelectsByte() ||
                         (operand_.IsOperandResolved() && operand_.ValueWidth() == Width::Byte);
  AddressingMode mode = AssembledMode(program.Opcodes(), mnemonic_, mode_, byte_wide);
  if (IsBranch(mnemonic_)) {
    if (mode != AddressingMode::None && mode != AddressingMode::Absolute && mode != AddressingMode::Relative)
      return ReportLineError(program, this, "Illegal branch destination");
    mode = AddressingMode::Relative;
  }
  std::optional<OpcodeEntry> entry = program.Opcodes().FindOpcode(mnemonic_, mode);
  if (!entry)
    return ReportLineError(program, this,
                           "Illegal addressing mode: " + std::string(MnemonicName(mnemonic_)) + " can't be used with " +
                               std::string(ModeName(mode)) + " mode");
  entry_ = *entry;
  has_entry_ = true;
  return true;
}

bool AsmInstr6510::Link(AsmPrg&, ProgramCounter& pc) {
  if (!pc.known) return false;
  pc.value += Size();
  return true;
}

bool AsmInstr6510::IsResolved() const {
  if (!has_entry_) return false;
  if (entry_.mode == AddressingMode::None || entry_.mode == AddressingMode::Register) return true;
  return operand_.IsOperandResolved();
}

bool AsmInstr6510::BranchOffset(int32_t& offset) const {
  if (!address.known || !operand_.IsOperandResolved()) return false;
  offset = static_cast<int16_t>(static_cast<uint16_t>(operand_.Value() - address.value - 2));
  // A branch to the byte after its own opcode would need offset $FF.
  return offset >= -128 && offset <= 127 && (offset & 0xFF) != 0xFF;
}

bool AsmInstr6510::Resolve(AsmPrg& program) {
  if (!has_entry_) return true;
  const AddressingMode mode = entry_.mode;
  if (mode == AddressingMode::None || mode == AddressingMode::Register) return true;
  const std::string_view text = operand_.Text();
  if (!operand_.IsOperandResolved()) return ReportLineError(program, this, "Unresolved operand: " + std::string(text));
  const uint16_t value = operand_.Value();
  // An immediate is a byte, signed or not: -128 to 255.
  const int32_t signed_value = operand_.SignedValue();
  if (mode == AddressingMode::Immediate && signed_value < -128)
    return ReportLineError(program, this,
                           "Immediate value too small: " + std::string(text) + " -- (" + std::to_string(signed_value) + " < -128)");
  if (mode == AddressingMode::Immediate && signed_value < 0) return true;
  if (mode == AddressingMode::Relative) {
    int32_t offset = 0;
    if (address.known && !BranchOffset(offset))
      return ReportLineError(program, this,
                             "Branch out of range.  " + std::string(MnemonicName(mnemonic_)) + " can't reach " + std::string(text));
    return true;
  }
  if (InstructionLength(mode) == 2 && value > 255) {
    const std::string detail = std::string(text) + " -- (" + std::to_string(value) + " > 255)";
    if (mode == AddressingMode::Immediate) return ReportLineError(program, this, "Immediate value too big: " + detail);
    return ReportLineError(program, this, "Expecting zero page value: " + detail);
  }
  return true;
}

bool AsmInstr6510::Encode(AsmPrg&) {
  if (!has_entry_) return false;
  const uint32_t length = InstructionLength(entry_.mode);
  const uint16_t value = operand_.Value();
  bytes_ = {true, entry_.opcode, static_cast<uint8_t>(value & 0xFF), static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(length)};
  if (entry_.mode == AddressingMode::Relative) {
    int32_t offset = 0;
    bytes_.low = BranchOffset(offset) ? static_cast<uint8_t>(offset & 0xFF) : 0xFF;
  }
  return true;
}

bool AsmInstr6510::Imprint(AsmPrg& program, MemoryImage& memory) {
  if (!bytes_.valid) {
    return ReportImprintError(program, *this);
  }
  const uint8_t bytes[3] = {bytes_.opcode, bytes_.low, bytes_.high};
  // Every write stays inside memory: a line running past $FFFF fails.
  if (!address.known || address.value + bytes_.length > 0x10000u)
    return ReportImprintError(program, *this);
  for (uint32_t i = 0; i < bytes_.length; ++i) {
    const auto at = static_cast<uint16_t>(address.value + i);
    memory.Write(at, bytes[i]);
    memory.MarkUsed(at);
  }
  return true;
}

std::string AsmInstr6510::ToText(const AsmFmt& fmt) const {
  if (fmt.mon && !has_entry_) return "Instruction not decoded";
  return FormatListingLine(*this, fmt);
}

void AsmInstr6510::Relocate(RelocContext& context) const {
  // A branch offset is the same wherever the program goes.
  if (!has_entry_ || !address.known || entry_.mode == AddressingMode::Relative) return;
  const uint32_t length = InstructionLength(entry_.mode);
  if (length > 1) operand_.Relocate(context, *this, address.value + 1, length - 1);
}

}  // namespace vantrel
