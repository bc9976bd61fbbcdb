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
  std::string reasons;
  if (likely->FitsAddress(load_address) && !dialect_->FitsAddress(load_address))
    reasons = "load address $" + Hex(load_address, 4) + ", ";
  if (const int32_t unknown = CountTokens(*dialect_, bodies).unknown; unknown > 0)
    reasons += std::to_string(unknown) + (unknown == 1 ? " code" : " codes") + " unknown to " +
               std::string(dialect_->name) + ", ";
  else if (const int32_t prefixed = CountTokens(*likely, bodies).prefixed; prefixed > 0)
    reasons += std::to_string(prefixed) + " of its two-byte codes, ";
  if (!reasons.empty()) reasons.replace(reasons.size() - 2, 2, "; ");
  loader_.Warning("Program looks like " + std::string(likely->description) + ": " + reasons + "-dialect:" +
                  std::string(likely->name) + " reads its keywords");
}

}  // namespace vantrel
