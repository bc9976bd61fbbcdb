#include "basic/basic_keywords.h"

#include <array>

#include "text/text_ops.h"

namespace vantrel {

namespace {

constexpr auto kKeywordRows = [] {
  std::array<TokenRow, std::size(kBasic2Keywords)> rows{};
  for (size_t i = 0; i < rows.size(); ++i) rows[i] = {kBasic2Keywords[i].code, kBasic2Keywords[i].name, true};
  return rows;
}();
constexpr auto kKeywordTable = FreezeTokens<kKeywordRows.size(), kKeywordRows.size()>(kKeywordRows, false);

}  // namespace

TokenTable MakeKeywordTable() { return TokenTable(kKeywordTable); }

TokenMatch MatchKeywordShortcut(const TokenTable& keywords, std::string_view line, size_t pos) {
  if (pos < line.size() && line[pos] == '?') return {kTokenPrint, 1};
  return keywords.MatchShortcut(line, pos);
}

TokenizerDirective FindTokenizerDirective(std::string_view name) {
  for (const DirectiveRow& row : kDirectiveNames)
    if (EqualsNoCase(row.name, name)) return row.code;
  return TokenizerDirective::Pi;
}

}  // namespace vantrel
