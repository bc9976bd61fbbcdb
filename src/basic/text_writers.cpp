// The .txt and .lbl writers: numbered lines, or labels only on the lines
// something jumps to.
#include <algorithm>

#include "basic/bas_program.h"
#include "image/output_file.h"
#include "text/text_ops.h"

namespace vantrel {

namespace {

// Blanks at either end of a line would be trimmed away when the text is
// read again; written as byte codes they come back.
bool IsEdgeSpace(const BasLine& line, size_t i) {
  const auto& el = line.elements;
  if (el[i].kind != BasElementKind::Space) return false;
  auto shows = [](const BasElement& e) { return e.kind != BasElementKind::Consumed && e.kind != BasElementKind::Brace; };
  bool first = std::none_of(el.begin(), el.begin() + static_cast<long>(i), shows);
  bool last = std::none_of(el.begin() + static_cast<long>(i) + 1, el.end(), shows);
  return first || last;
}

std::string SpacesAsCodes(size_t n) {
  std::string out;
  for (size_t i = 0; i < n; ++i) out += "{$20}";
  return out;
}

}  // namespace

std::string BasProgram::JoinElements(const BasLine& line, bool labels) const {
  std::string out;
  for (size_t i = 0; i < line.elements.size(); ++i) {
    const BasElement& e = line.elements[i];
    if (!line.generated && (e.kind == BasElementKind::Brace || e.kind == BasElementKind::Consumed)) continue;
    if (!line.generated && IsEdgeSpace(line, i)) {
      out += SpacesAsCodes(e.text.size());
      continue;
    }
    if (e.kind != BasElementKind::Label) {
      out += e.text;
      continue;
    }
    if (const BasLine* target = ResolveReference(e)) {
      // A loaded program keeps its numbers, so its own digits ("0010") stand.
      if (labels) out += target->text;
      else out += e.raw ? e.text : std::to_string(target->lineNumber);
    } else {
      out += UnresolvedReferenceText(e);
    }
  }
  return out;
}

bool BasProgram::WriteText(const std::string& path, bool overwrite, const std::string& text,
                           const char* console_message, const std::string& file_message) {
  loader_.Log().ReportInfo(IsConsoleName(path) ? std::string(console_message) : file_message);
  return SaveTextOutput(loader_.Log(), path, overwrite, text);
}

// A loaded line with no bytes has no text form the tokenizer would keep.
void BasProgram::WarnEmptyLines() {
  for (const auto& line : lines_) {
    if (line->fromProgram && !line->HasCode()) {
      loader_.Warning("Line " + line->text + " holds nothing and will be dropped when this text is tokenized");
      return;
    }
  }
}

bool BasProgram::WriteTxt(const std::string& path, bool overwrite) {
  WarnEmptyLines();
  std::string text = supervariables_.Enabled() ? supervariables_.Definitions() : std::string();
  for (const auto& line : lines_) {
    // A loaded line with no bytes has no text that would read back as a line.
    if (line->endOfProgram || !(line->generated || line->HasCode())) continue;
    if (!line->generated) text += line->text + " ";
    text += JoinElements(*line, false) + "\n";
  }
  return WriteText(path, overwrite, text, "==> Exporting txt format", "==> Saving in txt format: " + path);
}

// Referenced lines are named {:number}; every other line loses its number,
// for good: nothing that needs the old numbers runs after this writer.
void BasProgram::Relabel() {
  for (auto& line : lines_) {
    if (line->endOfProgram || !line->IsWritten()) continue;
    if (line->referenced && (line->lineNumber >= 0 || !line->text.empty())) {
      line->text = "{:" + std::to_string(line->lineNumber) + "}";
    } else {
      line->text.clear();
      line->lineNumber = -1;
    }
  }
}

bool BasProgram::WriteLbl(const std::string& path, bool overwrite) {
  WarnEmptyLines();
  Relabel();
  std::string text = supervariables_.Enabled() ? supervariables_.Definitions() : std::string();
  for (const auto& line : lines_) {
    if (line->endOfProgram) continue;
    if (line->referenced && !line->text.empty()) text += line->text + "\n";
    if (line->generated || line->HasCode()) {
      text += '\t';
      text += JoinElements(*line, true);
      text += '\n';
    }
  }
  return WriteText(path, overwrite, text, "==> Exporting lbl format", "==> Saving in label format: " + path);
}

}  // namespace vantrel
