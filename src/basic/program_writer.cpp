// Writing the prepared program into memory as the C64 keeps it: per line
// a link word, the line number, the bytes and a 0; two 0 bytes end it.
#include <algorithm>
#include <cstdio>

#include "basic/bas_program.h"
#include "basic/basic_keywords.h"
#include "basic/byte_code.h"
#include "basic/line_memory.h"
#include "text/text_ops.h"

namespace vantrel {

bool BasProgram::WriteLines() {
  symbol_slots_.clear();
  LineMemory memory(memory_, load_address_);
  for (auto& line : lines_) {
    if (!line->endOfProgram && !line->IsWritten()) {
      // A directive on a line of its own writes nothing but still switches
      // the lines after it.
      for (const BasElement& e : line->elements)
        if (e.kind == BasElementKind::Brace) DirectiveAtWrite(e, line->pos);
      continue;
    }
    const uint32_t start = memory.Cursor();
    if (!WriteLine(*line, memory)) return log_.ReportError(line->pos, "Error writing to address $" + Hex(start & 0xFFFF, 4));
  }
  end_address_ = memory.Cursor();
  return true;
}

bool BasProgram::WriteLine(BasLine& line, LineMemory& memory) {
  const uint32_t link = memory.Cursor();
  auto out_of_memory = [&] { return log_.ReportError(line.pos, RanOffMemoryText()); };
  if (!memory.PutLink()) return out_of_memory();
  if (line.endOfProgram) return true;
  if (line.lineNumber < 0) return log_.ReportError(line.pos, "Missing line number");
  if (!memory.PutNumber(line.lineNumber)) return out_of_memory();
  bool zero = false;
  for (BasElement& e : line.elements) {
    if (e.kind == BasElementKind::Consumed) continue;
    // The placeholder's address, where the symbol's value goes once assembled.
    if (e.kind == BasElementKind::SymbolRef) symbol_slots_[&e] = memory.Cursor();
    if (e.kind == BasElementKind::Brace) {
      DirectiveAtWrite(e, line.pos);
      continue;
    }
    if (!IsCodeKind(e.kind)) continue;
    const std::string bytes = ElementToBytes(e, line.pos);
    if (!memory.Put(bytes)) return out_of_memory();
    zero = zero || bytes.find('\0') != std::string::npos;
  }
  // The C64 ends a line at its first 0 and reads what follows as the next
  // line's link and number.
  if (zero) log_.ReportWarning(line.pos, "Zero byte inside line " + line.text);
  return memory.EndLine(link) || out_of_memory();
}

void BasProgram::DirectiveAtWrite(const BasElement& e, SourcePos at) {
  const std::string argument(e.Argument());
  switch (e.directive) {
    case TokenizerDirective::CrsrCodes:
      SetSwitch(options_.translateCodes, argument, "CrsrCodes", at);
      ShareTranslation();
      break;
    case TokenizerDirective::CrsrCount:
      SetSwitch(options_.countRepeats, argument, "CrsrCount", at);
      ShareTranslation();
      break;
    case TokenizerDirective::Alpha: codes_.SetAlphaMode(argument, log_, at); break;
    case TokenizerDirective::VarCase:
    case TokenizerDirective::KeywordCase: {
      const bool var = e.directive == TokenizerDirective::VarCase;
      CharacterCase c = ReadCharacterCase(Trim(argument));
      (var ? options_.variableCase : options_.keywordCase) = c;
      const std::string label = var ? "Variable case" : "Keyword case";
      if (c == CharacterCase::Invalid) log_.ReportInfo(at, label + " invalid value: " + argument);
      else log_.ReportInfo(at, label + " mode " + ToString(c));
      break;
    }
    default: break;
  }
}

std::string BasProgram::ElementToBytes(const BasElement& e, SourcePos at) {
  if (const auto raw = e.Raw()) return std::string(*raw);
  switch (e.kind) {
    case BasElementKind::Quoted: {
      std::string bytes;
      if (!codes_.TextToPetscii(e.text, bytes)) {
        log_.ReportError(at, "Unknown or badly formed token in string: " + std::string(e.text));
        return {};
      }
      return bytes;
    }
    case BasElementKind::Remainder: return RemainderBytes(e.text);
    case BasElementKind::DataItem: return TypedBytes(e.text);
    case BasElementKind::Space:
    case BasElementKind::Digits:
    case BasElementKind::Control:
    case BasElementKind::Punct: return std::string(e.text);
    case BasElementKind::Token: return TokenBytes(e.value);
    case BasElementKind::Name: return UpperCopy(e.text);
    case BasElementKind::SymbolRef: return "00000";
    case BasElementKind::Label: {
      // A label with no code after it names no line number.
      const BasLine* target = ResolveReference(e);
      if (target && target->lineNumber >= 0) return TargetNumberText(e, *target);
      log_.ReportError(at, TargetNotFoundText(e));
      return UnresolvedReferenceText(e);
    }
    case BasElementKind::Brace:
      log_.ReportError(at, "Found unexpected directive");
      return "<DIRECTIVE!>";
    case BasElementKind::Key:
      log_.ReportError(at, "Found unexpected keyword");
      return "<KEYWORD!>";
    case BasElementKind::None:
    case BasElementKind::End:
    case BasElementKind::Consumed:
    case BasElementKind::Tick: return {};
    default: return "<\?\?\?>";
  }
}

// REM text and DATA items are stored as typed; only their letters follow
// the alphabet mode. Byte codes come back as their bytes.
std::string BasProgram::TypedBytes(std::string_view text) const {
  const AlphaMode mode = codes_.Alpha();
  return DecodeByteCodes(text, [mode](uint8_t c) { return static_cast<int>(RemarkIn(mode, c)); });
}

// petcat reads the quoted parts of a REM as strings, brace codes and all,
// and writes control codes outside them as brace codes too ("rem {wht}").
std::string BasProgram::RemainderBytes(std::string_view text) const {
  if (codes_.Alpha() != AlphaMode::Petcat) return TypedBytes(text);
  std::string bytes;
  for (size_t pos = 0; pos < text.size();) {
    const size_t open = std::min(text.find('"', pos), text.size());
    const std::string_view plain = std::string_view(text).substr(pos, open - pos);
    std::string plain_bytes;
    bytes += plain.find('{') != std::string_view::npos && codes_.TextToPetscii(plain, plain_bytes) ? plain_bytes
                                                                                                   : TypedBytes(plain);
    if (open == text.size()) break;
    const size_t close = text.find('"', open + 1);
    const size_t end = close == std::string::npos ? text.size() : close + 1;
    const std::string_view quoted = std::string_view(text).substr(open, end - open);
    std::string string_bytes;
    bytes += codes_.TextToPetscii(quoted, string_bytes) ? string_bytes : TypedBytes(quoted);
    pos = end;
  }
  return bytes;
}

void BasProgram::RestoreSavedCode() {
  if (!SavedCodeFits(memory_.Used())) return;
  memory_.Place(saved_code_);
}

bool BasProgram::SavedCodeFits(const AddressRange& program) {
  if (saved_code_.Size() == 0) return false;
  AddressRange range(saved_code_.load_address, saved_code_.load_address + saved_code_.Size() - 1);
  if (!range.Overlaps(program)) return true;
  log_.ReportWarning("Removed conflicting loaded non-BASIC code at " + range.Text());
  return false;
}

// A loaded program is written back from its own bytes, so where it would
// end is known without writing it.
bool BasProgram::PrepareText() {
  if (!Prepare()) return false;
  if (!HasStatements()) return true;
  uint32_t size = 0;
  for (const auto& line : lines_) {
    if (line->endOfProgram) size += 2;
    if (line->endOfProgram || !line->IsWritten()) continue;
    size += 5;
    for (const BasElement& e : line->elements)
      if (const auto raw = e.Raw(); raw && IsCodeKind(e.kind)) size += static_cast<uint32_t>(raw->size());
  }
  SavedCodeFits(AddressRange(load_address_, load_address_ + size - 1));
  return true;
}

void BasProgram::PatchSymbolReferences(const SymbolValue& value_of) {
  for (auto& line : lines_) {
    for (BasElement& e : line->elements) {
      if (e.kind != BasElementKind::SymbolRef) continue;
      const std::optional<uint16_t> value = value_of(std::string(e.text));
      if (!value) {
        log_.ReportError(line->pos, "Could not resolve symbol " + std::string(e.text));
        continue;
      }
      const auto slot = symbol_slots_.find(&e);
      if (slot == symbol_slots_.end()) {
        log_.ReportError(line->pos, "Invalid symbol reference " + std::string(e.text));
        continue;
      }
      // Five characters always hold a 16-bit number; blanks pad it on the left.
      char digits[6];
      std::snprintf(digits, sizeof digits, "%5u", static_cast<unsigned>(*value));
      for (uint32_t i = 0; i < 5; ++i) memory_.Write(static_cast<uint16_t>(slot->second + i), static_cast<uint8_t>(digits[i]));
      e.kind = BasElementKind::Digits;
      e.text = texts_.Keep(digits);
    }
  }
}

}  // namespace vantrel
