#include "basic/basic_keywords.h"

namespace vantrel {

TokenTable MakeKeywordTable() {
  TokenTable table;
  for (const KeywordRow& row : kBasic2Keywords) table.Add(row.code, row.name);
  return table;
}

TokenTable MakeDirectiveTable() {
  TokenTable table;
  table.SetCaseInsensitive();
  for (const DirectiveRow& row : kDirectiveNames) table.Add(static_cast<int32_t>(row.code), row.name);
  return table;
}

}  // namespace vantrel
