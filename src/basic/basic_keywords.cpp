#include "basic/basic_keywords.h"

#include "text/text_ops.h"

namespace vantrel {

TokenTable MakeKeywordTable() {
  TokenTable table;
  for (const KeywordRow& row : kBasic2Keywords) table.Add(row.code, row.name);
  return table;
}

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
