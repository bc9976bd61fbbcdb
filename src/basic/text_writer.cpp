#include "basic/text_writer.h"

#include "basic/basic_keywords.h"
#include "basic/byte_code.h"
#include "basic/text_pieces.h"
#include "text/text_ops.h"

namespace vantrel {

namespace {

// A loaded element's text as pieces: its name or punctuation character by
// character, a token as its keyword, anything else as it stands.
void AddPieces(const BasElement& e, std::vector<TextPiece>& pieces) {
  using Kind = TextPiece::Kind;
  const bool plain = e.raw && e.text.size() == e.raw->size() &&
                     (e.kind == BasElementKind::Name || e.kind == BasElementKind::Punct);
  if (plain) {
    for (size_t i = 0; i < e.text.size(); ++i) {
      const uint8_t b = static_cast<uint8_t>((*e.raw)[i]);
      // Names are raised when read, so a lower-case byte needs its code.
      pieces.push_back({Kind::Plain, std::string(1, e.text[i]), b, b >= 'a' && b <= 'z'});
    }
  } else if (e.raw && e.kind == BasElementKind::Token && e.raw->size() <= 2 && !e.text.starts_with("{") &&
             e.value != kTokenPi) {  // pi is a character, whose "~" no keyword starts
    pieces.push_back({Kind::Keyword, e.text, e.value, false});
  } else {
    pieces.push_back({Kind::Fixed, e.text, 0, false});
  }
}

// Blanks at either end of a line are trimmed away when the text is read
// again (also those that end a REM or an unclosed string); as byte codes
// they come back.
std::string CodeEdgeBlanks(const std::string& body) {
  const size_t first = body.find_first_not_of(' ');
  if (first == std::string::npos) return ByteCodes(' ', body.size());
  const size_t last = body.find_last_not_of(' ');
  return ByteCodes(' ', first) + body.substr(first, last + 1 - first) + ByteCodes(' ', body.size() - last - 1);
}

}  // namespace

std::string TextWriter::JoinElements(const BasLine& line, bool labels) const {
  std::vector<TextPiece> pieces;
  for (const BasElement& e : line.elements) {
    if (!line.generated && (e.kind == BasElementKind::Brace || e.kind == BasElementKind::Consumed)) continue;
    if (e.kind != BasElementKind::Label) {
      AddPieces(e, pieces);
      continue;
    }
    const BasLine* target = index_.Find(ReferenceKey(e));
    std::string text = !target ? UnresolvedReferenceText(e) : labels ? LabelText(*target) : TargetNumberText(e, *target);
    pieces.push_back({TextPiece::Kind::Fixed, std::move(text), 0, false});
  }
  const std::string body = JoinReadably(std::move(pieces), keywords_);
  return line.generated ? body : CodeEdgeBlanks(body);
}

const BasLine* TextWriter::FirstEmptyLine() const {
  for (const auto& line : lines_)
    if (line->fromProgram && !line->HasCode()) return line.get();
  return nullptr;
}

std::string TextWriter::Txt() const {
  std::string text;
  for (const auto& line : lines_) {
    // A loaded line with no bytes has no text that would read back as a line.
    if (line->endOfProgram || !(line->generated || line->HasCode())) continue;
    if (!line->generated) text += line->text + " ";
    text += JoinElements(*line, false) + "\n";
  }
  return text;
}

// In label form a referenced line with code is named {:number} and every
// other such line loses its number; lines without code keep their names.
std::string TextWriter::LabelText(const BasLine& line) {
  if (line.endOfProgram || !line.IsWritten()) return line.text;
  std::string label;
  if (line.referenced && (line.lineNumber >= 0 || !line.text.empty()))
    ((label = "{:") += std::to_string(line.lineNumber)) += '}';
  return label;
}

std::string TextWriter::Lbl() const {
  std::string text;
  for (const auto& line : lines_) {
    if (line->endOfProgram) continue;
    if (const std::string label = LabelText(*line); line->referenced && !label.empty()) text += label + "\n";
    if (line->generated || line->HasCode()) {
      text += '\t';
      text += JoinElements(*line, true);
      text += '\n';
    }
  }
  return text;
}

}  // namespace vantrel
