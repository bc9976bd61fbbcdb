// d64/c64_names.h: C64 file names between the host and the disk: the
// PETSCII bytes a typed name stands for, the text that shows stored bytes
// and types back to them, and host file names for extracted files.
#pragma once

#include <string>
#include <string_view>

namespace vantrel {

inline constexpr size_t kMaxC64NameLength = 16;

// Texts shared by every container's lookups and by the disk operations.
inline constexpr const char* kNoFilenameText = "No filename specified";
inline constexpr const char* kWildcardNameText = "Filename can't contain wildcards";
inline constexpr const char* kNameTakenText = "A file of this name already exists in the image";

// Typed text as PETSCII, the way cc1541 and c1541 store names: a lower-case
// letter is the letter a C64 user types in the power-up mode ($41-$5A), an
// upper-case one its shifted form ($C1-$DA). "{$xx}" stands for any byte;
// other bytes pass unchanged.
std::string PetsciiFromTyped(std::string_view typed);

// Stored bytes as text that PetsciiFromTyped turns back into them: the
// C64's lower-case character set (as cc1541 and cbmconvert show names),
// "{$xx}" for bytes with no such letter and for the quote.
std::string TypedFromPetscii(std::string_view petscii);

// The name between double quotes, as listings and messages show it.
std::string QuotedName(std::string_view petscii);

// A host file name for stored name bytes: the shown text with "/" and a
// leading "." written as "{$xx}" too. Empty for an empty name.
std::string HostNameOf(std::string_view petscii);

// Why `petscii` cannot name a new file that later lookups find again; empty
// when it can.
std::string NewNameRefusal(std::string_view petscii);

// Every letter unshifted: two names equal so differ only in letter case,
// which a user who mixed up the two may not have meant.
std::string FoldedLetters(std::string_view petscii);
bool SameLettersAnyCase(std::string_view a, std::string_view b);

}  // namespace vantrel
