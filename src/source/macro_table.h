// source/macro_table.h: the lines set aside between {macro} and {endmacro},
// and the table the finished definitions are filed in by name.
#pragma once

#include <map>
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

}  // namespace vantrel
