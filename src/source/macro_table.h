// source/macro_table.h: the lines set aside between {macro} and {endmacro},
// and the table the finished definitions are filed in by name.
#pragma once

#include <map>
#include <string_view>
#include <string>
#include <vector>

#include "source/source_line.h"

namespace vantrel {

struct MacroDefinition {
  std::string name;
  std::vector<std::string> parameters;
  LineBlock body;

  void Reset() { *this = MacroDefinition(); }
};

using MacroTable = std::map<std::string, MacroDefinition>;

// Reads "name" or "name(p1, p2)" from {macro:...} into `out` (the name in
// lower case: calls match it in any case); false when it is not that form.
bool ReadMacroHeading(std::string_view text, MacroDefinition& out);

}  // namespace vantrel
