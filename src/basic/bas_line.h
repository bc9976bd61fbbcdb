// basic/bas_line.h: one line of a BASIC program: its number or label, the
// elements it holds and how other lines refer to it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "basic/bas_element.h"
#include "source/source_line.h"
#include "text/number_reader.h"

namespace vantrel {

// FNV-1a over the text lowered to ASCII lower case: label names match
// whatever their case. Only a first sieve: two names may share a hash.
constexpr uint32_t LabelHash(std::string_view text) {
  uint32_t hash = 2166136261u;
  for (char c : text) {
    uint8_t b = static_cast<uint8_t>(c);
    if (b >= 'A' && b <= 'Z') b = static_cast<uint8_t>(b - 'A' + 'a');
    hash = (hash ^ b) * 16777619u;
  }
  return hash;
}
static_assert(LabelHash("") == 2166136261u);
static_assert(LabelHash("a") == 0xE40C292Cu);  // the published FNV-1a test vector

// The message for a jump whose target line is not there.
inline std::string TargetNotFoundText(const BasElement& e) { return "Can't locate target line: " + std::string(e.text); }

// How a reference that names no line is written: "[:LOOP]" for {:loop}.
inline std::string UnresolvedReferenceText(const BasElement& e) {
  std::string text(1, '[');
  for (char c : e.text.substr(e.text.starts_with("{") ? 1 : 0))
    if (c != '}') text += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
  text += ']';
  return text;
}

// The value of a run of digits; saturates instead of wrapping, so that
// 99999999999 cannot become a small line number.
inline int32_t ReadLineNumber(std::string_view digits) {
  return static_cast<int32_t>(ReadDigits(digits, 10, INT32_MAX).value);
}

// A line number's reference text: its digits without leading zeros, so
// that "0010" and "10" name the same line.
inline std::string CanonicalDigits(std::string_view digits) {
  size_t first = digits.find_first_not_of('0');
  return first == std::string_view::npos ? std::string(digits.empty() ? "" : "0") : std::string(digits.substr(first));
}

// The line indexes hash reference texts with LabelHash and then compare
// them whole.
struct ReferenceHash {
  size_t operator()(std::string_view text) const { return LabelHash(text); }
};

// The text a reference names its line by: "{:loop}", or "100" for "0100".
inline std::string ReferenceKey(const BasElement& e) {
  return e.text.starts_with("{") ? std::string(e.text) : CanonicalDigits(e.text);
}

struct BasLine {
  SourcePos pos;     // where it came from, for messages
  std::string text;  // "100" or "{:loop}"
  int32_t lineNumber = -1;
  bool referenced = false;
  BasLine* codeLine = nullptr;  // for a line without code: the next line with code
  std::vector<BasElement> elements;
  bool endOfProgram = false;
  bool generated = false;
  bool fromProgram = false;  // read from a loaded program file

  bool HasCode() const {
    for (const BasElement& e : elements)
      if (IsCodeKind(e.kind)) return true;
    return false;
  }
  // A loaded program's line is written back even when it holds no bytes.
  bool IsWritten() const { return fromProgram || HasCode(); }
  void SetText(std::string_view t) { text = std::string(t); }
};

// BASIC reads line numbers up to 63999; a larger one cannot be typed in.
inline constexpr int32_t kFirstInvalidLineNumber = 64000;

// Messages about a line that more than one stage gives.
inline std::string OutOfOrderText(const BasLine& line) { return "Found out of order line " + line.text; }
inline const char* RanOffMemoryText() { return "Ran off end of memory!"; }

// A jump target's number as written: the reference's own digits while they
// still name the target ("GOTO 0100"), else the target's number.
inline std::string TargetNumberText(const BasElement& reference, const BasLine& target) {
  const std::string_view digits = reference.text;
  const bool numeric = !digits.empty() && digits.find_first_not_of("0123456789") == std::string::npos;
  return numeric && ReadLineNumber(digits) == target.lineNumber ? std::string(digits)
                                                                  : std::to_string(target.lineNumber);
}

}  // namespace vantrel
