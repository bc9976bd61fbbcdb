// petscii/petscii_names.h: the brace names of PETSCII codes ({clear}, {red},
// {shift}...) and the C64 keyboard's SHIFT, Commodore and CTRL layers, as
// constant data for the quoter table and KeyCode.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <optional>
#include <string_view>

namespace vantrel {

// Brace names that give no byte but change how the following characters of
// the string are typed. They lie above any byte so that they never collide.
inline constexpr int32_t kModifierLift = 65520;
inline constexpr int32_t kModifierShift = 65521;
inline constexpr int32_t kModifierCommodore = 65522;
inline constexpr int32_t kModifierCtrl = 65523;

enum class KeyModifier { None, Shift, Commodore, Ctrl };

// A Primary name is the output form of its code; an Alias is read only. The
// table is built in row order, each alias right after its primary name.
enum class NameKind { Primary, Alias };

struct QuoterRow {
  int32_t code;
  std::string_view name;
  NameKind kind;
};

inline constexpr QuoterRow kQuoterNames[] = {
    // Function keys: f2, f4, f6, f8 are the shifted f1, f3, f5, f7.
    {0x85, "f1", NameKind::Primary},
    {0x89, "f2", NameKind::Primary},
    {0x86, "f3", NameKind::Primary},
    {0x8A, "f4", NameKind::Primary},
    {0x87, "f5", NameKind::Primary},
    {0x8B, "f6", NameKind::Primary},
    {0x88, "f7", NameKind::Primary},
    {0x8C, "f8", NameKind::Primary},
    {0x03, "stop", NameKind::Primary},
    {0x03, "runstop", NameKind::Alias},
    {0x8D, "shft ret", NameKind::Primary},
    {0x8D, "shift return", NameKind::Alias},
    // Disable and enable the SHIFT+Commodore switch of the character set.
    {0x08, "switchdisable", NameKind::Primary},
    {0x08, "switchdis", NameKind::Alias},
    {0x09, "switchenable", NameKind::Primary},
    {0x09, "switchena", NameKind::Alias},
    {0x0E, "lowercase", NameKind::Primary},
    {0x0E, "lower", NameKind::Alias},
    {0x8E, "uppercase", NameKind::Primary},
    {0x8E, "upper", NameKind::Alias},
    // Cursor movement and screen editing.
    {0x9D, "left", NameKind::Primary},
    {0x9D, "lt", NameKind::Alias},
    {0x1D, "right", NameKind::Primary},
    {0x1D, "rt", NameKind::Alias},
    {0x91, "up", NameKind::Primary},
    {0x11, "down", NameKind::Primary},
    {0x11, "dn", NameKind::Alias},
    {0x13, "home", NameKind::Primary},
    {0x93, "clear", NameKind::Primary},
    {0x93, "clr", NameKind::Alias},
    {0x94, "insert", NameKind::Primary},
    {0x94, "inst", NameKind::Alias},
    {0x14, "backspace", NameKind::Primary},
    {0x14, "bksp", NameKind::Alias},
    {0x14, "delete", NameKind::Alias},
    {0x14, "del", NameKind::Alias},
    {0x12, "rvrs on", NameKind::Primary},
    {0x12, "rvs on", NameKind::Alias},
    {0x12, "reverse on", NameKind::Alias},
    {0x92, "rvrs off", NameKind::Primary},
    {0x92, "rvs off", NameKind::Alias},
    {0x92, "reverse off", NameKind::Alias},
    // The sixteen colours (CTRL 1-8 and Commodore 1-8).
    {0x90, "black", NameKind::Primary},
    {0x05, "white", NameKind::Primary},
    {0x1C, "red", NameKind::Primary},
    {0x1C, "ctrl ^", NameKind::Alias},
    {0x1C, "ctrl up arrow", NameKind::Alias},
    {0x1C, "ctrl pound", NameKind::Alias},
    {0x1C, "control pound", NameKind::Alias},
    {0x1E, "green", NameKind::Primary},
    {0x1F, "blue", NameKind::Primary},
    {0x9C, "purple", NameKind::Primary},
    {0x9E, "yellow", NameKind::Primary},
    {0x9F, "cyan", NameKind::Primary},
    {0x81, "orange", NameKind::Primary},
    {0x95, "brown", NameKind::Primary},
    {0x96, "lt. red", NameKind::Primary},
    {0x96, "lt red", NameKind::Alias},
    {0x96, "ltred", NameKind::Alias},
    {0x96, "light red", NameKind::Alias},
    {0x99, "lt. green", NameKind::Primary},
    {0x99, "lt green", NameKind::Alias},
    {0x99, "ltgreen", NameKind::Alias},
    {0x99, "light green", NameKind::Alias},
    {0x9A, "lt. blue", NameKind::Primary},
    {0x9A, "lt blue", NameKind::Alias},
    {0x9A, "ltblue", NameKind::Alias},
    {0x9A, "light blue", NameKind::Alias},
    {0x97, "gray1", NameKind::Primary},
    {0x97, "gray 1", NameKind::Alias},
    {0x97, "dk. gray", NameKind::Alias},
    {0x97, "dk gray", NameKind::Alias},
    {0x97, "dkgray", NameKind::Alias},
    {0x97, "dark gray", NameKind::Alias},
    {0x97, "grey1", NameKind::Alias},
    {0x97, "grey 1", NameKind::Alias},
    {0x97, "dk. grey", NameKind::Alias},
    {0x97, "dk grey", NameKind::Alias},
    {0x97, "dkgrey", NameKind::Alias},
    {0x97, "dark grey", NameKind::Alias},
    {0x98, "gray2", NameKind::Primary},
    {0x98, "gray 2", NameKind::Alias},
    {0x98, "gray", NameKind::Alias},
    {0x98, "grey2", NameKind::Alias},
    {0x98, "grey 2", NameKind::Alias},
    {0x98, "grey", NameKind::Alias},
    {0x9B, "gray3", NameKind::Primary},
    {0x9B, "gray 3", NameKind::Alias},
    {0x9B, "lt. gray", NameKind::Alias},
    {0x9B, "lt gray", NameKind::Alias},
    {0x9B, "ltgray", NameKind::Alias},
    {0x9B, "light gray", NameKind::Alias},
    {0x9B, "grey3", NameKind::Alias},
    {0x9B, "grey 3", NameKind::Alias},
    {0x9B, "lt. grey", NameKind::Alias},
    {0x9B, "lt grey", NameKind::Alias},
    {0x9B, "ltgrey", NameKind::Alias},
    {0x9B, "light grey", NameKind::Alias},
    // Printable keys whose ASCII stand-ins mean something else in text.
    {0x5E, "^", NameKind::Primary},
    {0x5E, "up arrow", NameKind::Alias},
    {0x5F, "back arrow", NameKind::Primary},
    {0x5F, "left arrow", NameKind::Alias},
    {0x5C, "pound", NameKind::Primary},
    {0x5C, "british pound", NameKind::Alias},
    {0xA9, "shft pound", NameKind::Primary},
    {0xA9, "shift pound", NameKind::Alias},
    {0xA8, "cmdr pound", NameKind::Primary},
    {0xA8, "commodore pound", NameKind::Alias},
    {0xA0, "shft space", NameKind::Primary},
    {0xA0, "shift space", NameKind::Alias},
    // Read only: written out as plain characters or {$xx}.
    {0x00, "null", NameKind::Alias},
    {0x0D, "return", NameKind::Alias},
    {0x20, "space", NameKind::Alias},
    {0x22, "quote", NameKind::Alias},
    {0xFF, "pi", NameKind::Alias},
    {kModifierLift, "lift", NameKind::Primary},
    {kModifierShift, "shft", NameKind::Primary},
    {kModifierShift, "shift", NameKind::Alias},
    {kModifierCommodore, "cmdr", NameKind::Primary},
    {kModifierCommodore, "commodore", NameKind::Alias},
    {kModifierCtrl, "ctrl", NameKind::Primary},
    {kModifierCtrl, "control", NameKind::Alias},
};

// One key of the C64 keyboard: its plain character and what it types with
// SHIFT, with the Commodore key and with CTRL (0 where CTRL types nothing).
struct KeyRow {
  uint8_t plain;
  uint8_t shift;
  uint8_t commodore;
  uint8_t ctrl;
};

// In keyboard order, row by row. $5F is the back-arrow key, $5C the pound,
// $5E the up arrow; $13 CLR/HOME, $14 INST/DEL, $03 RUN/STOP, $0D RETURN,
// $11 and $1D the cursor keys, $85-$88 the function keys.
inline constexpr KeyRow kKeyboard[] = {
    {0x5F, 0x5F, 0x5F, 0x06}, {'1', '!', 0x81, 0x90},   {'2', '"', 0x95, 0x05},   {'3', '#', 0x96, 0x1C},
    {'4', '$', 0x97, 0x9F},   {'5', '%', 0x98, 0x9C},   {'6', '&', 0x99, 0x1E},   {'7', '\'', 0x9A, 0x1F},
    {'8', '(', 0x9B, 0x9E},   {'9', ')', ')', 0x12},    {'0', '0', '0', 0x92},    {'+', 0xDB, 0xA6, 0x00},
    {'-', 0xDD, 0xDC, 0x00},  {0x5C, 0xA9, 0xA8, 0x1C}, {0x13, 0x93, 0x93, 0x00}, {0x14, 0x94, 0x94, 0x00},
    {0x00, 0x00, 0x00, 0x00}, {'Q', 0xD1, 0xAB, 0x11},  {'W', 0xD7, 0xB3, 0x17},  {'E', 0xC5, 0xB1, 0x05},
    {'R', 0xD2, 0xB2, 0x12},  {'T', 0xD4, 0xA3, 0x14},  {'Y', 0xD9, 0xB7, 0x19},  {'U', 0xD5, 0xB8, 0x15},
    {'I', 0xC9, 0xA2, 0x09},  {'O', 0xCF, 0xB9, 0x0F},  {'P', 0xD0, 0xAF, 0x10},  {'@', 0xBA, 0xA4, 0x00},
    {'*', 0xC0, 0xDF, 0x00},  {0x5E, 0xDE, 0xDE, 0x1E}, {0x03, 0x83, 0x83, 0x00}, {'A', 0xC1, 0xB0, 0x01},
    {'S', 0xD3, 0xAE, 0x13},  {'D', 0xC4, 0xAC, 0x04},  {'F', 0xC6, 0xBB, 0x06},  {'G', 0xC7, 0xA5, 0x07},
    {'H', 0xC8, 0xB4, 0x08},  {'J', 0xCA, 0xB5, 0x0A},  {'K', 0xCB, 0xA1, 0x0B},  {'L', 0xCC, 0xB6, 0x0C},
    {':', '[', '[', 0x1B},    {';', ']', ']', 0x1D},    {'=', '=', '=', 0x1F},    {0x0D, 0x8D, 0x8D, 0x00},
    {'Z', 0xDA, 0xAD, 0x1A},  {'X', 0xD8, 0xBD, 0x18},  {'C', 0xC3, 0xBC, 0x03},  {'V', 0xD6, 0xBE, 0x16},
    {'B', 0xC2, 0xBF, 0x02},  {'N', 0xCE, 0xAA, 0x0E},  {'M', 0xCD, 0xA7, 0x0D},  {',', '<', 0xC3, 0x00},
    {'.', '>', 0xCE, 0x00},   {'/', '?', '?', 0x00},    {0x11, 0x91, 0x91, 0x00}, {0x1D, 0x9D, 0x9D, 0x00},
    {0x20, 0xA0, 0xA0, 0x00}, {0x85, 0x89, 0x89, 0x00}, {0x86, 0x8A, 0x8A, 0x00}, {0x87, 0x8B, 0x8B, 0x00},
    {0x88, 0x8C, 0x8C, 0x00},
};

// The position of the key that types `plain`; the first one when several
// do, std::size(kKeyboard) for a character on no key. An index rather than a
// pointer so that compile-time checks stay constant under UBSan's null checks.
constexpr size_t KeyIndex(uint8_t plain) {
  size_t i = 0;
  while (i < std::size(kKeyboard) && kKeyboard[i].plain != plain) ++i;
  return i;
}

// The key that types `plain`, or null.
constexpr const KeyRow* FindKey(uint8_t plain) {
  const size_t i = KeyIndex(plain);
  return i < std::size(kKeyboard) ? &kKeyboard[i] : nullptr;
}

constexpr uint8_t KeyLayer(const KeyRow& key, KeyModifier modifier) {
  switch (modifier) {
    case KeyModifier::Shift: return key.shift;
    case KeyModifier::Commodore: return key.commodore;
    case KeyModifier::Ctrl: return key.ctrl;
    default: return key.plain;
  }
}

// The brace names of VICE petcat listings, the commonest BASIC text in
// archives, that Vantrel lacks. Read only: output keeps Vantrel's names.
// Names petcat shares with Vantrel (clr, home, up, down, left, inst, del,
// red, stop, f1-f8, pound, up arrow, left arrow, pi) give the same codes
// and stay in the quoter table alone. The codes come from the PETSCII
// chart; `key` and `layer` say how the C64 keyboard types each one, so that
// chart and keyboard map check each other.
namespace petcat {

inline constexpr uint8_t kNoKey = 0xFF;  // a code that no key types
inline constexpr KeyModifier kPlain = KeyModifier::None;
inline constexpr KeyModifier kCbm = KeyModifier::Commodore;
inline constexpr KeyModifier kShift = KeyModifier::Shift;
inline constexpr KeyModifier kCtrl = KeyModifier::Ctrl;

struct Row {
  std::string_view name;
  uint8_t code;
  uint8_t key;
  KeyModifier layer;
};

inline constexpr Row kNames[] = {
    // Colours: CTRL 1-8 (red is Vantrel's), Commodore 1-8.
    {"blk", 0x90, '1', kCtrl}, {"wht", 0x05, '2', kCtrl}, {"cyn", 0x9F, '4', kCtrl}, {"pur", 0x9C, '5', kCtrl},
    {"grn", 0x1E, '6', kCtrl}, {"blu", 0x1F, '7', kCtrl}, {"yel", 0x9E, '8', kCtrl},
    {"orng", 0x81, '1', kCbm}, {"brn", 0x95, '2', kCbm}, {"lred", 0x96, '3', kCbm}, {"gry1", 0x97, '4', kCbm},
    {"gry2", 0x98, '5', kCbm}, {"lgrn", 0x99, '6', kCbm}, {"lblu", 0x9A, '7', kCbm}, {"gry3", 0x9B, '8', kCbm},
    // Screen and keyboard controls; no key types $8E, the switch to upper case.
    {"rvon", 0x12, '9', kCtrl}, {"rvof", 0x92, '0', kCtrl}, {"rght", 0x1D, 0x1D, kPlain}, {"sret", 0x8D, 0x0D, kShift},
    {"esc", 0x1B, ':', kCtrl}, {"swlc", 0x0E, 'N', kCtrl}, {"swuc", 0x8E, kNoKey, kPlain}, {"dish", 0x08, 'H', kCtrl},
    {"ensh", 0x09, 'I', kCtrl}, {"shift-space", 0xA0, ' ', kShift}, {"sh space", 0xA0, ' ', kShift},
    // Commodore-key graphics.
    {"cbm-a", 0xB0, 'A', kCbm}, {"cbm-b", 0xBF, 'B', kCbm}, {"cbm-c", 0xBC, 'C', kCbm}, {"cbm-d", 0xAC, 'D', kCbm},
    {"cbm-e", 0xB1, 'E', kCbm}, {"cbm-f", 0xBB, 'F', kCbm}, {"cbm-g", 0xA5, 'G', kCbm}, {"cbm-h", 0xB4, 'H', kCbm},
    {"cbm-i", 0xA2, 'I', kCbm}, {"cbm-j", 0xB5, 'J', kCbm}, {"cbm-k", 0xA1, 'K', kCbm}, {"cbm-l", 0xB6, 'L', kCbm},
    {"cbm-m", 0xA7, 'M', kCbm}, {"cbm-n", 0xAA, 'N', kCbm}, {"cbm-o", 0xB9, 'O', kCbm}, {"cbm-p", 0xAF, 'P', kCbm},
    {"cbm-q", 0xAB, 'Q', kCbm}, {"cbm-r", 0xB2, 'R', kCbm}, {"cbm-s", 0xAE, 'S', kCbm}, {"cbm-t", 0xA3, 'T', kCbm},
    {"cbm-u", 0xB8, 'U', kCbm}, {"cbm-v", 0xBE, 'V', kCbm}, {"cbm-w", 0xB3, 'W', kCbm}, {"cbm-x", 0xBD, 'X', kCbm},
    {"cbm-y", 0xB7, 'Y', kCbm}, {"cbm-z", 0xAD, 'Z', kCbm}, {"cbm-*", 0xDF, '*', kCbm}, {"cbm-+", 0xA6, '+', kCbm},
    {"cbm--", 0xDC, '-', kCbm}, {"cbm-@", 0xA4, '@', kCbm}, {"cbm-pound", 0xA8, 0x5C, kCbm},
    // Shifted graphics (the capital letters of the lower-case set).
    {"shift-a", 0xC1, 'A', kShift}, {"shift-b", 0xC2, 'B', kShift}, {"shift-c", 0xC3, 'C', kShift},
    {"shift-d", 0xC4, 'D', kShift}, {"shift-e", 0xC5, 'E', kShift}, {"shift-f", 0xC6, 'F', kShift},
    {"shift-g", 0xC7, 'G', kShift}, {"shift-h", 0xC8, 'H', kShift}, {"shift-i", 0xC9, 'I', kShift},
    {"shift-j", 0xCA, 'J', kShift}, {"shift-k", 0xCB, 'K', kShift}, {"shift-l", 0xCC, 'L', kShift},
    {"shift-m", 0xCD, 'M', kShift}, {"shift-n", 0xCE, 'N', kShift}, {"shift-o", 0xCF, 'O', kShift},
    {"shift-p", 0xD0, 'P', kShift}, {"shift-q", 0xD1, 'Q', kShift}, {"shift-r", 0xD2, 'R', kShift},
    {"shift-s", 0xD3, 'S', kShift}, {"shift-t", 0xD4, 'T', kShift}, {"shift-u", 0xD5, 'U', kShift},
    {"shift-v", 0xD6, 'V', kShift}, {"shift-w", 0xD7, 'W', kShift}, {"shift-x", 0xD8, 'X', kShift},
    {"shift-y", 0xD9, 'Y', kShift}, {"shift-z", 0xDA, 'Z', kShift}, {"shift-*", 0xC0, '*', kShift},
    {"shift-+", 0xDB, '+', kShift}, {"shift--", 0xDD, '-', kShift}, {"shift-@", 0xBA, '@', kShift},
    {"shift-pound", 0xA9, 0x5C, kShift},
    // CTRL with a letter: the letter's code minus $40.
    {"ctrl-a", 0x01, 'A', kCtrl}, {"ctrl-b", 0x02, 'B', kCtrl}, {"ctrl-c", 0x03, 'C', kCtrl},
    {"ctrl-d", 0x04, 'D', kCtrl}, {"ctrl-e", 0x05, 'E', kCtrl}, {"ctrl-f", 0x06, 'F', kCtrl},
    {"ctrl-g", 0x07, 'G', kCtrl}, {"ctrl-h", 0x08, 'H', kCtrl}, {"ctrl-i", 0x09, 'I', kCtrl},
    {"ctrl-j", 0x0A, 'J', kCtrl}, {"ctrl-k", 0x0B, 'K', kCtrl}, {"ctrl-l", 0x0C, 'L', kCtrl},
    {"ctrl-m", 0x0D, 'M', kCtrl}, {"ctrl-n", 0x0E, 'N', kCtrl}, {"ctrl-o", 0x0F, 'O', kCtrl},
    {"ctrl-p", 0x10, 'P', kCtrl}, {"ctrl-q", 0x11, 'Q', kCtrl}, {"ctrl-r", 0x12, 'R', kCtrl},
    {"ctrl-s", 0x13, 'S', kCtrl}, {"ctrl-t", 0x14, 'T', kCtrl}, {"ctrl-u", 0x15, 'U', kCtrl},
    {"ctrl-v", 0x16, 'V', kCtrl}, {"ctrl-w", 0x17, 'W', kCtrl}, {"ctrl-x", 0x18, 'X', kCtrl},
    {"ctrl-y", 0x19, 'Y', kCtrl}, {"ctrl-z", 0x1A, 'Z', kCtrl},
};

// The code of a lowered petcat name; none for any other name.
constexpr std::optional<uint8_t> Code(std::string_view name) {
  for (const Row& row : kNames)
    if (row.name == name) return row.code;
  return std::nullopt;
}

}  // namespace petcat

namespace petscii_checks {

constexpr bool SameText(std::string_view a, std::string_view b) { return a == b; }

constexpr bool NamesLowerAndUnique() {
  for (size_t i = 0; i < std::size(kQuoterNames); ++i) {
    for (char c : kQuoterNames[i].name)
      if (c >= 'A' && c <= 'Z') return false;
    for (size_t j = i + 1; j < std::size(kQuoterNames); ++j)
      if (SameText(kQuoterNames[i].name, kQuoterNames[j].name)) return false;
  }
  return true;
}

// Each code has at most one primary name, and its aliases come after it.
constexpr bool PrimaryBeforeAliases() {
  for (size_t i = 0; i < std::size(kQuoterNames); ++i) {
    if (kQuoterNames[i].kind != NameKind::Primary) continue;
    for (size_t j = 0; j < std::size(kQuoterNames); ++j)
      if (j != i && kQuoterNames[j].code == kQuoterNames[i].code &&
          (j < i || kQuoterNames[j].kind == NameKind::Primary))
        return false;
  }
  return true;
}

constexpr bool PetcatCodesAsTyped() {
  for (const petcat::Row& row : petcat::kNames) {
    if (row.key == petcat::kNoKey) continue;
    const size_t key = KeyIndex(row.key);
    if (key == std::size(kKeyboard) || KeyLayer(kKeyboard[key], row.layer) != row.code) return false;
  }
  return true;
}

// "cbm-a" must be typed with the Commodore key and A, "shift-pound" with
// SHIFT and the pound key, and so on.
constexpr bool PetcatKeyNamesMatchKeys() {
  for (const petcat::Row& row : petcat::kNames) {
    const size_t dash = row.name.find('-');
    if (dash == std::string_view::npos) continue;
    const std::string_view prefix = row.name.substr(0, dash + 1);
    const std::string_view key = row.name.substr(dash + 1);
    const std::string_view wanted = row.layer == KeyModifier::Commodore ? "cbm-"
                                    : row.layer == KeyModifier::Shift   ? "shift-"
                                    : row.layer == KeyModifier::Ctrl    ? "ctrl-"
                                                                        : "";
    const bool key_ok = key == "pound" ? row.key == 0x5C
                        : key == "space" ? row.key == ' '
                        : key.size() == 1 && (key[0] >= 'a' && key[0] <= 'z' ? key[0] - 32 : key[0]) == row.key;
    if (prefix != wanted || !key_ok) return false;
  }
  return true;
}

// Vantrel's names keep their meaning: petcat's may not repeat one of them.
constexpr bool PetcatNamesNew() {
  for (size_t i = 0; i < std::size(petcat::kNames); ++i) {
    for (char c : petcat::kNames[i].name)
      if (c >= 'A' && c <= 'Z') return false;
    for (size_t j = i + 1; j < std::size(petcat::kNames); ++j)
      if (petcat::kNames[i].name == petcat::kNames[j].name) return false;
    for (const QuoterRow& row : kQuoterNames)
      if (row.name == petcat::kNames[i].name) return false;
  }
  return true;
}

}  // namespace petscii_checks

static_assert(petscii_checks::NamesLowerAndUnique(), "the quoter table lowers names, so duplicates would clash");
static_assert(petscii_checks::PrimaryBeforeAliases());
static_assert(std::size(kKeyboard) == 61);
static_assert(kKeyboard[KeyIndex('A')].shift == 0xC1 && kKeyboard[KeyIndex(0x88)].shift == 0x8C);
static_assert(petscii_checks::PetcatCodesAsTyped(), "a petcat code differs from the keyboard map");
static_assert(petscii_checks::PetcatKeyNamesMatchKeys());
static_assert(petscii_checks::PetcatNamesNew(), "the quoter table is looked up first, so such a name is dead");

}  // namespace vantrel
