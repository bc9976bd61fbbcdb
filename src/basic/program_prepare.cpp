// Preparing the program for output: jump targets become references, REM
// removal, crunching and spacing, and line numbers.
#include <algorithm>

#include "basic/bas_program.h"
#include "basic/basic_keywords.h"
#include "basic/byte_code.h"
#include "image/binary_writers.h"
#include "text/text_ops.h"

namespace vantrel {

namespace {

bool IsSpaceOrConsumed(const BasElement& e) {
  return e.kind == BasElementKind::Space || e.kind == BasElementKind::Consumed;
}

// Trailing colons and blanks write bytes that do nothing.
void ConsumeTrailing(BasLine& line) {
  for (auto it = line.elements.rbegin(); it != line.elements.rend(); ++it) {
    if (it->kind == BasElementKind::Consumed) continue;
    if (it->kind != BasElementKind::Space && !it->IsPunct(':')) break;
    it->kind = BasElementKind::Consumed;
  }
}

bool SpaceAfter(const BasElement& e) {
  switch (e.kind) {
    case BasElementKind::Quoted:
    case BasElementKind::Digits:
    case BasElementKind::Name:
    case BasElementKind::Label: return true;
    case BasElementKind::Punct: return e.value == ')';
    case BasElementKind::Token:
      return e.value == kTokenTo || e.value == kTokenThen || e.value == 0xA8 || e.value == 0xA9 ||
             e.value == 0xAF || e.value == 0xB0 || e.value == kTokenGo || (e.value >= 0x80 && e.value <= 0xA2);
    default: return false;
  }
}

bool SpaceBefore(const BasElement& e) {
  switch (e.kind) {
    // A DATA item keeps the blanks written before it.
    case BasElementKind::Quoted:
    case BasElementKind::DataItem: return !e.text.starts_with(' ');
    case BasElementKind::Digits:
    case BasElementKind::Name:
    case BasElementKind::Label: return true;
    case BasElementKind::Punct: return e.value == '(' || e.value == ':';
    case BasElementKind::Token:
      // Operators sit between their operands without blanks.
      return !((e.value >= 0xAA && e.value <= 0xAE) || (e.value >= 0xB1 && e.value <= 0xB3));
    default: return false;
  }
}

}  // namespace

bool BasProgram::WriteIntoMemory() {
  if (options_.notBasic) return true;
  if (!Prepare()) return false;
  memory_.Clear();
  return !HasStatements() || WriteLines();
}

bool BasProgram::Prepare() {
  for (auto& line : lines_) MakeReferences(*line);
  RemoveRems();
  LinkLabelLines();
  CrunchAndSpace();
  if (renumber_requested_) numbering_.Renumber(lines_);
  else if (!loaded_from_program_) numbering_.AssignNumbers(lines_, index_);
  WarnMissingTargets();
  for (auto& line : lines_)
    if (!line->endOfProgram && line->IsWritten() && line->lineNumber < 0)
      log_.ReportError(line->pos, "Missing line number. Please add one or request a {renumber}.");
  return !log_.ErrorFlag();
}

bool BasProgram::ExtractProgram() {
  return ExtractUsed(log_, memory_, program_file_);
}

void BasProgram::RemoveRems() {
  for (auto& ptr : lines_) {
    BasLine& line = *ptr;
    auto& el = line.elements;
    bool removed = false;
    for (size_t i = 0; i < el.size(); ++i) {
      if (el[i].IsDirective(TokenizerDirective::RemRemoval)) {
        SetSwitch(options_.remRemoval, el[i].Argument(), "REM Removal", line.pos);
      } else if (options_.remRemoval && (el[i].kind == BasElementKind::Tick || el[i].IsToken(kTokenRem))) {
        el.erase(el.begin() + static_cast<long>(i), el.end());
        removed = true;
      }
    }
    std::erase_if(el, [](const BasElement& e) { return e.kind == BasElementKind::Consumed; });
    // Only a line that lost its REM loses the colon before it; other lines
    // keep their bytes exactly.
    if (removed) ConsumeTrailing(line);
  }
}

void BasProgram::CrunchAndSpace() {
  for (auto& ptr : lines_) {
    BasLine& line = *ptr;
    for (const BasElement& e : line.elements) {
      if (e.IsDirective(TokenizerDirective::Crunch)) SetSwitch(options_.crunch, e.Argument(), "Crunch", line.pos);
      if (e.IsDirective(TokenizerDirective::AutoSpace))
        SetSwitch(options_.autospace, e.Argument(), "AutoSpace", line.pos);
    }
    if (options_.crunch || options_.autospace) CrunchLine(line);
    if (options_.autospace) SpaceLine(line);
  }
  crunched_ = crunched_ || options_.crunch;
}

void BasProgram::CrunchLine(BasLine& line) {
  std::erase_if(line.elements, IsSpaceOrConsumed);
  ConsumeTrailing(line);
}

void BasProgram::SpaceLine(BasLine& line) {
  std::vector<BasElement> spaced;
  for (BasElement& e : line.elements) {
    if (e.kind == BasElementKind::Consumed) continue;
    if (!spaced.empty() && SpaceAfter(spaced.back()) && SpaceBefore(e))
      spaced.push_back({" ", BasElementKind::Space, ' '});
    spaced.push_back(std::move(e));
  }
  line.elements = std::move(spaced);
}

bool BasProgram::SetSwitch(bool& option, std::string_view argument, const char* label, SourcePos at) {
  const std::string word = LowerCopy(Trim(argument));
  if (IsTrueWord(word) || IsFalseWord(word)) {
    option = IsTrueWord(word);
    return log_.ReportInfo(at, std::string(label) + " mode " + (option ? "turned on" : "turned off"));
  }
  return log_.ReportError(at, std::string(label) + " mode directive error");
}

}  // namespace vantrel
