#include "d64/c64_names.h"

#include "text/byte_code.h"
#include "text/text_ops.h"

namespace vantrel {

namespace {

// ASCII characters whose PETSCII code differs, as cc1541 converts them:
// PETSCII has no lower-case range of its own and puts its graphics where
// ASCII has these signs.
struct SignRow {
  char ascii;
  uint8_t petscii;
};

inline constexpr SignRow kTypedSigns[] = {
    {'_', 0xA4}, {'`', 0x40}, {'{', 0x5B}, {'|', 0x5C}, {'}', 0x5D}, {'~', 0xFF},
};

// The way back: one text per code, so that the text types back to it.
inline constexpr SignRow kShownSigns[] = {{'_', 0xA4}, {'~', 0xFF}};

constexpr uint8_t kShiftedA = 0xC1;
constexpr uint8_t kShiftedZ = 0xDA;
constexpr uint8_t kPad = 0xA0;  // ends a name in a directory entry

uint8_t PetsciiOfChar(char c) {
  const auto byte = static_cast<uint8_t>(c);
  if (c >= 'a' && c <= 'z') return static_cast<uint8_t>(byte - 0x20);
  if (c >= 'A' && c <= 'Z') return static_cast<uint8_t>(byte + 0x80);
  for (const SignRow& row : kTypedSigns)
    if (row.ascii == c) return row.petscii;
  return byte;
}

// Empty when the byte has no character of its own.
std::string ShownChar(uint8_t byte) {
  if (byte >= 'A' && byte <= 'Z') return std::string(1, static_cast<char>(byte + 0x20));
  if (byte >= kShiftedA && byte <= kShiftedZ) return std::string(1, static_cast<char>(byte - 0x80));
  for (const SignRow& row : kShownSigns)
    if (row.petscii == byte) return std::string(1, row.ascii);
  if (byte >= 0x20 && byte <= 0x5E && byte != '"') return std::string(1, static_cast<char>(byte));
  return {};
}

uint8_t FoldCase(uint8_t byte) {
  if (byte >= kShiftedA && byte <= kShiftedZ) return static_cast<uint8_t>(byte - 0x80);
  if (byte >= 0x61 && byte <= 0x7A) return static_cast<uint8_t>(byte - 0x20);  // shifted letters, second copy
  return byte;
}

}  // namespace

std::string PetsciiFromTyped(std::string_view typed) {
  std::string bytes;
  for (size_t i = 0; i < typed.size();) {
    uint8_t escaped = 0;
    if (ReadByteCode(typed, i, escaped)) {
      bytes += static_cast<char>(escaped);
      i += 5;
    } else {
      bytes += static_cast<char>(PetsciiOfChar(typed[i++]));
    }
  }
  return bytes;
}

std::string TypedFromPetscii(std::string_view petscii) {
  std::string text;
  for (char c : petscii) {
    const std::string shown = ShownChar(static_cast<uint8_t>(c));
    text += shown.empty() ? ByteCode(static_cast<uint8_t>(c)) : shown;
  }
  return text;
}

std::string QuotedName(std::string_view petscii) {
  std::string text = "\"";
  text += TypedFromPetscii(petscii);
  return text += '"';
}

std::string HostNameOf(std::string_view petscii) {
  std::string name;
  for (size_t i = 0; i < petscii.size(); ++i) {
    const auto byte = static_cast<uint8_t>(petscii[i]);
    // A leading dot would hide the file, and "/" would name a folder.
    if (byte == '/' || (i == 0 && byte == '.')) name += ByteCode(byte);
    else name += TypedFromPetscii(petscii.substr(i, 1));
  }
  return name;
}

std::string NewNameRefusal(std::string_view petscii) {
  if (petscii.empty()) return kNoFilenameText;
  if (petscii.size() > kMaxC64NameLength) return "Name is longer than 16 characters";
  if (petscii.find_first_of("*?") != std::string_view::npos) return kWildcardNameText;
  // The drive takes the first $A0 for the end of the name.
  if (petscii.find(static_cast<char>(kPad)) != std::string_view::npos) return "Name can't contain {$a0}";
  return {};
}

bool SameLettersAnyCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (FoldCase(static_cast<uint8_t>(a[i])) != FoldCase(static_cast<uint8_t>(b[i]))) return false;
  return true;
}

std::string FoldedLetters(std::string_view petscii) {
  std::string folded(petscii);
  for (char& c : folded) c = static_cast<char>(FoldCase(static_cast<uint8_t>(c)));
  return folded;
}

}  // namespace vantrel
