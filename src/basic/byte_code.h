// basic/byte_code.h: token codes as bytes and as "{$xx}" byte codes.
#pragma once

#include <cstdint>
#include <string>

#include "text/byte_code.h"

namespace vantrel {

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

}  // namespace vantrel
