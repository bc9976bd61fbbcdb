// Choosing the dialect of a program, and telling the user when a loaded
// program looks like another one.
#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "basic/bas_program.h"
#include "basic/basic_keywords.h"
#include "text/text_ops.h"

namespace vantrel {

namespace {

std::string Join(const std::vector<std::string>& words, const std::string& separator) {
  std::string text;
  for (const std::string& w : words) text += (text.empty() ? "" : separator) + w;
  return text;
}

std::string DialectNames() {
  std::vector<std::string> names;
  for (const Dialect& d : Dialects()) names.emplace_back(d.name);
  return Join(names, ", ");
}

}  // namespace

bool BasProgram::SetDialect(std::string_view name, SourcePos at) {
  const Dialect* dialect = FindDialect(name);
  if (!dialect) return log_.ReportError(at, "Unknown BASIC dialect: " + Trim(name) + " (known: " + DialectNames() + ")");
  if (dialect == dialect_) return true;
  dialect_ = dialect;
  keywords_ = MakeKeywordTable(*dialect);
  return true;
}

namespace {

// The source text of the statement that starts at element `first`.
std::string StatementText(const std::vector<BasElement>& elements, size_t first) {
  std::string text;
  for (size_t i = first; i < elements.size() && !elements[i].IsPunct(':'); ++i) text += elements[i].text;
  return text;
}

// What follows a name that makes it a variable: DO=1, DO1=1, LOOP(2)=3, FAST$="".
bool VariableFollows(std::string_view rest) {
  size_t next = 0;
  while (next < rest.size() && std::isalnum(static_cast<unsigned char>(rest[next]))) ++next;
  next = rest.find_first_not_of(' ', next);
  return next != std::string_view::npos && std::string_view("=($%").find(rest[next]) != std::string_view::npos;
}

}  // namespace

// A statement that starts with a name which another dialect types as a
// keyword is a syntax error in this one: a listing of another BASIC read
// without its -dialect. Said once per run.
void BasProgram::HintOtherDialect(const BasLine& line) {
  if (dialect_hint_done_) return;
  bool statement_start = true;
  for (size_t i = 0; i < line.elements.size(); ++i) {
    const BasElement& e = line.elements[i];
    if (e.kind == BasElementKind::Space) continue;
    const bool starts = statement_start;
    statement_start = e.IsPunct(':') || e.IsToken(kTokenThen);
    if (!starts || e.kind != BasElementKind::Name) continue;
    const std::string text = StatementText(line.elements, i);
    const std::vector<ForeignKeyword> found = ForeignKeywordsAt(*dialect_, text, e.text.size() - 1);
    size_t longest = 0;
    for (const ForeignKeyword& k : found) longest = std::max(longest, k.length);
    if (longest == 0 || VariableFollows(std::string_view(text).substr(longest))) continue;
    std::vector<std::string> names;
    for (const ForeignKeyword& k : found)
      if (k.length == longest) names.emplace_back(k.dialect->name);
    dialect_hint_done_ = true;
    log_.ReportWarning(line.pos, UpperCopy(text.substr(0, longest)) + " is a keyword of " + Join(names, ", ") +
                                     ", not of " + std::string(dialect_->name) + ": -dialect:" + names.front() +
                                     " reads it as one");
    return;
  }
}

// The load address and the token codes are all a program says about the
// BASIC it was written in.
void BasProgram::WarnOtherDialect(uint16_t load_address, std::span<const std::string_view> bodies) {
  const CodeCensus census(bodies);
  const Dialect* likely = LikelyDialect(*dialect_, load_address, census);
  if (!likely) return;
  std::string reasons;
  if (likely->FitsAddress(load_address) && !dialect_->FitsAddress(load_address))
    reasons = "load address $" + Hex(load_address, 4) + ", ";
  if (const int32_t unknown = CountTokens(*dialect_, census).unknown; unknown > 0)
    reasons += std::to_string(unknown) + (unknown == 1 ? " code" : " codes") + " unknown to " +
               std::string(dialect_->name) + ", ";
  else if (const int32_t prefixed = CountTokens(*likely, census).prefixed; prefixed > 0)
    reasons += std::to_string(prefixed) + " of its two-byte codes, ";
  if (!reasons.empty()) reasons.replace(reasons.size() - 2, 2, "; ");
  log_.ReportWarning("Program looks like " + std::string(likely->description) + ": " + reasons + "-dialect:" +
                     std::string(likely->name) + " reads its keywords");
}

}  // namespace vantrel
