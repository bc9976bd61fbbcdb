// source/directives.h: the preprocessor's brace directives: their keyword
// table, cutting a brace token out of a line and into keyword and argument,
// and the {$:..} / {%:..} number conversions.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vantrel {

enum class TokensPreProc : int32_t {
  Include = 0xFF01,
  Uses = 0xFF02,
  AddSearchPath = 0xFF03,
  BuildRev = 0xFF04,
  Def = 0xFF05,
  Undef = 0xFF06,
  UseDef = 0xFF07,
  IfDef = 0xFF08,
  IfNDef = 0xFF09,
  Else = 0xFF0A,
  EndIf = 0xFF0B,
  Asm = 0xFF0C,
  EndAsm = 0xFF0D,
  Macro = 0xFF0E,
  EndMacro = 0xFF0F,
  Hex = 0xFF10,
  Bin = 0xFF11,
  Info = 0xFF12,
  Warning = 0xFF13,
  Error = 0xFF14,
  Fatal = 0xFF15,
};

struct PreProcRow {
  TokensPreProc token;
  std::string_view keyword;
};

// Matched in this order; a keyword is compared without regard to case.
inline constexpr PreProcRow kTokensPreProc[] = {
    {TokensPreProc::Include, "include"},   {TokensPreProc::Uses, "uses"},
    {TokensPreProc::AddSearchPath, "addsearchpath"},
    {TokensPreProc::BuildRev, "buildrev"}, {TokensPreProc::Def, "def"},
    {TokensPreProc::Undef, "undef"},       {TokensPreProc::UseDef, "usedef"},
    {TokensPreProc::IfDef, "ifdef"},       {TokensPreProc::IfNDef, "ifndef"},
    {TokensPreProc::Else, "else"},         {TokensPreProc::EndIf, "endif"},
    {TokensPreProc::Asm, "asm"},           {TokensPreProc::EndAsm, "endasm"},
    {TokensPreProc::Macro, "macro"},       {TokensPreProc::EndMacro, "endmacro"},
    {TokensPreProc::Hex, "$"},             {TokensPreProc::Bin, "%"},
    {TokensPreProc::Info, "info"},         {TokensPreProc::Warning, "warning"},
    {TokensPreProc::Error, "error"},       {TokensPreProc::Fatal, "fatal"},
};

constexpr bool IsInValueOrder(const PreProcRow (&rows)[21]) {
  for (int32_t i = 0; i < 21; ++i)
    if (static_cast<int32_t>(rows[i].token) != 0xFF01 + i) return false;
  return true;
}
static_assert(IsInValueOrder(kTokensPreProc));

// The keyword of a directive; a value outside the table gives a fixed error text.
std::string_view ToText(TokensPreProc token);
std::optional<TokensPreProc> FindDirective(std::string_view keyword);

struct DirectiveParts {
  std::string keyword;
  std::string argument;
};

// "{keyword}" or "{keyword:argument}", both parts trimmed. False when the
// token is not enclosed in braces.
bool SplitDirective(std::string_view token, DirectiveParts& parts);

enum class BraceSearch { Found, None, Unclosed };

// The next brace token at or after `from`, nested braces included:
// [first, last] covers both outer braces. Unclosed when a "{" has no match.
BraceSearch FindBraceToken(std::string_view text, size_t from, size_t& first, size_t& last);

// A number in base 16 or 2 written the way the C library reads one: an
// optional sign, for base 16 an optional "0x", then digits; an empty text
// is 0. False when anything is left over or the value leaves signed 32 bits.
bool ReadRadixValue(std::string_view text, int base, int32_t& value);

}  // namespace vantrel
