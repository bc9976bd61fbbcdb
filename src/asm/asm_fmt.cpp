#include "asm/asm_fmt.h"

#include <vector>

#include "asm/asm_instr.h"
#include "text/text_ops.h"

namespace vantrel {

namespace {

// The option words; "-'format'" may hold blanks, so it is one word.
std::vector<std::string> FormatWords(std::string_view text) {
  std::vector<std::string> words;
  size_t i = 0;
  while (i < text.size()) {
    if (kBlankChars.find(text[i]) != kNotFound) {
      ++i;
      continue;
    }
    size_t end = FirstOf(text, kBlankChars, i);
    if (text.substr(i, 2) == "-'") {
      const size_t close = text.find('\'', i + 2);
      end = close == kNotFound ? text.size() : close + 1;
    }
    if (end == kNotFound) end = text.size();
    words.emplace_back(text.substr(i, end - i));
    i = end;
  }
  return words;
}

std::string BytesColumn(const AsmInstr6510& line) {
  const AsmInstr6510::Bytes& b = line.Encoded();
  const uint32_t length = b.valid ? b.length : line.Size();
  std::string column;
  switch (length) {
    case 1: column = b.valid ? Hex(b.opcode, 2) : "??"; break;
    case 2: column = b.valid ? Hex(b.opcode, 2) + " " + Hex(b.low, 2) : "?? ??"; break;
    case 3: column = b.valid ? Hex(b.opcode, 2) + " " + Hex(b.low, 2) + " " + Hex(b.high, 2) : "?? ?? ??"; break;
    default: return "bad disassembly error!";
  }
  column.resize(8, ' ');
  return column;
}

std::string CyclesColumn(const OpcodeEntry& entry) {
  std::string text = std::to_string(entry.cycles);
  // A branch taken costs one cycle more.
  if (IsBranch(entry.mnemonic)) text += " | " + std::to_string(entry.cycles + 1);
  if (entry.pageCrossing) text += "*";
  return text;
}

AddressingMode LineMode(const AsmInstr6510& line) { return line.HasEntry() ? line.Entry().mode : line.Mode(); }

std::string NumericOperand(const AsmInstr6510& line) {
  const AddressingMode mode = LineMode(line);
  // A branch shows its target address.
  const uint32_t length = mode == AddressingMode::Relative ? 3 : InstructionLength(mode);
  if (length < 2) return FormatOperand(mode, "");
  return FormatOperand(mode, line.Operand().Address().FormatForOperand(length));
}

}  // namespace

bool ParseAsmFmt(std::string_view text, AsmFmt& fmt) {
  for (const std::string& word : FormatWords(text)) {
    const std::string lower = LowerCopy(word);
    if (lower == "-clr" || lower == "-dbg") {
      fmt = AsmFmt();
    } else if (lower == "-mon") {
      fmt = {true, false, false, false, false, false, false, "\t%a  %b\t %i %o"};
    } else if (lower == "-src") {
      fmt.mon = fmt.illegal = fmt.addlabels = false;
      fmt.symbols = fmt.pseudo = fmt.equates = fmt.labels = true;
      fmt.format = "\t\t%i %s";
    } else if (lower == "-illegal") {
      fmt.illegal = true;
    } else if (lower == "-symbols") {
      fmt.symbols = true;
    } else if (lower == "-pseudo") {
      fmt.pseudo = true;
    } else if (lower == "-equates") {
      fmt.equates = true;
    } else if (lower == "-addlabels") {
      fmt.addlabels = true;
    } else if (lower == "-labels") {
      fmt.labels = true;
    } else if (word.size() >= 3 && word.substr(0, 2) == "-'" && word.back() == '\'') {
      fmt.format = word.substr(2, word.size() - 3);
    } else {
      return false;
    }
  }
  return true;
}

std::string FormatListingLine(const AsmInstr6510& line, const AsmFmt& fmt) {
  std::string out;
  const std::string& format = fmt.format;
  for (size_t i = 0; i < format.size(); ++i) {
    if (format[i] != '%' || i + 1 == format.size()) {
      out += format[i];
      continue;
    }
    const char code = format[++i];
    switch (code) {
      case 'a': out += line.address.Format(false); break;
      case 'b': out += BytesColumn(line); break;
      case 'c': out += line.HasEntry() ? CyclesColumn(line.Entry()) : ""; break;
      case 'i':
        out += (line.HasEntry() && line.Entry().IsIllegal() && !fmt.illegal) ? std::string("???")
                                                                              : std::string(MnemonicName(line.GetMnemonic()));
        break;
      case 'o': out += NumericOperand(line); break;
      case 's':
        out += line.Operand().Text().empty() ? NumericOperand(line) : FormatOperand(LineMode(line), line.Operand().Text());
        break;
      case 'l': out += line.GetName(); break;
      case 't': out += '\t'; break;
      default: out += code; break;
    }
  }
  return out;
}

}  // namespace vantrel
