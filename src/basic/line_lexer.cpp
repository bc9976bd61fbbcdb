#include "basic/line_lexer.h"

#include "basic/basic_keywords.h"
#include "text/char_class.h"
#include "text/quote_scanner.h"
#include "text/number_reader.h"
#include "text/text_ops.h"

namespace vantrel {

namespace {

// "{:name}" is a label, "{$41}" or "{65}" a byte, anything else a name with
// an optional ":argument" after it.
BasElement ReadBrace(BasElement e) {
  const std::string_view inside = std::string_view(e.text).substr(1, e.text.size() - 2);
  int64_t byte = 0;
  if (inside.starts_with(':')) {
    e.brace = BraceKind::Label;
  } else if (ReadNumber(inside, byte) && byte >= 0 && byte < 256) {
    e.brace = BraceKind::Byte;
    e.value = static_cast<int32_t>(byte);
  } else {
    const size_t colon = inside.find(':');
    e.directive = FindTokenizerDirective(Trim(inside.substr(0, colon)));
    if (colon != std::string_view::npos) e.argument_at = static_cast<uint32_t>(colon + 2);
  }
  return e;
}
}  // namespace

BasElement LineLexer::Take(BasElementKind kind, size_t length, int32_t value) {
  BasElement e{line_.substr(pos_, length), kind, value};
  pos_ += length;
  return e;
}

TokenMatch LineLexer::MatchKeyword(size_t pos) const {
  if (mode_ == Mode::Bytes) return {};
  return mode_ == Mode::TextShortcuts ? MatchKeywordShortcut(keywords_, line_, pos) : keywords_.MatchKeyword(line_, pos);
}

BasElement LineLexer::Next(bool rest_of_line, bool in_data) {
  last_start_ = pos_;
  if (in_data) return NextDataItem();
  if (pos_ >= line_.size() || line_[pos_] == '\0') return {"", BasElementKind::End, 0};
  if (rest_of_line) return Take(BasElementKind::Remainder, line_.size() - pos_, 0);

  const char c = line_[pos_];
  const uint8_t b = static_cast<uint8_t>(c);
  if (c == '"') return NextQuoted();
  if (c == '\'') return Take(BasElementKind::Tick, 1, b);
  // Braces are a text notation; in program bytes "{" is just a character.
  if (c == '{' && mode_ != Mode::Bytes) return NextBrace();
  // In program bytes only $20 is a blank; the others are control codes.
  if (IsBlank(c) && (mode_ != Mode::Bytes || c == ' ')) {
    size_t end = line_.find_first_not_of(mode_ == Mode::Bytes ? " " : " \t\n\r", pos_);
    return Take(BasElementKind::Space, (end == std::string_view::npos ? line_.size() : end) - pos_, ' ');
  }
  // A dialect's prefix byte and the byte after it are one token.
  if (mode_ == Mode::Bytes && keywords_.IsPrefix(b) && pos_ + 1 < line_.size()) {
    const int32_t code = b << 8 | static_cast<uint8_t>(line_[pos_ + 1]);
    if (keywords_.FindName(code)) return Take(BasElementKind::Token, 2, code);
  }
  if (b < 32) return Take(BasElementKind::Control, 1, b);
  if (IsDigit(c)) {
    size_t end = pos_;
    while (end < line_.size() && IsDigit(line_[end])) ++end;
    return Take(BasElementKind::Digits, end - pos_, 0);
  }
  if (b >= 128) return Take(BasElementKind::Token, 1, b);
  if (TokenMatch m = MatchKeyword(pos_)) return Take(BasElementKind::Token, m.length, m.code);
  if (IsLetter(c)) return Take(BasElementKind::Name, NameLength(), 0);
  return Take(BasElementKind::Punct, 1, b);
}

// A name runs over letters until one of them starts a keyword: FORI is FOR
// and I, AGOTO is A and GOTO, just as the C64 reads them.
size_t LineLexer::NameLength() const {
  size_t end = pos_ + 1;
  while (end < line_.size() && IsLetter(line_[end]) && !MatchKeyword(end)) ++end;
  return end - pos_;
}

BasElement LineLexer::NextQuoted() {
  size_t close = line_.find('"', pos_ + 1);
  size_t end = close == std::string_view::npos ? line_.size() : close + 1;
  return Take(BasElementKind::Quoted, end - pos_, '"');
}

BasElement LineLexer::NextBrace() {
  int depth = 0;
  for (size_t i = pos_; i < line_.size(); ++i) {
    if (line_[i] == '{') ++depth;
    else if (line_[i] == '}' && --depth == 0) return ReadBrace(Take(BasElementKind::Brace, i + 1 - pos_, 0));
  }
  return Take(BasElementKind::BadBrace, line_.size() - pos_, 0);
}

// DATA items run to the next "," or ":" outside quotes, as the C64 reads
// them. The C64 stores the blanks around an item too: text keeps them in the
// item, program bytes leave them to LastSpan().
BasElement LineLexer::NextDataItem() {
  if (pos_ >= line_.size() || line_[pos_] == '\0') return {"", BasElementKind::End, 0};
  const char c = line_[pos_];
  if (c == ',' || c == ':') return Take(BasElementKind::Punct, 1, static_cast<uint8_t>(c));
  // In program bytes only $20 is a blank; CR, LF and TAB are data.
  const std::string_view blanks = mode_ == Mode::Bytes ? std::string_view(" ") : kBlankChars;
  size_t start = line_.find_first_not_of(blanks, pos_);
  size_t end = pos_;
  QuoteScanner quotes;
  for (; end < line_.size() && line_[end] != '\0'; ++end)
    if (quotes.Outside(line_[end]) && (line_[end] == ',' || line_[end] == ':')) break;
  std::string_view item = line_.substr(pos_, end - pos_);
  const size_t first = item.find_first_not_of(blanks);
  if (mode_ == Mode::Bytes)
    item = first == std::string_view::npos ? std::string_view() : item.substr(first, item.find_last_not_of(blanks) - first + 1);
  pos_ = end;
  bool is_quoted = start != std::string_view::npos && start < end && line_[start] == '"';
  return {item, is_quoted ? BasElementKind::Quoted : BasElementKind::DataItem, 0};
}

}  // namespace vantrel
