#include "text/text_ops.h"

#include <sys/stat.h>

#include "text/char_class.h"
#include "text/quote_scanner.h"

namespace vantrel {

std::string_view TrimView(std::string_view text) {
  size_t first = 0;
  size_t end = text.size();
  while (first < end && IsBlank(text[first])) ++first;
  while (end > first && IsBlank(text[end - 1])) --end;
  return text.substr(first, end - first);
}

std::string Trim(std::string_view text) { return std::string(TrimView(text)); }

std::string UpperCopy(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = ToUpper(c);
  return out;
}

std::string LowerCopy(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = ToLower(c);
  return out;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && LowerCopy(a) == LowerCopy(b);
}

std::string Repeat(char c, size_t n) { return std::string(n, c); }

std::string Centre(std::string_view text, size_t width, char fill) {
  if (text.size() >= width) return std::string(text);
  size_t left = (width - text.size()) / 2;
  if (left == 0) return std::string(text);
  size_t right = width - left - text.size();
  return std::string(left, fill) + std::string(text) + std::string(right, fill);
}

std::string StripPair(std::string_view text, char open, char close) {
  if (text.size() >= 2 && text.front() == open && text.back() == close)
    return std::string(text.substr(1, text.size() - 2));
  return std::string(text);
}

std::string RemoveChar(std::string_view text, char c) {
  std::string out;
  out.reserve(text.size());
  for (char ch : text)
    if (ch != c) out += ch;
  return out;
}

size_t FindOutsideQuotes(std::string_view text, std::string_view set, size_t start) {
  QuoteScanner quotes("\"'");
  // Most callers look for one character; comparing it directly keeps the
  // scan from calling into the library for every character.
  const bool one = set.size() == 1;
  const char wanted = one ? set[0] : '\0';
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (quotes.Outside(c) && i >= start && (one ? c == wanted : set.find(c) != std::string_view::npos)) return i;
  }
  return kNotFound;
}

bool NextField(std::string_view text, std::string_view delims, TextSpan& span, char& delim) {
  // An empty field has last == first - 1, so last + 2 is always past its delimiter.
  size_t start = span.first == TextSpan::kNone ? 0 : static_cast<uint32_t>(span.last + 2);
  delim = 0;
  if (start >= text.size()) return false;
  size_t end = FindOutsideQuotes(text, delims, start);
  if (end == kNotFound) end = text.size();
  else delim = text[end];
  span.first = static_cast<uint32_t>(start);
  span.last = static_cast<uint32_t>(end - 1);
  return true;
}

std::vector<HiText> Split(std::string_view text, std::string_view delims, bool keep_empty) {
  std::vector<HiText> fields;
  size_t start = 0;
  while (true) {
    size_t end = text.find_first_of(delims, start);
    std::string_view field = text.substr(start, end == std::string_view::npos ? text.npos : end - start);
    if (keep_empty || !field.empty()) fields.emplace_back(field);
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  return fields;
}

size_t FirstOf(std::string_view text, std::string_view set, size_t start) {
  size_t pos = text.find_first_of(set, start);
  return pos == std::string_view::npos ? kNotFound : pos;
}

size_t FirstNotOf(std::string_view text, std::string_view set, size_t start) {
  size_t pos = text.find_first_not_of(set, start);
  return pos == std::string_view::npos ? kNotFound : pos;
}

bool IsConsoleName(std::string_view path) { return LowerCopy(path) == "con"; }

bool IsFalseWord(std::string_view text) {
  return text == "off" || text == "no" || text == "false" || text == "0" || text == "n" || text == "f";
}

bool IsTrueWord(std::string_view text) {
  return text == "on" || text == "yes" || text == "true" || text == "1" || text == "y" || text == "t";
}

bool RegularFileExists(const std::string& path) {
  struct stat st {};
  return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string CountOf(size_t count, std::string_view noun) {
  std::string text = std::to_string(count);
  (text += ' ') += noun;
  if (count != 1) text += 's';
  return text;
}

std::string Hex(uint64_t value, int digits) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string out;
  do {
    out.insert(out.begin(), kDigits[value & 0xF]);
    value >>= 4;
  } while (value != 0);
  if (static_cast<int>(out.size()) < digits) out.insert(0, digits - out.size(), '0');
  return out;
}

void HiText::Trim() {
  *this = HiText(vantrel::Trim(*this));
  span = TextSpan{};
}

std::string HiText::SpanText() const {
  if (span.IsNone() || span.first >= size()) return {};
  size_t last = span.last >= size() ? size() - 1 : span.last;
  return substr(span.first, last - span.first + 1);
}

}  // namespace vantrel
