// text/hi_string.h: the program's string types. Text is 8-bit bytes with no
// encoding: PETSCII and host text travel through the same strings.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vantrel {

class HiString : public std::string {
 public:
  using std::string::string;
  HiString() = default;
  HiString(const std::string& s) : std::string(s) {}
  HiString(std::string&& s) : std::string(std::move(s)) {}
  HiString(std::string_view s) : std::string(s) {}
  virtual ~HiString() = default;
  HiString(const HiString&) = default;
  HiString(HiString&&) = default;
  HiString& operator=(const HiString&) = default;
  HiString& operator=(HiString&&) = default;
};

// An inclusive span of positions in a text; kNone in either end means none.
struct TextSpan {
  static constexpr uint32_t kNone = 0xFFFFFFFFu;
  uint32_t first = kNone;
  uint32_t last = kNone;

  bool IsNone() const { return first == kNone || last == kNone || last < first; }
};

// A text with a selection span. Trimming drops the span.
class HiText : public std::string {
 public:
  using std::string::string;
  HiText() = default;
  HiText(const std::string& s) : std::string(s) {}
  HiText(std::string_view s) : std::string(s) {}
  virtual ~HiText() = default;
  HiText(const HiText&) = default;
  HiText(HiText&&) = default;
  HiText& operator=(const HiText&) = default;
  HiText& operator=(HiText&&) = default;

  TextSpan span;

  void Trim();
  // The characters the span covers; a span past the end stops at the end.
  std::string SpanText() const;
};

}  // namespace vantrel
