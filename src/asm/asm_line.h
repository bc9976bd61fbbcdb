// asm/asm_line.h: turning one assembler source line into line objects:
// the split into label, mnemonic and operand, the object for a mnemonic,
// brace directive lines, and the two reporting helpers every line uses.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "source/source_line.h"
#include <string_view>

namespace vantrel {

class AsmPrg;
class AsmInstr;

enum class AsmLineKind : uint32_t { NotSplit = 0, Empty, Equate, LabelOnly, Instruction, LabelAndInstruction };

struct AsmLineFields {
  const SourceLine* source = nullptr;
  AsmLineKind kind = AsmLineKind::NotSplit;
  bool ok = true;
  // Views into the source line, which outlives every pass.
  std::string_view label;
  std::string_view mnemonic;
  std::string_view operand;
};

// Splits a line; reports problems at the line's position and answers `ok`.
bool SplitAsmLine(const SourceLine& source, AsmPrg& program, AsmLineFields& fields);
// The Build pass for one line: answers whether the line was accepted.
bool BuildAsmLine(AsmPrg& program, const SourceLine& source);
// The object for a 6510 mnemonic or a pseudo-op word, built; null otherwise.
std::unique_ptr<AsmInstr> MakeInstruction(AsmPrg& program, const AsmLineFields& fields);

// A message about a line: "message: source text" at the line's position,
// or the message alone without a line.
bool ReportLineError(AsmPrg& program, const AsmInstr* line, const std::string& message);
bool ReportLineWarning(AsmPrg& program, const AsmInstr* line, const std::string& message);
// The messages more than one kind of line gives.
bool ReportImprintError(AsmPrg& program, const AsmInstr& line);  // its bytes cannot go into memory
bool ReportExtraCharacters(AsmPrg& program, const AsmInstr& line);
bool ReportUnresolvedOperand(AsmPrg& program, const AsmInstr& line);

enum class AsmDirective : uint32_t { None = 0, AddrCheck, Alpha, SymDemote, DebugStall };
std::string_view ToText(AsmDirective directive);

}  // namespace vantrel
