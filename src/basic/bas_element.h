// basic/bas_element.h: one lexical element of a BASIC line (a token, a
// name, a string, a directive ...), shared by the tokenizer, the
// detokenizer and the text writers.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

namespace vantrel {

enum class BasElementKind : int32_t {
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

struct BasElement {
  BasElement() = default;
  BasElement(std::string text, BasElementKind kind, int32_t value)
      : text(std::move(text)), kind(kind), value(value) {}

  std::string text;  // bytes as written in the source, or as read from memory
  BasElementKind kind = BasElementKind::None;
  int32_t value = 0;  // token code, character, directive number, hash or address
  // The bytes a loaded program held for this element; writing it back uses
  // them, so a rebuilt program keeps every byte whatever its text form.
  std::optional<std::string> raw;

  // For a brace element "{name:argument}": the argument, empty when none.
  std::string DirectiveArgument() const {
    const size_t colon = text.find(':');
    if (colon == std::string::npos || text.size() < 2) return {};
    return text.substr(colon + 1, text.size() - colon - 2);
  }
  bool IsPunct(char c) const { return kind == BasElementKind::Punct && value == static_cast<uint8_t>(c); }
  bool IsToken(int32_t code) const { return kind == BasElementKind::Token && value == code; }
};

}  // namespace vantrel
