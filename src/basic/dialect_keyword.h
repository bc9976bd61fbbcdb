// basic/dialect_keyword.h: one row of a dialect's keyword table. A code
// above $FF is two bytes: a prefix byte ($CE or $FE in BASIC 7.0 and later,
// $64 in Simons' BASIC) and the byte after it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace vantrel {

enum class KeywordUse : uint8_t {
  Both,      // typing the keyword gives the code, and the code lists as it
  ListOnly,  // the code lists as the keyword, which types as something else
};

struct DialectKeyword {
  uint16_t code;
  std::string_view name;  // upper case: the matcher raises the line
  KeywordUse use;
};

template <size_t N>
constexpr bool IsSortedByCode(const DialectKeyword (&rows)[N]) {
  for (size_t i = 1; i < N; ++i)
    if (rows[i - 1].code >= rows[i].code) return false;
  return true;
}

// A typed name must lead to one code; several codes may list as one name.
template <size_t N>
constexpr bool TypedNamesUnique(const DialectKeyword (&rows)[N]) {
  for (size_t i = 0; i < N; ++i)
    for (size_t j = i + 1; j < N; ++j)
      if (rows[i].use == KeywordUse::Both && rows[j].use == KeywordUse::Both && rows[i].name == rows[j].name)
        return false;
  return true;
}

}  // namespace vantrel
