// Choosing the dialect of a program, and telling the user when a loaded
// program looks like another one.
#include <string>
#include <vector>

#include "basic/bas_program.h"
#include "text/text_ops.h"

namespace vantrel {

namespace {

std::string DialectNames() {
  std::string names;
  for (const Dialect& d : Dialects()) names += (names.empty() ? "" : ", ") + std::string(d.name);
  return names;
}

}  // namespace

bool BasProgram::SetDialect(std::string_view name) {
  const Dialect* dialect = FindDialect(name);
  if (!dialect) return loader_.Error("Unknown BASIC dialect: " + Trim(name) + " (known: " + DialectNames() + ")");
  if (dialect == dialect_) return true;
  dialect_ = dialect;
  keywords_ = MakeKeywordTable(*dialect);
  return true;
}

// The load address and the token codes are all a program says about the
// BASIC it was written in.
void BasProgram::WarnOtherDialect(uint16_t load_address) {
  std::vector<std::string> bodies;
  for (const auto& line : lines_) {
    if (!line->fromProgram) continue;
    std::string bytes;
    for (const BasElement& e : line->elements) bytes += e.raw.value_or(std::string());
    bodies.push_back(std::move(bytes));
  }
  const Dialect* likely = LikelyDialect(*dialect_, load_address, bodies);
  if (!likely) return;
  int32_t unknown = 0;
  for (const std::string& bytes : bodies) unknown += UnknownTokens(*dialect_, bytes);
  std::string evidence = "Load address $" + Hex(load_address, 4);
  if (unknown > 0) evidence += " and " + std::to_string(unknown) + " codes unknown to " + std::string(dialect_->description);
  loader_.Warning(evidence + " point to " + std::string(likely->description) + ": -dialect:" +
                  std::string(likely->name) + " reads its keywords");
}

}  // namespace vantrel
