#include "petscii/alpha_mode.h"

#include <iterator>

#include "text/text_ops.h"

namespace vantrel {

namespace {

struct AlphaName {
  AlphaMode mode;
  std::string_view name;
};

constexpr AlphaName kAlphaNames[] = {
    {AlphaMode::Ascii, "Ascii"}, {AlphaMode::Normal, "Normal"}, {AlphaMode::Lazy, "Lazy"},
    {AlphaMode::Alt, "Alt"},     {AlphaMode::Poke, "Poke"},     {AlphaMode::PokeAlt, "PokeAlt"},
    {AlphaMode::Upper, "Upper"}, {AlphaMode::Lower, "Lower"},   {AlphaMode::Invert, "Invert"},
    {AlphaMode::Petcat, "Petcat"},
};

// petcat lists pi ($FF) as "~"; the byte "~" ($7E) shows pi too but is not
// what the C64 types for it.
constexpr uint8_t kPetcatPi = '~';
constexpr uint8_t kPi = 0xFF;

bool InRange(uint8_t c, uint8_t first, uint8_t last) { return c >= first && c <= last; }
bool IsUpper(uint8_t c) { return InRange(c, 'A', 'Z'); }
bool IsLower(uint8_t c) { return InRange(c, 'a', 'z'); }
// $C1-$DA are the shifted letters: capitals in the C64's lower-case set.
bool IsShifted(uint8_t c) { return InRange(c, 0xC1, 0xDA); }

}  // namespace

std::string ToString(AlphaMode mode) {
  if (mode == AlphaMode::None) return "None";
  for (const AlphaName& row : kAlphaNames)
    if (row.mode == mode) return std::string(row.name);
  return "!!!ERROR in AlphaMode::ToString!!!";
}

AlphaMode ReadAlphaMode(std::string_view text) {
  for (const AlphaName& row : kAlphaNames)
    if (EqualsNoCase(text, row.name)) return row.mode;
  return AlphaMode::Error;
}

std::string ToString(CharacterCase letter_case) {
  switch (letter_case) {
    case CharacterCase::Lower: return "Lower";
    case CharacterCase::Upper: return "Upper";
    case CharacterCase::Auto: return "Auto";
    default: return "!! ERROR IN CharacterCase !!";
  }
}

CharacterCase ReadCharacterCase(std::string_view text) {
  std::string word = LowerCopy(text);
  if (word == "l" || word == "lo" || word == "lower") return CharacterCase::Lower;
  if (word == "u" || word == "up" || word == "upper") return CharacterCase::Upper;
  if (word == "auto") return CharacterCase::Auto;
  return CharacterCase::Invalid;
}

std::string ApplyCase(CharacterCase letter_case, std::string_view text) {
  if (letter_case == CharacterCase::Lower) return LowerCopy(text);
  if (letter_case == CharacterCase::Upper) return UpperCopy(text);
  return std::string(text);
}

uint8_t AlphaIn(AlphaMode mode, uint8_t c) {
  switch (mode) {
    case AlphaMode::Normal:
    case AlphaMode::Lazy:
    case AlphaMode::Poke:
    case AlphaMode::Lower:
      return IsLower(c) ? c - 0x20 : c;
    case AlphaMode::Petcat:
      if (c == kPetcatPi) return kPi;
      [[fallthrough]];
    case AlphaMode::Alt:
      if (IsLower(c)) return c - 0x20;
      return IsUpper(c) ? c + 0x80 : c;
    case AlphaMode::Upper:
      if (IsLower(c)) return c + 0x60;
      return IsUpper(c) ? c + 0x80 : c;
    case AlphaMode::Invert:
      if (IsLower(c)) return c - 0x20;
      return IsUpper(c) ? c + 0x20 : c;
    default:
      return c;
  }
}

uint8_t AlphaOut(AlphaMode mode, uint8_t b) {
  switch (mode) {
    case AlphaMode::Normal:
    case AlphaMode::Lazy:
    case AlphaMode::Poke:
    case AlphaMode::Upper:
      if (IsShifted(b)) return b - 0x80;
      return IsLower(b) ? b - 0x20 : b;
    case AlphaMode::Petcat:
      if (b == kPi) return kPetcatPi;
      [[fallthrough]];
    case AlphaMode::Alt:
      if (IsShifted(b)) return b - 0x80;
      if (IsLower(b)) return b - 0x20;
      return IsUpper(b) ? b + 0x20 : b;
    case AlphaMode::Lower:
      if (IsShifted(b)) return b - 0x60;
      return IsUpper(b) ? b + 0x20 : b;
    case AlphaMode::Invert:
      if (IsLower(b)) return b - 0x20;
      return IsUpper(b) ? b + 0x20 : b;
    default:
      return b;
  }
}

uint8_t RemarkIn(AlphaMode mode, uint8_t c) {
  switch (mode) {
    case AlphaMode::Lazy:
    case AlphaMode::Poke:
      return IsLower(c) ? c - 0x20 : c;
    // A REM holds its letters as a string does: "rem IEC" and "IEC" in
    // quotes give the same bytes.
    case AlphaMode::Alt:
    case AlphaMode::Petcat:
      return AlphaIn(mode, c);
    case AlphaMode::Upper:
    case AlphaMode::Lower:
    case AlphaMode::Invert:
      if (IsLower(c)) return c - 0x20;
      return IsUpper(c) ? c + 0x20 : c;
    default:
      return c;
  }
}

uint8_t RemarkOut(AlphaMode mode, uint8_t b) { return AlphaOut(mode, b); }

// The character ROM orders the glyphs differently from PETSCII: the letters
// $40-$5F sit at screen codes $00-$1F, and the graphics that PETSCII has
// twice ($60-$7F and $C0-$DF, $A0-$BF and $E0-$FE) share one screen code.
// Control codes have no glyph and give 0 (@).
uint8_t ScreenCode(AlphaMode mode, uint8_t b) {
  if (mode != AlphaMode::Poke && mode != AlphaMode::PokeAlt) return b;
  const bool alt = mode == AlphaMode::PokeAlt;
  if (b < 0x20) return 0;
  if (b < 0x40) return b;
  if (b < 0x60) return alt ? b : b - 0x40;
  if (b < 0x80) return alt ? b - 0x60 : b - 0x20;
  if (b < 0xA0) return 0;
  if (b < 0xC0) return b - 0x40;
  if (b < 0xFF) return b - 0x80;
  return 0x5E;
}

}  // namespace vantrel
