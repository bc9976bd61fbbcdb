#include "petscii/petscii_codes.h"

#include <algorithm>

#include "log/msg_log.h"
#include "text/number_reader.h"
#include "text/text_ops.h"

namespace vantrel {

namespace {

// Counts and numeric codes stop at a byte: anything larger is refused
// rather than allocated.
constexpr int32_t kTooBig = 0x100;
constexpr size_t kMaxCount = 0xFF;

// Reads the digits that start `text` in `base`; nullopt when there are none.
// Text after the digits is ignored ({12abc} is 12): stored sources use it.
std::optional<int32_t> LeadingNumber(std::string_view text, int base) {
  const DigitRun run = ReadDigits(text, base, kTooBig);
  if (run.length == 0) return std::nullopt;
  return static_cast<int32_t>(run.value);
}

bool ReadCount(std::string_view text, size_t& count) {
  const DigitRun run = ReadDigits(text, 10, kMaxCount + 1);
  count = static_cast<size_t>(run.value);
  return !text.empty() && run.length == text.size() && count <= kMaxCount;
}

std::optional<KeyModifier> ModifierOf(int32_t code) {
  switch (code) {
    case kModifierLift: return KeyModifier::None;
    case kModifierShift: return KeyModifier::Shift;
    case kModifierCommodore: return KeyModifier::Commodore;
    case kModifierCtrl: return KeyModifier::Ctrl;
    default: return std::nullopt;
  }
}

// Printable ASCII that a C64 has no key for, or that text uses for braces.
bool StandsForItself(uint8_t b) {
  return b >= 0x20 && b <= 0x7E && std::string_view("\\_`{|}~").find(static_cast<char>(b)) == std::string_view::npos;
}

// Bytes that even -crsr cannot write raw: CR, LF and TAB split or vanish
// from a text line, and "{" would open a brace code.
bool BreaksTextLine(uint8_t b) { return b == '\r' || b == '\n' || b == '\t' || b == '{'; }

std::string HexName(uint8_t b) {
  std::string name = "$";
  name += Hex(b, 2);
  return name;
}

std::string Braced(std::string_view name) {
  std::string text = "{";
  text += name;
  text += '}';
  return text;
}

}  // namespace

namespace {

constexpr auto kQuoterRows = [] {
  std::array<TokenRow, std::size(kQuoterNames)> rows{};
  for (size_t i = 0; i < rows.size(); ++i)
    rows[i] = {kQuoterNames[i].code, kQuoterNames[i].name, kQuoterNames[i].kind == NameKind::Primary};
  return rows;
}();
constexpr auto kQuoterTable = FreezeTokens<kQuoterRows.size(), CountPrimaries(kQuoterRows)>(kQuoterRows, true);

}  // namespace

PetsciiCodes::PetsciiCodes(MsgLog& log) : log_(log), quoter_(kQuoterTable) {}

void PetsciiCodes::SetAlpha(AlphaMode mode, bool chosen) {
  if (mode == AlphaMode::Error) return;
  alpha_ = mode;
  alpha_chosen_ = chosen;
}

bool PetsciiCodes::SetAlphaMode(std::string_view name, MsgLog& log, SourcePos at) {
  AlphaMode mode = ReadAlphaMode(name);
  if (mode == AlphaMode::Error) return log.ReportError(at, "Error in Alpha directive");
  alpha_ = mode;
  alpha_chosen_ = true;
  if (mode == AlphaMode::Invert)
    return log.ReportWarning(at, "Setting Alpha mode to deprecated Invert mode. Consider using Alt or Lazy");
  return log.ReportInfo(at, "Setting Alpha handling mode to " + ToString(mode));
}

uint8_t PetsciiCodes::KeyCode(uint8_t code, KeyModifier modifier) const {
  uint8_t c = AlphaIn(code);
  if (modifier != KeyModifier::None)
    if (const KeyRow* key = FindKey(c)) c = KeyLayer(*key, modifier);
  return ScreenCode(alpha_, c);
}

// petcat writes every byte it has no letter for as a code, so its codes are
// bytes; the other modes pass codes through AlphaIn as typed characters.
uint8_t PetsciiCodes::CodeByte(uint8_t code, KeyModifier modifier) const {
  if (alpha_ != AlphaMode::Petcat) return KeyCode(code, modifier);
  if (modifier != KeyModifier::None)
    if (const KeyRow* key = FindKey(code)) return KeyLayer(*key, modifier);
  return code;
}

bool PetsciiCodes::TextToPetscii(std::string_view text, std::string& bytes) const {
  bytes.clear();
  KeyModifier modifier = KeyModifier::None;
  for (size_t i = 0; i < text.size();) {
    if (text[i] != '{') {
      bytes += static_cast<char>(KeyCode(static_cast<uint8_t>(text[i]), modifier));
      ++i;
      continue;
    }
    size_t close = text.find('}', i + 1);
    if (close == std::string_view::npos || !AppendBrace(text.substr(i + 1, close - i - 1), modifier, bytes)) {
      bytes.clear();
      return false;
    }
    i = close + 1;
  }
  return true;
}

// One brace code "name", "name:count" or petcat's "count name": a modifier
// for the rest of the string, or count copies of a byte.
bool PetsciiCodes::AppendBrace(std::string_view inside, KeyModifier& modifier, std::string& bytes) const {
  size_t colon = inside.find(':');
  std::optional<int32_t> code;
  const size_t blank = inside.find(' ');
  if (colon == std::string_view::npos && blank != std::string_view::npos && blank > 0 &&
      inside.find_first_not_of("0123456789") == blank) {
    // "{3 down}": a number in front of a name is a count ("{12abc}" stays 12).
    code = BraceCode(LowerCopy(inside.substr(blank + 1)));
    size_t count = 0;
    if (code && !ModifierOf(*code) && *code >= 0 && *code <= 0xFF && ReadCount(inside.substr(0, blank), count)) {
      bytes.append(count, static_cast<char>(CodeByte(static_cast<uint8_t>(*code), modifier)));
      return true;
    }
  }
  code = BraceCode(LowerCopy(inside.substr(0, colon)));
  if (!code) return false;
  if (auto new_modifier = ModifierOf(*code)) {
    if (colon != std::string_view::npos) return false;
    modifier = *new_modifier;
    return true;
  }
  if (*code < 0 || *code > 0xFF) return false;
  size_t count = 1;
  if (colon != std::string_view::npos && !ReadCount(inside.substr(colon + 1), count)) return false;
  bytes.append(count, static_cast<char>(CodeByte(static_cast<uint8_t>(*code), modifier)));
  return true;
}

// A lowered brace name: a number ($ hex, % binary, else decimal) when it
// starts with digits, else a quoter table name.
std::optional<int32_t> PetsciiCodes::BraceCode(std::string_view name) const {
  const Notation n = SplitNotation(name);
  if (auto number = LeadingNumber(n.digits, n.base)) return number;
  if (auto code = quoter_.FindCode(name)) return code;
  return PetcatAlias(name);
}

std::optional<uint8_t> PetsciiCodes::PetcatAlias(std::string_view name) const {
  if (quoter_.HasName(name)) return std::nullopt;
  return petcat::Code(LowerCopy(name));
}

std::string PetsciiCodes::PetsciiToText(std::string_view bytes, std::string_view line) {
  std::string text;
  if (!translate_codes_) {
    for (char c : bytes) {
      const uint8_t b = static_cast<uint8_t>(c);
      text += BreaksTextLine(b) ? Braced(HexName(b)) : std::string(1, static_cast<char>(AlphaOut(b)));
    }
    return text;
  }
  for (size_t i = 0; i < bytes.size();) {
    const char b = bytes[i];
    ByteText form = TextOf(static_cast<uint8_t>(b), line);
    size_t run = 1;
    if (count_repeats_ && !form.brace_name.empty())
      while (i + run < bytes.size() && bytes[i + run] == b && run < kMaxCount) ++run;
    if (run > 1) {
      text += '{';
      text += form.brace_name;
      text += ':';
      text += std::to_string(run);
      text += '}';
    } else {
      text += form.text;
    }
    i += run;
  }
  return text;
}

// The form the quoter writes by habit: a brace name, the alpha mode's
// letter, the character itself, or {$xx}.
PetsciiCodes::ByteText PetsciiCodes::WrittenForm(uint8_t b) const {
  if (auto name = quoter_.FindName(b)) return {Braced(*name), *name};
  if (uint8_t out = AlphaOut(b); out != b) return {std::string(1, static_cast<char>(out)), {}};
  if (StandsForItself(b)) return {std::string(1, static_cast<char>(b)), {}};
  return {Braced(HexName(b)), HexName(b)};
}

bool PetsciiCodes::ReadsBackAs(const ByteText& form, uint8_t b) const {
  std::string bytes;
  return TextToPetscii(form.text, bytes) && bytes.size() == 1 && static_cast<uint8_t>(bytes[0]) == b;
}

// Text and brace codes both pass through AlphaIn, so a mode that folds two
// bytes onto one letter (Lazy folds $61-$7A onto $41-$5A) leaves some bytes
// without any form that reads back. Those are written as {$xx} and reported.
PetsciiCodes::ByteText PetsciiCodes::TextOf(uint8_t b, std::string_view line) {
  ByteText written = WrittenForm(b);
  if (ReadsBackAs(written, b)) return written;
  ByteText numeric{Braced(HexName(b)), HexName(b)};
  if (ReadsBackAs(numeric, b)) return numeric;
  if (uint8_t out = AlphaOut(b); StandsForItself(out)) {
    ByteText letter{std::string(1, static_cast<char>(out)), {}};
    if (ReadsBackAs(letter, b)) return letter;
  }
  ReportLoss(b, line);
  // Screen codes have no reverse at all: keep the habitual form there.
  return (alpha_ == AlphaMode::Poke || alpha_ == AlphaMode::PokeAlt) ? written : numeric;
}

void PetsciiCodes::ReportLoss(uint8_t b, std::string_view line) {
  if (loss_reported_ && line == loss_line_) return;
  loss_reported_ = true;
  loss_line_ = line;
  std::string text = "String byte $";
  text += Hex(b, 2);
  if (!line.empty()) {
    text += " in line ";
    text += line;
  }
  text += " has no text form that converts back to it in alpha mode ";
  text += ToString(alpha_);
  text += "; such strings will change when the text is tokenized again. Use -alpha:ascii to keep them exact";
  log_.ReportWarning(text);
}

}  // namespace vantrel
