#include "source/directives.h"

#include "text/number_reader.h"
#include "text/text_ops.h"

namespace vantrel {

std::string_view ToText(TokensPreProc token) {
  for (const PreProcRow& row : kTokensPreProc)
    if (row.token == token) return row.keyword;
  return "!!Undefined token in TokensPreProc::ToText!!";
}

std::optional<TokensPreProc> FindDirective(std::string_view keyword) {
  for (const PreProcRow& row : kTokensPreProc)
    if (EqualsNoCase(row.keyword, keyword)) return row.token;
  return std::nullopt;
}

bool SplitDirective(std::string_view token, DirectiveParts& parts) {
  if (token.size() < 2 || token.front() != '{' || token.back() != '}') return false;
  std::string_view inner = token.substr(1, token.size() - 2);
  size_t colon = inner.find(':');
  if (colon == std::string_view::npos) {
    parts.keyword = Trim(inner);
    parts.argument.clear();
  } else {
    parts.keyword = Trim(inner.substr(0, colon));
    parts.argument = Trim(inner.substr(colon + 1));
  }
  return true;
}

BraceSearch FindBraceToken(std::string_view text, size_t from, size_t& first, size_t& last) {
  if (text.size() < 2) return BraceSearch::None;
  first = text.find('{', from);
  if (first == std::string_view::npos) return BraceSearch::None;
  int32_t depth = 0;
  for (size_t i = first; i < text.size(); ++i) {
    if (text[i] == '{') ++depth;
    else if (text[i] == '}' && --depth == 0) {
      last = i;
      return BraceSearch::Found;
    }
  }
  return BraceSearch::Unclosed;
}


bool ReadRadixValue(std::string_view text, int base, int32_t& value) {
  size_t pos = FirstNotOf(text, kBlankChars);
  if (pos == kNotFound) {
    value = 0;
    return text.empty();
  }
  bool negative = false;
  if (text[pos] == '+' || text[pos] == '-') negative = text[pos++] == '-';
  // "0x" counts as a prefix only when a hex digit follows, as in strtol.
  if (base == 16 && pos + 2 < text.size() && text[pos] == '0' && (text[pos + 1] | 0x20) == 'x' &&
      DigitValue(text[pos + 2]) < 16)
    pos += 2;
  constexpr int64_t kTooBig = (int64_t{1} << 31) + 1;
  const DigitRun run = ReadDigits(text.substr(pos), base, kTooBig);
  if (run.length == 0 || pos + run.length != text.size() || run.value == kTooBig) return false;
  int64_t signed_value = negative ? -run.value : run.value;
  if (signed_value > INT32_MAX || signed_value < INT32_MIN) return false;
  value = static_cast<int32_t>(signed_value);
  return true;
}

}  // namespace vantrel
