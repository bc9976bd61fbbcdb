// text/number_reader.h: numbers as users write them here: "$" hex, "%"
// binary, else decimal. Callers differ in what they accept around the
// digits (signs, blanks, text after them), so the pieces are separate.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "text/char_class.h"

namespace vantrel {

struct Notation {
  int base = 10;
  std::string_view digits;
};

// "$0801" is base 16 with the digits "0801", "%101" base 2, the rest base 10.
constexpr Notation SplitNotation(std::string_view text) {
  if (!text.empty() && text[0] == '$') return {16, text.substr(1)};
  if (!text.empty() && text[0] == '%') return {2, text.substr(1)};
  return {10, text};
}

struct DigitRun {
  int64_t value = 0;
  size_t length = 0;  // 0 when `text` starts with no digit of the base
};

// The digits of `base` that start `text`. The value stops at `cap` instead
// of wrapping, so that a long run cannot pass for a small number.
constexpr DigitRun ReadDigits(std::string_view text, int base, int64_t cap) {
  DigitRun run;
  for (; run.length < text.size(); ++run.length) {
    const int d = DigitValue(text[run.length]);
    if (d >= base) break;
    run.value = run.value > (cap - d) / base ? cap : run.value * base + d;
  }
  return run;
}

static_assert(ReadDigits("0801", 16, 0xFFFF).value == 0x801 && ReadDigits("12abc", 10, 999).length == 2);
static_assert(ReadDigits("99999", 10, 255).value == 255);

// A whole number in one of the notations, blanks around it allowed.
bool ReadNumber(std::string_view text, int64_t& value);

}  // namespace vantrel
