#include "basic/dialect.h"

#include <algorithm>
#include <bitset>
#include <tuple>

#include "basic/basic_keywords.h"
#include "basic/dialect_keywords.h"
#include "text/char_class.h"
#include "text/quote_scanner.h"
#include "text/text_ops.h"

namespace vantrel {

namespace {

namespace kw = dialect_keywords;

// Load addresses: the C64 $0801, the VIC-20 $1001 unexpanded, $0401 with 3K
// and $1201 with 8K or more, the PET $0401, C16/Plus4 $1001, the C128 $1C01,
// $4001 with a graphics screen (GRAPHIC moves BASIC up), the C65 and MEGA65
// $2001, and a CBM-II program in bank 1 at $0003. The aliases include
// petcat's version names (70, 4p, simon ...).
constexpr Dialect kDialects[] = {
    {"basic2", "2 2.0 v2 c64 vic20", "BASIC 2.0 (C64, VIC-20, PET)", 0x0801, {0x1001, 0x0401, 0x1201}, "",
     kw::kBasic2},
    {"basic1", "1p 1.0 v1 pet1", "BASIC 1.0 (PET)", 0x0401, {}, "", kw::kBasic1},
    {"basic35", "3 3.5 v3.5 c16 plus4", "BASIC 3.5 (C16, Plus/4)", 0x1001, {}, "basic2", kw::kBasic35},
    {"basic4", "40 4.0 v4 pet", "BASIC 4.0 (PET)", 0x0401, {}, "basic2", kw::kBasic4},
    {"basic4cbm2", "4p cbm2 b128", "BASIC 4.0 (CBM-II)", 0x0003, {}, "basic4", kw::kBasic4cbm2},
    {"basic7", "70 7 7.0 v7 c128", "BASIC 7.0 (C128)", 0x1C01, {0x4001}, "basic35", kw::kBasic7},
    {"basic71", "71 7.1 v7.1", "BASIC 7.1 (C128 with the 7.1 extension)", 0x1C01, {0x4001}, "basic7",
     kw::kBasic71},
    {"basic10", "10 10.0 v10 c65", "BASIC 10.0 (C65)", 0x2001, {}, "basic7", kw::kBasic10},
    {"basic65", "65 v65 mega65", "BASIC 65 (MEGA65)", 0x2001, {}, "basic10", kw::kBasic65},
    {"simons", "simon", "Simons' BASIC (C64)", 0x0801, {}, "basic2", kw::kSimons},
    {"fc3", "f", "Final Cartridge III BASIC (C64)", 0x0801, {}, "basic2", kw::kFc3},
    {"basic4ext64", "4e", "BASIC 4.0 extension (C64)", 0x0801, {}, "basic2", kw::kBasic4ext64},
    {"basic4ext20", "4v", "BASIC 4.0 extension (VIC-20)", 0x1201, {}, "basic2", kw::kBasic4ext20},
    {"basic5ext20", "5", "BASIC 5.0 extension (VIC-20)", 0x1201, {}, "basic2", kw::kBasic5ext20},
    {"superexpander", "superexp", "Super Expander (VIC-20)", 0x0401, {}, "basic2", kw::kSuperexpander},
};

constexpr uint8_t kTokenRemByte = 0x8F;
constexpr uint8_t kTokenDataByte = 0x83;
constexpr uint8_t kPiByte = 0xFF;

bool HasName(const Dialect& d, std::string_view wanted) {
  if (d.name == wanted) return true;
  for (const HiText& alias : Split(d.aliases, " "))
    if (alias == wanted) return true;
  return false;
}

// Typed keywords only: a code that merely lists (Simons' BASIC shows BASIC
// 3.5 words for its unused codes) says nothing about the program's dialect.
bool Knows(const Dialect& d, int32_t code) {
  const DialectKeyword* row = d.Find(code);
  return row && row->use == KeywordUse::Both;
}

}  // namespace

// Two-byte codes sort after every single byte, by their prefix.
bool Dialect::IsPrefix(uint8_t byte) const {
  auto it = std::lower_bound(keywords.begin(), keywords.end(), byte << 8,
                             [](const DialectKeyword& k, int32_t c) { return k.code < c; });
  return byte != 0 && it != keywords.end() && it->code >> 8 == byte;
}

const DialectKeyword* Dialect::Find(int32_t code) const {
  auto it = std::lower_bound(keywords.begin(), keywords.end(), code,
                             [](const DialectKeyword& k, int32_t c) { return k.code < c; });
  return it != keywords.end() && it->code == code ? &*it : nullptr;
}

bool Dialect::FitsAddress(uint16_t address) const {
  return address == load_address || std::find(other_addresses.begin(), other_addresses.end(), address) !=
                                         other_addresses.end();
}

std::span<const Dialect> Dialects() { return kDialects; }

const Dialect& DefaultDialect() { return kDialects[0]; }

const Dialect* FindDialect(std::string_view name) {
  const std::string wanted = LowerCopy(Trim(name));
  for (const Dialect& d : kDialects)
    if (HasName(d, wanted)) return &d;
  return nullptr;
}

TokenTable MakeKeywordTable(const Dialect& dialect) {
  if (&dialect == &DefaultDialect()) return MakeKeywordTable();
  TokenTable table;
  table.SetLongestMatch(true);
  for (const DialectKeyword& k : dialect.keywords) {
    if (k.use == KeywordUse::Both) table.Add(k.code, k.name);
    else table.AddListing(k.code, k.name);
  }
  return table;
}

namespace {

// Every keyword name of every dialect, by first letter: whether a text
// starts with any of them is asked for most statements of a program, and
// the answer is almost always no.
struct KeywordIndex {
  std::array<std::vector<std::string_view>, 256> by_first;
  std::bitset<256> single;          // the names of one character
  std::bitset<0x10000> first_two;  // the first two characters of the longer names
};

bool StartsWithAnyKeyword(std::string_view text, size_t at_least) {
  static const KeywordIndex& index = *new KeywordIndex([] {
    KeywordIndex all;
    auto add = [&all](std::string_view name) {
      if (name.empty()) return;
      all.by_first[static_cast<uint8_t>(name[0])].push_back(name);
      if (name.size() == 1) all.single.set(static_cast<uint8_t>(name[0]));
      else all.first_two.set(static_cast<uint8_t>(name[0]) << 8 | static_cast<uint8_t>(name[1]));
    };
    for (const KeywordRow& row : kBasic2Keywords) add(row.name);
    for (const Dialect& d : kDialects)
      for (const DialectKeyword& k : d.keywords) add(k.name);
    return all;
  }());
  if (text.empty()) return false;
  if (at_least == 0 && index.single.test(static_cast<uint8_t>(ToUpper(text[0])))) return true;
  // Most statements start with two characters no longer name starts with.
  if (text.size() < 2 ||
      !index.first_two.test(static_cast<uint8_t>(ToUpper(text[0])) << 8 | static_cast<uint8_t>(ToUpper(text[1]))))
    return false;
  const auto& by_first = index.by_first;
  for (std::string_view name : by_first[static_cast<uint8_t>(ToUpper(text[0]))]) {
    if (name.size() <= at_least || name.size() > text.size()) continue;
    size_t i = 1;
    while (i < name.size() && ToUpper(text[i]) == name[i]) ++i;
    if (i == name.size()) return true;
  }
  return false;
}

}  // namespace

std::vector<ForeignKeyword> ForeignKeywordsAt(const Dialect& current, std::string_view text, size_t at_least) {
  std::vector<ForeignKeyword> found;
  if (!StartsWithAnyKeyword(text, at_least)) return found;
  // Built when first needed, and never taken down: the run ends soon after.
  static const auto& tables = *new std::vector<TokenTable>([] {
    std::vector<TokenTable> all;
    for (const Dialect& d : kDialects) all.push_back(MakeKeywordTable(d));
    return all;
  }());
  for (size_t i = 0; i < std::size(kDialects); ++i) {
    const TokenMatch match = tables[i].MatchKeyword(text, 0);
    if (&kDialects[i] != &current && match.length > at_least) found.push_back({&kDialects[i], match.length});
  }
  return found;
}

namespace {

// What a byte outside quotes is to a dialect, looked up once per dialect
// rather than searched for at every byte of the program.
enum class ByteRole : uint8_t { Plain, Known, Unknown, Prefix };

std::array<ByteRole, 256> ByteRoles(const Dialect& dialect) {
  std::array<ByteRole, 256> roles{};
  for (int b = 0x80; b < 256; ++b)
    if (b != kPiByte) roles[b] = ByteRole::Unknown;
  for (const DialectKeyword& k : dialect.keywords) {
    if (k.code > 0xFF) roles[k.code >> 8] = ByteRole::Prefix;
    else if (k.use == KeywordUse::Both && roles[k.code] == ByteRole::Unknown) roles[k.code] = ByteRole::Known;
  }
  return roles;
}

void CountLine(const Dialect& dialect, const std::array<ByteRole, 256>& roles, std::string_view bytes,
               TokenCount& count) {
  QuoteScanner quotes;
  bool data = false;
  for (size_t i = 0; i < bytes.size(); ++i) {
    const uint8_t b = static_cast<uint8_t>(bytes[i]);
    // A closing quote is skipped too: it is no token and ends no DATA.
    if (!quotes.Outside(bytes[i]) || (data && b != ':')) continue;
    data = b == kTokenDataByte;
    if (b == kTokenRemByte) break;
    if (roles[b] == ByteRole::Prefix) {
      // The prefix takes the next byte whatever it is.
      const int32_t second = i + 1 < bytes.size() ? static_cast<uint8_t>(bytes[++i]) : 0;
      ++(Knows(dialect, b << 8 | second) ? count.prefixed : count.unknown);
    } else if (roles[b] == ByteRole::Unknown) {
      ++count.unknown;
    }
  }
}

// Bytes that some dialect reads as the first of a two-byte code.
const std::array<bool, 256>& AnyPrefix() {
  static const std::array<bool, 256> any = [] {
    std::array<bool, 256> table{};
    for (const Dialect& d : kDialects)
      for (const DialectKeyword& k : d.keywords)
        if (k.code > 0xFF) table[k.code >> 8] = true;
    return table;
  }();
  return any;
}

// Whether a byte taken as the second of a two-byte code would have changed
// how the rest of its line is read, had it been read on its own.
bool SteersReading(uint8_t b) { return b == '"' || b == ':' || b == kTokenDataByte || b == kTokenRemByte; }

}  // namespace

// Read as CountLine reads a line, but with no dialect's two-byte codes
// taken: the same reading for every dialect unless a prefix byte is
// followed by a byte that steers it, and such lines are kept whole.
CodeCensus::CodeCensus(std::span<const std::string_view> line_bytes) {
  const std::array<bool, 256>& any_prefix = AnyPrefix();
  for (std::string_view bytes : line_bytes) {
    const size_t first = codes_.size();
    QuoteScanner quotes;
    bool data = false;
    bool steered = false;
    for (size_t i = 0; i < bytes.size() && !steered; ++i) {
      const uint8_t b = static_cast<uint8_t>(bytes[i]);
      if (!quotes.Outside(bytes[i]) || (data && b != ':')) continue;
      data = b == kTokenDataByte;
      if (b == kTokenRemByte) break;
      if (b < 0x80 && !any_prefix[b]) continue;
      const uint8_t next = i + 1 < bytes.size() ? static_cast<uint8_t>(bytes[i + 1]) : 0;
      steered = any_prefix[b] && SteersReading(next);
      if (codes_.size() > first && codes_.back().at + 1 == i) codes_.back().next_is_code = true;
      codes_.push_back({static_cast<uint32_t>(i), b, next, false});
    }
    if (!steered) continue;
    codes_.resize(first);
    steered_.push_back(bytes);
  }
}

TokenCount CountTokens(const Dialect& dialect, const CodeCensus& census) {
  const std::array<ByteRole, 256> roles = ByteRoles(dialect);
  TokenCount count;
  const std::vector<CodeCensus::Code>& codes = census.codes_;
  for (size_t i = 0; i < codes.size(); ++i) {
    const CodeCensus::Code& c = codes[i];
    if (roles[c.byte] == ByteRole::Prefix) {
      // The prefix takes the next byte whatever it is.
      ++(Knows(dialect, c.byte << 8 | c.next) ? count.prefixed : count.unknown);
      if (c.next_is_code) ++i;
    } else if (roles[c.byte] == ByteRole::Unknown) {
      ++count.unknown;
    }
  }
  for (std::string_view bytes : census.steered_) CountLine(dialect, roles, bytes, count);
  return count;
}

const Dialect* LikelyDialect(const Dialect& current, uint16_t load_address, const CodeCensus& census) {
  // Fewest unknown codes first, then the most two-byte codes (Simons'
  // BASIC's are letters to BASIC 2.0, so only they can tell), then a
  // matching machine; the current dialect, then the table's order (the more
  // common dialect first) break a tie.
  auto rank = [&](const Dialect& d) {
    const TokenCount count = CountTokens(d, census);
    return std::tuple(count.unknown, -count.prefixed, d.FitsAddress(load_address) ? 0 : 1);
  };
  const Dialect* best = &current;
  auto best_rank = rank(current);
  for (const Dialect& d : kDialects) {
    if (auto r = rank(d); r < best_rank) {
      best = &d;
      best_rank = r;
    }
  }
  // A dialect that leaves codes unexplained is no better a guess than the
  // current one (machine code read as BASIC holds every byte value), and
  // nor is one whose machine loads elsewhere.
  return best == &current || std::get<0>(best_rank) > 0 || !best->FitsAddress(load_address) ? nullptr : best;
}

}  // namespace vantrel
