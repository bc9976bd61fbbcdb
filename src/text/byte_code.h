// text/byte_code.h: the "{$xx}" form that writes any byte into text. Text
// writers use it for bytes with no plain form, and readers take it back, so
// such bytes survive a trip through text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "text/char_class.h"

namespace vantrel {

inline std::string ByteCode(uint8_t b) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text = "{$";
  text += kDigits[b >> 4];
  text += kDigits[b & 0xF];
  text += '}';
  return text;
}

inline std::string ByteCodes(uint8_t b, size_t count) {
  std::string text;
  for (size_t i = 0; i < count; ++i) text += ByteCode(b);
  return text;
}

// True when `text` holds "{$xx}" (two hex digits, either case) at `pos`.
inline bool ReadByteCode(std::string_view text, size_t pos, uint8_t& b) {
  if (pos + 5 > text.size() || text[pos] != '{' || text[pos + 1] != '$' || text[pos + 4] != '}') return false;
  if (!IsHexDigit(text[pos + 2]) || !IsHexDigit(text[pos + 3])) return false;
  b = static_cast<uint8_t>(DigitValue(text[pos + 2]) * 16 + DigitValue(text[pos + 3]));
  return true;
}

// Text to bytes where "{$xx}" stands for its byte and every other character
// goes through `convert`, which answers -1 for a character to drop.
template <typename Convert>
std::string DecodeByteCodes(std::string_view text, Convert convert) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    uint8_t b = 0;
    if (ReadByteCode(text, i, b)) {
      i += 4;
      out += static_cast<char>(b);
    } else if (int c = convert(static_cast<uint8_t>(text[i])); c >= 0) {
      out += static_cast<char>(c);
    }
  }
  return out;
}

}  // namespace vantrel
