// What the tokenizer notices in source text beyond its meaning: petcat's
// header and comment lines, text a petcat listing would read otherwise,
// characters a C64 line cannot hold as written, and "?" for PRINT.
#include <algorithm>

#include "basic/bas_program.h"
#include "basic/basic_keywords.h"
#include "text/char_class.h"
#include "text/text_ops.h"

namespace vantrel {

namespace {

bool IsTextKind(BasElementKind kind) {
  return kind == BasElementKind::Quoted || kind == BasElementKind::Remainder || kind == BasElementKind::DataItem;
}

bool HasLower(std::string_view text) {
  return std::any_of(text.begin(), text.end(), IsLower);
}

// Upper-case letters outside brace codes, which name bytes in any case.
bool HasUpperLetter(std::string_view text) {
  int depth = 0;
  for (char c : text) {
    if (c == '{') ++depth;
    else if (c == '}' && depth > 0) --depth;
    else if (depth == 0 && IsUpper(c)) return true;
  }
  return false;
}

}  // namespace

// petcat starts its listings with ";name ==0801==". That line is not BASIC;
// its address is the load address unless the source sets one itself.
bool BasProgram::TakePetcatHeader(const SourceLine& text) {
  const std::string_view line = TrimView(text);
  constexpr size_t kTail = 9;  // " ==0801=="
  if (line.size() < kTail + 1 || line[0] != ';' || !line.ends_with("==")) return false;
  const std::string_view tail = line.substr(line.size() - kTail);
  const std::string_view digits = tail.substr(3, 4);
  if (!tail.starts_with(" ==") || digits.find_first_not_of("0123456789abcdefABCDEF") != std::string_view::npos)
    return false;
  std::string address = "$";
  address += digits;
  ApplyLoadAddress(address, header_address_, text.pos);
  petcat_hint_done_ = true;
  return true;
}

// In a petcat listing a line starting with ";" is a comment.
bool BasProgram::IsPetcatComment(const SourceLine& text) {
  if (!TrimView(text).starts_with(';')) return false;
  if (petcat_text_) return true;
  HintPetcatOnce("a line starting with ; is a comment there", text.pos);
  return false;
}

// petcat lists pi as "~", and an apostrophe is the byte it is, not the
// start of a comment.
void BasProgram::ReadPetcatCharacter(BasElement& e) const {
  if (e.IsPunct('~')) e = {"~", BasElementKind::Token, kTokenPi};
  else if (e.kind == BasElementKind::Tick) e.kind = BasElementKind::Punct;
}

// petcat writes keywords in lower case and shifted letters in upper case;
// where a line looks like that, the default reading loses the shift.
void BasProgram::HintPetcat(const BasLine& line) {
  if (petcat_text_ || petcat_hint_done_) return;
  bool lower_keyword = false;
  bool upper_text = false;
  for (const BasElement& e : line.elements) {
    if (e.IsPunct('~')) HintPetcatOnce("~ is pi there", line.pos);
    if (e.kind == BasElementKind::Token && HasLower(e.text)) lower_keyword = true;
    if (IsTextKind(e.kind) && HasUpperLetter(e.text)) upper_text = true;
  }
  if (lower_keyword && upper_text) HintPetcatOnce("upper-case letters are shifted there", line.pos);
}

void BasProgram::HintPetcatOnce(const std::string& reason, SourcePos at) {
  if (petcat_text_ || petcat_hint_done_) return;
  petcat_hint_done_ = true;
  log_.ReportWarning(at, "As a petcat listing this text would read differently (" + reason +
                             "): if it is one, use -alpha:petcat");
}

// Blanks between elements are spaces only. In strings, REM and DATA a TAB
// is kept as its byte, and a CR, which no C64 line can hold, is dropped;
// both are reported. False when nothing is left of the element.
bool BasProgram::CleanElementText(BasElement& e, SourcePos at) {
  auto without = [](std::string_view text, std::string_view chars) {
    std::string kept(text);
    std::erase_if(kept, [chars](char c) { return chars.find(c) != std::string_view::npos; });
    return kept;
  };
  if (!IsTextKind(e.kind)) {
    if (e.kind != BasElementKind::Space && e.kind != BasElementKind::Brace && e.kind != BasElementKind::BadBrace)
      return true;
    // A directive's argument is read as written; the blanks go from the rest.
    const std::string_view head = e.text.substr(0, e.HasArgument() ? e.argument_at : e.text.size());
    if (head.find_first_of("\t\r\n") != std::string_view::npos) {
      std::string text = without(head, "\t\r\n");
      if (e.HasArgument()) e.argument_at -= static_cast<uint32_t>(head.size() - text.size());
      text += e.text.substr(head.size());
      e.text = texts_.Keep(text);
    }
    return !e.text.empty();
  }
  if (e.text.find('\t') != std::string::npos)
    log_.ReportWarning(at, "TAB in a string, REM or DATA is stored as byte $09; write {$09} to keep it without this warning");
  if (e.text.find_first_of("\r\n") != std::string::npos) {
    log_.ReportWarning(at, "Carriage return in a string, REM or DATA dropped; write {$0d} to keep the byte");
    e.text = texts_.Keep(without(e.text, "\r\n"));
  }
  return true;
}

// The C64's screen editor turns a typed "?" into PRINT; stored as a
// character it starts no statement. True for such a "?".
bool BasProgram::QuestionMarkStatement(const BasElement& e, bool& statement_start) {
  if (e.kind == BasElementKind::Space || e.kind == BasElementKind::Brace) return false;
  const bool question = statement_start && e.IsPunct('?');
  statement_start = e.IsPunct(':') || e.IsToken(kTokenThen);
  return question;
}

void BasProgram::WarnQuestionMark(SourcePos at) {
  log_.ReportWarning(at, 
      "\"?\" at the start of a statement stays a character, which the C64 reads as a syntax error: write PRINT, "
      "or use {shortkeywords:on}");
}

}  // namespace vantrel
