// asm/c6510_address.h: a 6510 value with its width and whether it is known
// yet; line addresses, operand values and symbols are all of this type.
#pragma once

#include <cstdint>
#include <string>

namespace vantrel {

enum class Width : uint8_t { Auto = 0, Byte = 1, Word = 2 };

// "[auto]", "[byte]", "[word]"; "[illegal width]" otherwise.
std::string_view WidthText(Width width);

struct C6510Address {
  uint16_t value = 0xFFFF;
  Width size = Width::Auto;
  bool known = false;

  static C6510Address Known(uint16_t v, Width w = Width::Auto) { return {v, w, true}; }

  // Two digits below 256, "??" when unknown; a larger value is flagged.
  std::string FormatByte(bool dollar) const;
  // Four digits, "????" when unknown.
  std::string FormatWord(bool dollar) const;
  // By width: auto takes the byte form below 256.
  std::string Format(bool dollar) const;
  // For an operand of an instruction of `length` bytes.
  std::string FormatForOperand(uint32_t length) const;
};

}  // namespace vantrel
