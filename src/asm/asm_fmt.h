// asm/asm_fmt.h: the listing options (set by the asmfmt pseudo-op) and the
// small format language a listing line is written with.
#pragma once

#include <string>
#include <string_view>

namespace vantrel {

inline constexpr std::string_view kDefaultListingFormat = "\t%a  %b\t %i %o \t;%s";

struct AsmFmt {
  bool mon = false;        // instructions decoded from their bytes
  bool illegal = false;    // undocumented opcodes show their mnemonics
  bool symbols = true;     // operands shown by the symbol of their value
  bool pseudo = true;      // pseudo-op lines shown
  bool equates = true;     // equate lines shown
  bool addlabels = true;   // a label line at every address a symbol names
  bool labels = true;      // label lines shown
  std::string format{kDefaultListingFormat};
};

// Applies the option words ("-mon -labels", "-'%a %i'") left to right;
// false on a word it does not know.
bool ParseAsmFmt(std::string_view text, AsmFmt& fmt);

class AsmInstr6510;
// One instruction line by the format: %a address, %b bytes, %c cycles,
// %i mnemonic, %o numeric operand, %s source operand, %l name, %t tab.
std::string FormatListingLine(const AsmInstr6510& line, const AsmFmt& fmt);

}  // namespace vantrel
