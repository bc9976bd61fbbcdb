#include "asm/c6510_address.h"

#include "text/text_ops.h"

namespace vantrel {

namespace {
std::string Prefixed(bool dollar, std::string digits) {
  if (dollar) digits.insert(digits.begin(), '$');
  return digits;
}
}  // namespace

std::string_view WidthText(Width width) {
  switch (width) {
    case Width::Auto: return "[auto]";
    case Width::Byte: return "[byte]";
    case Width::Word: return "[word]";
  }
  return "[illegal width]";
}

std::string C6510Address::FormatByte(bool dollar) const {
  if (!known) return "??";
  if (value >= 256) return "! " + Hex(value, 4) + " value is larger than 8 bits";
  return Prefixed(dollar, Hex(value, 2));
}

std::string C6510Address::FormatWord(bool dollar) const {
  if (!known) return "????";
  return Prefixed(dollar, Hex(value, 4));
}

std::string C6510Address::Format(bool dollar) const {
  switch (size) {
    case Width::Byte: return FormatByte(dollar);
    case Width::Word: return FormatWord(dollar);
    default: return known && value < 256 ? FormatByte(dollar) : FormatWord(dollar);
  }
}

std::string C6510Address::FormatForOperand(uint32_t length) const {
  if (length == 2) return FormatByte(true);
  if (length == 3) return FormatWord(true);
  return "!! ERROR in C6510Address::FormatForOperand--illegal size !!";
}

}  // namespace vantrel
