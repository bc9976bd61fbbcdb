// text/char_class.h: the character classes and digit values every reader
// here shares; ASCII only, whatever the locale says.
#pragma once

namespace vantrel {

constexpr bool IsBlank(char c) { return c == ' ' || c == '\r' || c == '\n' || c == '\t'; }
constexpr bool IsDigit(char c) { return c >= '0' && c <= '9'; }
constexpr bool IsLower(char c) { return c >= 'a' && c <= 'z'; }
constexpr bool IsUpper(char c) { return c >= 'A' && c <= 'Z'; }
constexpr bool IsLetter(char c) { return IsLower(c) || IsUpper(c); }
constexpr char ToUpper(char c) { return IsLower(c) ? static_cast<char>(c - 'a' + 'A') : c; }
constexpr char ToLower(char c) { return IsUpper(c) ? static_cast<char>(c - 'A' + 'a') : c; }

// The value of a digit in any base up to 36, letters in either case;
// kNoDigit for any other character, which no base accepts.
inline constexpr int kNoDigit = 99;
constexpr int DigitValue(char c) {
  if (IsDigit(c)) return c - '0';
  if (IsLower(c)) return c - 'a' + 10;
  if (IsUpper(c)) return c - 'A' + 10;
  return kNoDigit;
}

constexpr bool IsHexDigit(char c) { return DigitValue(c) < 16; }

static_assert(DigitValue('f') == 15 && DigitValue('F') == 15 && !IsHexDigit('g') && !IsHexDigit('/'));

}  // namespace vantrel
