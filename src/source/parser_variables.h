// source/parser_variables.h: the named texts set by {def} and -def, tested
// by {ifdef}/{ifndef} and inserted by {usedef}. Names ignore case and the
// first definition of a name wins.
#pragma once

#include <map>
#include <string>
#include <string_view>

namespace vantrel {

class ParserVariableTable {
 public:
  // False when the name is already defined; the old value then stays.
  bool Define(std::string_view name, std::string_view value);
  // False when the name was not defined.
  bool Undefine(std::string_view name);
  bool IsDefined(std::string_view name) const;
  // Empty when the name is not defined.
  std::string Value(std::string_view name) const;

 private:
  std::map<std::string, std::string> values_;
};

}  // namespace vantrel
