#include "asm/disassembler.h"

#include <map>
#include <unordered_map>

namespace vantrel {

namespace {

// The first symbol in name order for each value, and for each value and width.
struct SymbolIndex {
  explicit SymbolIndex(const SymbolTable& symbols) {
    for (const AsmSymbol* s : symbols.Sorted()) {
      if (!s->value.known) continue;
      by_value.try_emplace(s->value.value, s);
      by_width.try_emplace({s->value.value, s->value.size}, s);
    }
  }
  const AsmSymbol* Find(uint16_t value) const {
    auto it = by_value.find(value);
    return it == by_value.end() ? nullptr : it->second;
  }
  const AsmSymbol* Find(uint16_t value, Width width) const {
    auto it = by_width.find({value, width});
    return it == by_width.end() ? nullptr : it->second;
  }
  std::unordered_map<uint16_t, const AsmSymbol*> by_value;
  std::map<std::pair<uint16_t, Width>, const AsmSymbol*> by_width;
};

bool NamesOperand(const DecodedInstruction& d) {
  const auto mode = static_cast<uint32_t>(d.mode);
  return d.known && ((mode >= static_cast<uint32_t>(AddressingMode::ZeroPage) &&
                      mode <= static_cast<uint32_t>(AddressingMode::Indirect)) ||
                     IsBranch(d.entry.mnemonic));
}

std::string OperandName(const SymbolIndex& index, const DecodedInstruction& d) {
  if (const AsmSymbol* s = index.Find(d.operand, d.operandWidth)) return std::string(s->name);
  if (const AsmSymbol* s = index.Find(static_cast<uint16_t>(d.operand - 1))) return std::string(s->name) + " +1";
  return {};
}

}  // namespace

DecodedInstruction DecodeAt(const OpcodeTable& opcodes, const MemoryImage& image, uint32_t& address) {
  DecodedInstruction d;
  const auto at = static_cast<uint16_t>(address);
  d.opcode = image.Read(at);
  d.low = image.Read(static_cast<uint16_t>(at + 1));
  d.high = image.Read(static_cast<uint16_t>(at + 2));
  d.address = C6510Address::Known(at, Width::Word);
  d.entry = opcodes[d.opcode];
  d.mode = d.entry.mode;
  d.length = InstructionLength(d.mode);
  d.valid = true;
  if (d.length == 2) {
    d.known = true;
    if (d.mode == AddressingMode::Relative) {
      d.operand = static_cast<uint16_t>(at + 2 + static_cast<int8_t>(d.low));
      d.operandWidth = Width::Word;
    } else {
      d.operand = d.low;
      d.operandWidth = Width::Byte;
    }
  } else if (d.length == 3) {
    d.known = true;
    d.operand = static_cast<uint16_t>(d.low | (d.high << 8));
    d.operandWidth = Width::Word;
  }
  address += d.length;
  return d;
}

bool Disassemble(const OpcodeTable& opcodes, const MemoryImage& image, const AddressRange& range,
                 const AsmFmt& fmt, const SymbolTable& symbols, TextStore& texts,
                 std::vector<std::unique_ptr<AsmInstr>>& out) {
  AddressRange span = range;
  // A range given by its start alone runs to the end of the used range.
  if (!span.IsEmpty() && span.start <= 0xFFFF && span.end > 0xFFFF) span.end = image.Used().end;
  if (span.IsEmpty() || !span.Fits16Bits()) span = image.Used();
  if (span.IsEmpty() || !span.Fits16Bits()) return true;
  const SymbolIndex index(symbols);
  // A wide counter, so that a range ending at $FFFF ends.
  for (uint32_t address = static_cast<uint32_t>(span.start); address <= span.end;) {
    if (fmt.addlabels)
      if (const AsmSymbol* s = index.Find(static_cast<uint16_t>(address))) {
        auto label = std::make_unique<AsmInstrLabel>(nullptr, s->name);
        label->address = C6510Address::Known(static_cast<uint16_t>(address), Width::Word);
        out.push_back(std::move(label));
      }
    const DecodedInstruction d = DecodeAt(opcodes, image, address);
    auto line = std::make_unique<AsmInstr6510>(d.entry, d.address.value, d.low, d.high, d.operand, d.operandWidth);
    if (fmt.symbols && NamesOperand(d)) line->Operand().SetText(texts.Keep(OperandName(index, d)));
    out.push_back(std::move(line));
  }
  return true;
}

}  // namespace vantrel
