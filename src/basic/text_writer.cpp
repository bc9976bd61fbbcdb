#include "basic/text_writer.h"

#include <deque>

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
  const std::optional<std::string_view> raw = e.Raw();
  const bool plain = raw && e.text.size() == raw->size() &&
                     (e.kind == BasElementKind::Name || e.kind == BasElementKind::Punct);
  if (plain) {
    for (size_t i = 0; i < e.text.size(); ++i) {
      const uint8_t b = static_cast<uint8_t>((*raw)[i]);
      // Names are raised when read, so a lower-case byte needs its code.
      pieces.push_back({Kind::Plain, std::string_view(e.text).substr(i, 1), b, b >= 'a' && b <= 'z'});
    }
  } else if (raw && e.kind == BasElementKind::Token && raw->size() <= 2 && !e.text.starts_with("{") &&
             e.value != kTokenPi) {  // pi is a character, whose "~" no keyword starts
    pieces.push_back({Kind::Keyword, e.text, e.value, false});
  } else {
    pieces.push_back({Kind::Fixed, e.text, 0, false});
  }
}

// Blanks at either end of a line are trimmed away when the text is read
// again (also those that end a REM or an unclosed string); as byte codes
// they come back.
void AppendWithCodedEdgeBlanks(std::string_view body, std::string& out) {
  const size_t first = body.find_first_not_of(' ');
  if (first == std::string_view::npos) {
    out += ByteCodes(' ', body.size());
    return;
  }
  const size_t last = body.find_last_not_of(' ');
  if (first > 0) out += ByteCodes(' ', first);
  out += body.substr(first, last + 1 - first);
  if (last + 1 < body.size()) out += ByteCodes(' ', body.size() - last - 1);
}

}  // namespace

void TextWriter::AppendElements(const BasLine& line, bool labels, std::string& out) const {
  pieces_.clear();
  // Label texts stay put while the pieces view them.
  std::deque<std::string> label_texts;
  for (const BasElement& e : line.elements) {
    if (!line.generated && (e.kind == BasElementKind::Brace || e.kind == BasElementKind::Consumed)) continue;
    if (e.kind != BasElementKind::Label) {
      AddPieces(e, pieces_);
      continue;
    }
    const BasLine* target = index_.Find(ReferenceKey(e));
    label_texts.push_back(!target ? UnresolvedReferenceText(e)
                          : labels ? LabelText(*target)
                                   : TargetNumberText(e, *target));
    pieces_.push_back({TextPiece::Kind::Fixed, label_texts.back(), 0, false});
  }
  const std::string body = JoinReadably(pieces_, keywords_);
  if (line.generated) out += body;
  else AppendWithCodedEdgeBlanks(body, out);
}

// Room for the text at once: it is about as long as the elements' texts.
size_t TextWriter::SizeGuess() const {
  size_t size = 0;
  for (const auto& line : lines_) {
    size += line->text.size() + 2;
    for (const BasElement& e : line->elements) size += e.text.size();
  }
  return size + size / 8;
}

const BasLine* TextWriter::FirstEmptyLine() const {
  for (const auto& line : lines_)
    if (line->fromProgram && !line->HasCode()) return line.get();
  return nullptr;
}

std::string TextWriter::Txt() const {
  std::string text;
  text.reserve(SizeGuess());
  for (const auto& line : lines_) {
    // A loaded line with no bytes has no text that would read back as a line.
    if (line->endOfProgram || !(line->generated || line->HasCode())) continue;
    if (!line->generated) (text += line->text) += ' ';
    AppendElements(*line, false, text);
    text += '\n';
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
  text.reserve(SizeGuess());
  for (const auto& line : lines_) {
    if (line->endOfProgram) continue;
    if (const std::string label = LabelText(*line); line->referenced && !label.empty()) text += label + "\n";
    if (line->generated || line->HasCode()) {
      text += '\t';
      AppendElements(*line, true, text);
      text += '\n';
    }
  }
  return text;
}

}  // namespace vantrel
