#include "basic/line_numbering.h"

#include <algorithm>
#include <climits>

#include "text/number_reader.h"
#include "text/text_ops.h"

namespace vantrel {

namespace {

constexpr int32_t kLargestStorableNumber = 0xFFFF;

std::string InvalidNumberText(const BasLine& line) { return "Invalid line number: " + line.text; }

}  // namespace

int32_t ReadDirectiveNumber(std::string_view text) {
  std::string t = Trim(text);
  size_t i = 0;
  bool negative = false;
  if (i < t.size() && (t[i] == '-' || t[i] == '+')) negative = t[i++] == '-';
  const int64_t n = ReadDigits(std::string_view(t).substr(i), 10, INT_MAX).value;
  return static_cast<int32_t>(negative ? -n : n);
}

void LineNumbering::Reset() {
  previous_ = -1;
  next_ = 0;
  step_ = 1;
}

void LineNumbering::Check(const BasLine& line) {
  if (line.lineNumber > kLargestStorableNumber || line.lineNumber < 0) {
    // Sixteen bits cannot hold it; it would silently become another number.
    log_.ReportError(line.pos, InvalidNumberText(line));
  } else if (line.lineNumber >= kFirstInvalidLineNumber) {
    log_.ReportWarning(line.pos, InvalidNumberText(line));
  }
}

void LineNumbering::AssignNumbers(const std::vector<std::unique_ptr<BasLine>>& lines, LineIndex& index) {
  for (const auto& ptr : lines) {
    BasLine& line = *ptr;
    if (line.endOfProgram || !line.IsWritten()) continue;
    int32_t candidate = next_;
    previous_ = next_;
    next_ = static_cast<int32_t>(std::min<int64_t>(int64_t{next_} + step_, INT_MAX));
    if (line.lineNumber < 0 && line.text.empty()) {
      line.lineNumber = candidate;
      line.SetText(std::to_string(candidate));
      index.Add(line);
    } else if (line.lineNumber >= 0) {
      // A number below the running count was warned about when read; the
      // line keeps it, as loaded programs with lines out of order need.
      candidate = line.lineNumber;
    } else {
      log_.ReportError(line.pos, "Could not assign a line number");
    }
    Check(line);
    next_ = candidate == INT_MAX ? INT_MAX : candidate + 1;
  }
}

void LineNumbering::ApplyDirective(const BasElement& e, SourcePos at) {
  const int32_t n = ReadDirectiveNumber(e.Argument());
  switch (e.directive) {
    case TokenizerDirective::Number:
      if (n <= previous_) log_.ReportError(at, "Can't honor NUMBER directive for line " + std::to_string(n));
      next_ = n;
      break;
    case TokenizerDirective::Step:
      if (n < 1) log_.ReportError(at, "Can't honor STEP directive for line " + std::to_string(n));
      else step_ = n;
      break;
    case TokenizerDirective::Nice:
      if (n <= 0) log_.ReportError(at, "Can't honor NICE directive for line " + std::to_string(n));
      else if (next_ % n != 0) next_ = static_cast<int32_t>(std::min<int64_t>((int64_t{next_} / n + 1) * n, INT_MAX));
      break;
    default: break;
  }
}

void LineNumbering::Renumber(const std::vector<std::unique_ptr<BasLine>>& lines) {
  for (const auto& ptr : lines) {
    BasLine& line = *ptr;
    if (line.endOfProgram) continue;
    for (const BasElement& e : line.elements)
      if (e.kind == BasElementKind::Brace) ApplyDirective(e, line.pos);
    // "{:120}" labels written by the .lbl writer keep their numbers.
    if (line.lineNumber < 0 && line.text.size() > 3 && line.text.starts_with("{:") && line.text.back() == '}') {
      std::string inner = line.text.substr(2, line.text.size() - 3);
      int64_t n = 0;
      if (inner.find_first_not_of("-0123456789") == std::string::npos && ReadNumber(inner, n))
        next_ = static_cast<int32_t>(std::clamp<int64_t>(n, INT_MIN, INT_MAX));
    }
    if (!line.IsWritten()) continue;
    previous_ = next_;
    line.lineNumber = next_;
    line.text = std::to_string(next_);  // its index key stays, so references still find it
    next_ = static_cast<int32_t>(std::min<int64_t>(int64_t{next_} + step_, INT_MAX));
    Check(line);
  }
}

}  // namespace vantrel
