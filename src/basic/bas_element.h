// basic/bas_element.h: one lexical element of a BASIC line (a token, a
// name, a string, a directive ...), shared by the tokenizer, the
// detokenizer and the text writers.
#pragma once

#include <concepts>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "basic/text_arena.h"

namespace vantrel {

enum class BasElementKind : uint8_t {
  None = 0,
  End = 1,
  Consumed = 2,
  Tick = 3,
  Brace = 4,
  Quoted = 5,
  Space = 6,
  Digits = 7,
  Control = 8,
  Key = 9,
  Token = 10,
  Remainder = 11,
  DataItem = 12,
  Name = 13,
  Punct = 14,
  SymbolRef = 15,
  Label = 16,
  BadBrace = 17,
};

// Tokenizer directive numbers. 1 is the empty name and 23 any unknown name
// (a brace outside quotes that is no directive writes the pi character).
enum class TokenizerDirective : uint8_t {
  None = 1,
  Crunch = 2,
  AutoSpace = 3,
  CrsrCodes = 4,
  CrsrCount = 5,
  Renumber = 6,
  Number = 7,
  Step = 8,
  Nice = 9,
  LoadAddr = 10,
  RemRemoval = 11,
  ShortKeywords = 12,
  Var = 13,
  Tokenizer = 14,
  Quoter = 15,
  Alpha = 16,
  VarCase = 17,
  KeywordCase = 18,
  Assign = 19,
  Sym = 20,
  Warning = 21,
  Dialect = 22,
  Pi = 23,
};

// What a brace token outside quotes holds, read once by the lexer: a label
// "{:name}", a byte "{$41}", or a name with an optional ":argument".
enum class BraceKind : uint8_t { Named = 0, Label = 1, Byte = 2 };

// Kinds that put bytes into memory: a line holding one of them has code.
constexpr bool IsCodeKind(BasElementKind kind) {
  switch (kind) {
    case BasElementKind::Quoted:
    case BasElementKind::Space:
    case BasElementKind::Digits:
    case BasElementKind::Control:
    case BasElementKind::Token:
    case BasElementKind::Remainder:
    case BasElementKind::DataItem:
    case BasElementKind::Name:
    case BasElementKind::Punct:
    case BasElementKind::SymbolRef:
    case BasElementKind::Label:
      return true;
    default:
      return false;
  }
}

// A program holds one of these for every token, name and blank, so it is
// kept small: its bytes are a view, a directive's argument a part of its text.
struct BasElement {
  BasElement() = default;
  BasElement(std::string_view text, BasElementKind kind, int32_t value) : text(text), value(value), kind(kind) {}
  // The text must outlive the element: keep it in the program's arena.
  template <class Text>
    requires std::same_as<Text, std::string>
  BasElement(Text&& text, BasElementKind kind, int32_t value) = delete;
  // A directive line's element: "{name:argument}".
  static BasElement Directive(TextArena& texts, TokenizerDirective directive, std::string_view name,
                              std::string_view argument) {
    std::string text(1, '{');
    ((((text += name) += ':') += argument) += '}');
    BasElement e(texts.Keep(text), BasElementKind::Brace, 0);
    e.directive = directive;
    e.argument_at = static_cast<uint32_t>(name.size() + 2);
    return e;
  }

  // Bytes as written in the source, or as read from memory; kept in the
  // program's text arena, not by the element.
  std::string_view text;
  int32_t value = 0;  // token code, character, hash or address
  // Where the argument starts in the text, past the colon; 0 for none.
  uint32_t argument_at = 0;

 private:
  // A loaded element's bytes sit in the arena right before its text.
  uint16_t raw_size_ = 0;
  bool has_raw_ = false;

 public:
  BasElementKind kind = BasElementKind::None;
  // A brace token, read once by the lexer: "{crunch:on}" is Crunch with the
  // argument "on"; a name that is no directive is Pi.
  BraceKind brace = BraceKind::Named;
  TokenizerDirective directive = TokenizerDirective::None;

  bool HasArgument() const { return argument_at != 0; }
  std::string_view Argument() const {
    return HasArgument() ? text.substr(argument_at, text.size() - 1 - argument_at)
                         : std::string_view();
  }
  // The bytes a loaded program held for this element; writing it back uses
  // them, so a rebuilt program keeps every byte whatever its text form.
  std::optional<std::string_view> Raw() const {
    return has_raw_ ? std::optional<std::string_view>(std::string_view(text.data() - raw_size_, raw_size_))
                    : std::nullopt;
  }
  // A loaded element: the bytes it was read from and its text form.
  void SetLoaded(TextArena& texts, std::string_view bytes, std::string_view text_form) {
    const std::string_view both = texts.Keep(bytes, text_form);
    raw_size_ = static_cast<uint16_t>(bytes.size());
    has_raw_ = true;
    text = both.substr(bytes.size());
  }

  bool IsDirective(TokenizerDirective d) const { return kind == BasElementKind::Brace && directive == d; }
  bool IsPunct(char c) const { return kind == BasElementKind::Punct && value == static_cast<uint8_t>(c); }
  bool IsToken(int32_t code) const { return kind == BasElementKind::Token && value == code; }
};
static_assert(sizeof(BasElement) <= 32);

}  // namespace vantrel
