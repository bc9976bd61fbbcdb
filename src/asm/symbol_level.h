// asm/symbol_level.h: how important a symbol is; the .sym output and the
// -symlvl option filter by it.
#pragma once

#include <cstdint>
#include <string_view>

namespace vantrel {

enum class SymbolLevel : int8_t { Invalid = 0, Debug = 1, All = 2, Local = 3, General = 4, Important = 5, Auto = 6 };

// The level an option word names; Invalid (which filters nothing) otherwise.
SymbolLevel SymbolLevelFromText(std::string_view text);

}  // namespace vantrel
