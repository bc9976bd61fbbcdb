// text/text_ops.h: the small text operations every parser here shares:
// trimming, case, quoting-aware searches and field splitting.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "text/hi_string.h"

namespace vantrel {

inline constexpr std::string_view kBlankChars = " \r\n\t";
inline constexpr size_t kNotFound = std::string::npos;

std::string Trim(std::string_view text);
// The same cut as a view into `text`.
std::string_view TrimView(std::string_view text);
std::string UpperCopy(std::string_view text);
std::string LowerCopy(std::string_view text);
bool EqualsNoCase(std::string_view a, std::string_view b);
std::string Repeat(char c, size_t n);
std::string Centre(std::string_view text, size_t width, char fill = ' ');
// Removes the enclosing open/close pair when the text has both.
std::string StripPair(std::string_view text, char open, char close);
std::string RemoveChar(std::string_view text, char c);

// First position at or after `start` of any char of `set` lying outside
// "..." and '...' quotes; kNotFound when none.
size_t FindOutsideQuotes(std::string_view text, std::string_view set, size_t start = 0);

// Advances `span` to the next field ended by a delimiter of `delims` outside
// quotes. Sets `delim` to the delimiter that ended it (0 at the end of the
// text). Returns false when no character is left.
bool NextField(std::string_view text, std::string_view delims, TextSpan& span, char& delim);

std::vector<HiText> Split(std::string_view text, std::string_view delims, bool keep_empty = false);

size_t FirstOf(std::string_view text, std::string_view set, size_t start = 0);
size_t FirstNotOf(std::string_view text, std::string_view set, size_t start = 0);

bool IsConsoleName(std::string_view path);
bool IsFalseWord(std::string_view text);
bool IsTrueWord(std::string_view text);
bool RegularFileExists(const std::string& path);

// "1 sector", "3 sectors": a count with its noun.
std::string CountOf(size_t count, std::string_view noun);

// Lower-case hex, zero-filled to `digits`.
std::string Hex(uint64_t value, int digits);

}  // namespace vantrel
