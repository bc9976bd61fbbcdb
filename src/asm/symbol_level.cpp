#include "asm/symbol_level.h"

#include "text/text_ops.h"

namespace vantrel {

namespace {
struct LevelWord {
  std::string_view word;
  SymbolLevel level;
};

constexpr LevelWord kLevelWords[] = {
    {"+", SymbolLevel::Debug},         {"debug", SymbolLevel::Debug},       {"dbg", SymbolLevel::Debug},
    {"!", SymbolLevel::Important},     {"important", SymbolLevel::Important}, {"high", SymbolLevel::Important},
    {"-", SymbolLevel::General},       {"general", SymbolLevel::General},   {"normal", SymbolLevel::General},
    {"@", SymbolLevel::Local},         {"local", SymbolLevel::Local},       {"low", SymbolLevel::Local},
    {"auto", SymbolLevel::Auto},
};
}  // namespace

SymbolLevel SymbolLevelFromText(std::string_view text) {
  const std::string lower = LowerCopy(text);
  for (const LevelWord& w : kLevelWords)
    if (w.word == lower) return w.level;
  return SymbolLevel::Invalid;
}

}  // namespace vantrel
