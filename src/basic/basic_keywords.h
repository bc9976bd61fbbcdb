// basic/basic_keywords.h: the built-in names of the BASIC side: the 76
// keywords of Commodore 64 BASIC 2.0 with their token bytes, and the
// tokenizer directive names with their numbers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string_view>

#include "basic/bas_element.h"
#include "petscii/token_table.h"

namespace vantrel {

struct KeywordRow {
  uint8_t code;
  std::string_view name;
};

// Token bytes that the tokenizer and detokenizer act on by value.
inline constexpr int32_t kTokenData = 0x83;
inline constexpr int32_t kTokenGoto = 0x89;
inline constexpr int32_t kTokenGosub = 0x8D;
inline constexpr int32_t kTokenRem = 0x8F;
inline constexpr int32_t kTokenOn = 0x91;
inline constexpr int32_t kTokenPrint = 0x99;
inline constexpr int32_t kTokenTo = 0xA4;
inline constexpr int32_t kTokenThen = 0xA7;
inline constexpr int32_t kTokenGo = 0xCB;
// Not a keyword: the C64 types pi as this byte, and LIST shows it as the character.
inline constexpr int32_t kTokenPi = 0xFF;

// The ROM's keyword list in token order ($80 up). Order is significant: the
// matcher tries low codes first, so INPUT# and PRINT# must precede INPUT and
// PRINT, and GO must follow GOTO and GOSUB. The operators are tokens too.
inline constexpr KeywordRow kBasic2Keywords[] = {
    {0x80, "END"},    {0x81, "FOR"},    {0x82, "NEXT"},   {0x83, "DATA"},    {0x84, "INPUT#"},
    {0x85, "INPUT"},  {0x86, "DIM"},    {0x87, "READ"},   {0x88, "LET"},     {0x89, "GOTO"},
    {0x8A, "RUN"},    {0x8B, "IF"},     {0x8C, "RESTORE"}, {0x8D, "GOSUB"},  {0x8E, "RETURN"},
    {0x8F, "REM"},    {0x90, "STOP"},   {0x91, "ON"},     {0x92, "WAIT"},    {0x93, "LOAD"},
    {0x94, "SAVE"},   {0x95, "VERIFY"}, {0x96, "DEF"},    {0x97, "POKE"},    {0x98, "PRINT#"},
    {0x99, "PRINT"},  {0x9A, "CONT"},   {0x9B, "LIST"},   {0x9C, "CLR"},     {0x9D, "CMD"},
    {0x9E, "SYS"},    {0x9F, "OPEN"},   {0xA0, "CLOSE"},  {0xA1, "GET"},     {0xA2, "NEW"},
    {0xA3, "TAB("},   {0xA4, "TO"},     {0xA5, "FN"},     {0xA6, "SPC("},    {0xA7, "THEN"},
    {0xA8, "NOT"},    {0xA9, "STEP"},   {0xAA, "+"},      {0xAB, "-"},       {0xAC, "*"},
    {0xAD, "/"},      {0xAE, "^"},      {0xAF, "AND"},    {0xB0, "OR"},      {0xB1, ">"},
    {0xB2, "="},      {0xB3, "<"},      {0xB4, "SGN"},    {0xB5, "INT"},     {0xB6, "ABS"},
    {0xB7, "USR"},    {0xB8, "FRE"},    {0xB9, "POS"},    {0xBA, "SQR"},     {0xBB, "RND"},
    {0xBC, "LOG"},    {0xBD, "EXP"},    {0xBE, "COS"},    {0xBF, "SIN"},     {0xC0, "TAN"},
    {0xC1, "ATN"},    {0xC2, "PEEK"},   {0xC3, "LEN"},    {0xC4, "STR$"},    {0xC5, "VAL"},
    {0xC6, "ASC"},    {0xC7, "CHR$"},   {0xC8, "LEFT$"},  {0xC9, "RIGHT$"},  {0xCA, "MID$"},
    {0xCB, "GO"},
};

struct DirectiveRow {
  TokenizerDirective code;
  std::string_view name;
};

inline constexpr DirectiveRow kDirectiveNames[] = {
    {TokenizerDirective::Crunch, "crunch"},
    {TokenizerDirective::AutoSpace, "autospace"},
    {TokenizerDirective::CrsrCodes, "crsrcodes"},
    {TokenizerDirective::CrsrCount, "crsrcount"},
    {TokenizerDirective::Renumber, "renumber"},
    {TokenizerDirective::Number, "number"},
    {TokenizerDirective::Step, "step"},
    {TokenizerDirective::Nice, "nice"},
    {TokenizerDirective::LoadAddr, "loadaddr"},
    {TokenizerDirective::RemRemoval, "remremoval"},
    {TokenizerDirective::ShortKeywords, "shortkeywords"},
    {TokenizerDirective::Var, "var"},
    {TokenizerDirective::Tokenizer, "tokenizer"},
    {TokenizerDirective::Quoter, "quoter"},
    {TokenizerDirective::Alpha, "alpha"},
    {TokenizerDirective::VarCase, "varcase"},
    {TokenizerDirective::KeywordCase, "keywordcase"},
    {TokenizerDirective::Assign, "assign"},
    {TokenizerDirective::Sym, "sym"},
    {TokenizerDirective::Warning, "warning"},
    {TokenizerDirective::Dialect, "dialect"},
};

namespace keyword_checks {

template <typename Row, size_t N>
constexpr bool CodesStepByOne(const Row (&rows)[N], int32_t first) {
  for (size_t i = 0; i < N; ++i)
    if (static_cast<int32_t>(rows[i].code) != first + static_cast<int32_t>(i)) return false;
  return true;
}

constexpr bool KeywordsUpperCase() {
  for (const KeywordRow& row : kBasic2Keywords)
    for (char c : row.name)
      if (c >= 'a' && c <= 'z') return false;
  return true;
}

}  // namespace keyword_checks

static_assert(std::size(kBasic2Keywords) == 76);
static_assert(keyword_checks::CodesStepByOne(kBasic2Keywords, 0x80));
static_assert(keyword_checks::KeywordsUpperCase(), "the matcher raises the line, so names must be upper case");
static_assert(kBasic2Keywords[kTokenPrint - 0x80].name == "PRINT");
static_assert(kBasic2Keywords[kTokenGo - 0x80].name == "GO");
static_assert(keyword_checks::CodesStepByOne(kDirectiveNames, 2));
static_assert(std::size(kDirectiveNames) == 21);

// The keyword table at start-up: case-sensitive, the BASIC 2.0 keywords.
TokenTable MakeKeywordTable();
// The directive table: case-insensitive, numbers 2 to 22.
TokenTable MakeDirectiveTable();
// A keyword shortcut at `pos` (pO is POKE); the C64's screen editor also
// reads `?` as PRINT.
TokenMatch MatchKeywordShortcut(const TokenTable& keywords, std::string_view line, size_t pos);

}  // namespace vantrel
