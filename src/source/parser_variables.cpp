#include "source/parser_variables.h"

#include "text/text_ops.h"

namespace vantrel {

bool ParserVariableTable::Define(std::string_view name, std::string_view value) {
  return values_.emplace(LowerCopy(name), std::string(value)).second;
}

bool ParserVariableTable::Undefine(std::string_view name) { return values_.erase(LowerCopy(name)) > 0; }

bool ParserVariableTable::IsDefined(std::string_view name) const {
  return values_.count(LowerCopy(name)) > 0;
}

std::string ParserVariableTable::Value(std::string_view name) const {
  auto it = values_.find(LowerCopy(name));
  return it == values_.end() ? std::string() : it->second;
}

}  // namespace vantrel
