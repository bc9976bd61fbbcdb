#include "basic/basic_keywords.h"

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

TokenTable MakeDirectiveTable() {
  TokenTable table;
  table.SetCaseInsensitive();
  for (const DirectiveRow& row : kDirectiveNames) table.Add(static_cast<int32_t>(row.code), row.name);
  return table;
}

}  // namespace vantrel
