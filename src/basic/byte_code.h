// basic/byte_code.h: the "{$xx}" form that writes any byte into text. The
// text writers use it for bytes with no plain form; REM text and DATA items
// read it back, so such bytes survive a trip through text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

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
  auto digit = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  };
  if (pos + 5 > text.size() || text[pos] != '{' || text[pos + 1] != '$' || text[pos + 4] != '}') return false;
  const int hi = digit(text[pos + 2]);
  const int lo = digit(text[pos + 3]);
  if (hi < 0 || lo < 0) return false;
  b = static_cast<uint8_t>(hi * 16 + lo);
  return true;
}

// A token code's bytes: above $FF a prefix byte, then the second byte.
inline std::string TokenBytes(int32_t code) {
  std::string bytes;
  if (code > 0xFF) bytes += static_cast<char>((code >> 8) & 0xFF);
  return bytes + static_cast<char>(code & 0xFF);
}

// A token code written as byte codes: "{$fe}{$27}" for a two-byte one.
inline std::string TokenCodes(int32_t code) {
  std::string text;
  for (char b : TokenBytes(code)) text += ByteCode(static_cast<uint8_t>(b));
  return text;
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
