// petscii/alpha_mode.h: how the letters of source text relate to PETSCII
// letters (AlphaMode), and the letter case for keywords and variable names
// in text output (CharacterCase), with their text forms and readers.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vantrel {

// The values are fixed: the option reader yields 1 to 9 or 11, or 10 for a
// bad name.
enum class AlphaMode : int32_t {
  None = 0,
  Ascii = 1,
  Normal = 2,
  Lazy = 3,
  Alt = 4,
  Poke = 5,
  PokeAlt = 6,
  Upper = 7,
  Lower = 8,
  Invert = 9,
  Error = 10,
  // VICE petcat's listings: lower case unshifted, upper case shifted, and
  // "~" for pi, in strings, REM and DATA alike.
  Petcat = 11,
};

enum class CharacterCase : int32_t { Invalid = 0, Lower = 1, Upper = 2, Auto = 3 };

std::string ToString(AlphaMode mode);
// Compares without regard to case; Error for an unknown name.
AlphaMode ReadAlphaMode(std::string_view text);

std::string ToString(CharacterCase letter_case);
// l, lo, lower, u, up, upper, auto in any case; Invalid otherwise.
CharacterCase ReadCharacterCase(std::string_view text);
// Lower lowers the ASCII letters, Upper raises them, the others keep them.
std::string ApplyCase(CharacterCase letter_case, std::string_view text);

// A text character to the PETSCII byte it stands for in `mode`.
uint8_t AlphaIn(AlphaMode mode, uint8_t c);
// A PETSCII byte to the text character written for it in `mode`.
uint8_t AlphaOut(AlphaMode mode, uint8_t b);
// REM text is not quoted text: in some modes its letters follow simpler
// rules. A REM or DATA character to the byte it is stored as, and a stored
// byte to its character.
uint8_t RemarkIn(AlphaMode mode, uint8_t c);
uint8_t RemarkOut(AlphaMode mode, uint8_t b);
// The screen code (what POKE puts in screen memory) of a PETSCII byte in the
// two Poke modes; other modes keep the byte.
uint8_t ScreenCode(AlphaMode mode, uint8_t b);

}  // namespace vantrel
