// basic/dialect_keyword.h: one row of a dialect's keyword table. A code
// above $FF is two bytes: a prefix byte ($CE or $FE in BASIC 7.0 and later,
// $64 in Simons' BASIC) and the byte after it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
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

constexpr bool IsSortedByCode(std::span<const DialectKeyword> rows) {
  for (size_t i = 1; i < rows.size(); ++i)
    if (rows[i - 1].code >= rows[i].code) return false;
  return true;
}

// Most dialects add to another: a table is the base's rows without the codes
// in `drops`, with `changes` added or put in place of the base's row of the
// same code. All three are sorted by code; N is the size that comes out, and
// a wrong N stops the build.
template <size_t N>
constexpr std::array<DialectKeyword, N> Derive(std::span<const DialectKeyword> base,
                                               std::span<const DialectKeyword> changes,
                                               std::span<const uint16_t> drops) {
  std::array<DialectKeyword, N> out{};
  size_t n = 0, b = 0, c = 0, d = 0;
  auto put = [&](const DialectKeyword& row) {
    if (n == N) throw "Derive: more rows than the table's size";
    out[n++] = row;
  };
  while (b < base.size() || c < changes.size()) {
    const bool take_change = c < changes.size() && (b == base.size() || changes[c].code <= base[b].code);
    if (take_change) {
      if (b < base.size() && base[b].code == changes[c].code) ++b;
      put(changes[c++]);
      continue;
    }
    while (d < drops.size() && drops[d] < base[b].code) ++d;
    if (d < drops.size() && drops[d] == base[b].code) ++b;
    else put(base[b++]);
  }
  if (n != N) throw "Derive: fewer rows than the table's size";
  return out;
}

}  // namespace vantrel
