// Line numbers and labels: registering lines in the index, jump targets
// turned into references, label-only lines linked to the code after them.
#include "basic/bas_program.h"
#include "basic/basic_keywords.h"
#include "text/text_ops.h"

namespace vantrel {

void BasProgram::RegisterLine(BasLine& line) {
  if (line.text.empty()) return;
  if (line.lineNumber < 0) renumber_requested_ = true;  // labelled sources are always renumbered
  if (!index_.Add(line))
    log_.ReportWarning(line.pos, (line.lineNumber < 0 ? "Label has already been declared: " : "Line number re-use: ") +
                                     line.text);
}

BasLine* BasProgram::FindTarget(const std::string& key) const { return index_.Find(key); }

const BasLine* BasProgram::ResolveReference(const BasElement& element) const {
  return FindTarget(ReferenceKey(element));
}

// A jump target found is marked; a numeric target that names no line keeps
// its digits (GOTO to a missing line is legal BASIC), a label cannot.
bool BasProgram::MarkTarget(BasElement& e, SourcePos at) {
  const std::string key = ReferenceKey(e);
  if (BasLine* target = FindTarget(key)) {
    target->referenced = true;
    e.kind = BasElementKind::Label;
    e.value = static_cast<int32_t>(LabelHash(key));
    return true;
  }
  if (e.kind == BasElementKind::Label) return log_.ReportError(at, TargetNotFoundText(e));
  missing_targets_.push_back({at, key, TargetNotFoundText(e)});
  return false;
}

void BasProgram::WarnMissingTargets() {
  for (const MissingTarget& m : missing_targets_)
    if (!FindTarget(m.key)) log_.ReportWarning(m.at, m.text);
  missing_targets_.clear();
}

void BasProgram::MakeReferences(BasLine& line) {
  bool target = false;
  bool on_list = false;
  for (size_t i = 0; i < line.elements.size(); ++i) {
    BasElement& e = line.elements[i];
    switch (e.kind) {
      case BasElementKind::Digits:
      case BasElementKind::Label:
        if (target) MarkTarget(e, line.pos);
        break;
      case BasElementKind::Space:
      case BasElementKind::Consumed:
      case BasElementKind::Brace:
        break;
      case BasElementKind::Punct:
        if (e.value == ':') target = on_list = false;
        else if (e.value == ',' && !on_list) target = false;
        break;
      case BasElementKind::Token:
        if (e.value == kTokenGoto || e.value == kTokenGosub || e.value == kTokenThen) {
          target = true;
        } else if (e.value == kTokenTo && i > 0 && PreviousIsGo(line, i)) {
          target = true;
        } else if (e.value == kTokenOn) {
          on_list = true;
          target = false;
        } else if (e.value != kTokenGo) {
          target = false;
        }
        break;
      case BasElementKind::Name: target = false; break;
      default: target = on_list = false; break;
    }
  }
}

bool BasProgram::PreviousIsGo(const BasLine& line, size_t i) const {
  while (i-- > 0) {
    const BasElement& e = line.elements[i];
    if (e.kind == BasElementKind::Space || e.kind == BasElementKind::Consumed) continue;
    return e.IsToken(kTokenGo);
  }
  return false;
}

// A label-only line stands for the next line with code.
void BasProgram::LinkLabelLines() {
  BasLine* next_code = nullptr;
  for (auto it = lines_.rbegin(); it != lines_.rend(); ++it) {
    BasLine& line = **it;
    if (line.endOfProgram) continue;
    if (line.IsWritten()) {
      next_code = &line;
      continue;
    }
    line.codeLine = next_code;
    if (line.referenced && next_code) next_code->referenced = true;
  }
}

void BasProgram::AssignLabel(const std::string& argument, SourcePos at) {
  const size_t eq = argument.find('=');
  const std::string name = Trim(argument.substr(0, eq));
  const std::string value = eq == std::string::npos ? std::string() : Trim(argument.substr(eq + 1));
  const std::string text = "{:" + LowerCopy(name) + "}";
  bool ok = true;
  if (index_.Has(text)) ok = log_.ReportError(at, "Label was already assigned: " + text);
  if (value.empty() || value.find_first_not_of("+0123456789.") != std::string::npos)
    ok = log_.ReportError(at, "Line number assignment is non-numeric: " + argument);
  if (ok) index_.Assign(text, ReadDirectiveNumber(value));
}

std::string BasProgram::LabelAssignmentText(const BasLine& line) const {
  if (line.lineNumber >= 0 || !line.text.starts_with("{:")) return {};
  const BasLine* target = line.IsWritten() ? &line : line.codeLine;
  int32_t number = target ? target->lineNumber : -1;
  std::string name = line.text.substr(2, line.text.size() - 3);
  std::string shown = number < 0 ? "<line number not found>"
                      : number >= kFirstInvalidLineNumber ? "<invalid line number>"
                                                          : std::to_string(number);
  return "{assign:" + name + "=" + shown + "}";
}

std::vector<std::string> BasProgram::LabelAssignments() const {
  std::vector<std::string> texts;
  for (const auto& line : lines_) texts.push_back(LabelAssignmentText(*line));
  return texts;
}

}  // namespace vantrel
