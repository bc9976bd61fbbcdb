// Preparing the program (references, REM removal, crunching, numbering) and
// writing it into memory as the C64 keeps it: per line a link word, the
// line number, the bytes and a 0; two 0 bytes end the program.
#include <algorithm>

#include "basic/bas_program.h"
#include "basic/basic_keywords.h"
#include "basic/byte_code.h"
#include "text/text_ops.h"

namespace vantrel {

namespace {

}  // namespace

// A DATA character as stored: shifted and lower-case letters become
// capitals; control characters and most of those from $5C on are dropped
// (-1).
int DataCharIn(uint8_t c) {
  if (c >= 0xC1 && c <= 0xDA) c = static_cast<uint8_t>(c - 128);
  else if (c >= 'a' && c <= 'z') c = static_cast<uint8_t>(c - 32);
  if (c < 32) return -1;
  if (c >= 92 && c != ']' && c != '^') return -1;
  return c;
}

namespace {

bool IsSpaceOrConsumed(const BasElement& e) {
  return e.kind == BasElementKind::Space || e.kind == BasElementKind::Consumed;
}

// Trailing colons and blanks write bytes that do nothing.
void ConsumeTrailing(BasLine& line) {
  for (auto it = line.elements.rbegin(); it != line.elements.rend(); ++it) {
    if (it->kind == BasElementKind::Consumed) continue;
    if (it->kind != BasElementKind::Space && !it->IsPunct(':')) break;
    it->kind = BasElementKind::Consumed;
  }
}

bool SpaceAfter(const BasElement& e) {
  switch (e.kind) {
    case BasElementKind::Quoted:
    case BasElementKind::Digits:
    case BasElementKind::Name:
    case BasElementKind::Label: return true;
    case BasElementKind::Punct: return e.value == ')';
    case BasElementKind::Token:
      return e.value == kTokenTo || e.value == kTokenThen || e.value == 0xA8 || e.value == 0xA9 ||
             e.value == 0xAF || e.value == 0xB0 || e.value == kTokenGo || (e.value >= 0x80 && e.value <= 0xA2);
    default: return false;
  }
}

bool SpaceBefore(const BasElement& e) {
  switch (e.kind) {
    case BasElementKind::Quoted:
    case BasElementKind::Digits:
    case BasElementKind::DataItem:
    case BasElementKind::Name:
    case BasElementKind::Label: return true;
    case BasElementKind::Punct: return e.value == '(' || e.value == ':';
    case BasElementKind::Token:
      // Operators sit between their operands without blanks.
      return !((e.value >= 0xAA && e.value <= 0xAE) || (e.value >= 0xB1 && e.value <= 0xB3));
    default: return false;
  }
}

std::string DirectiveArgumentOf(const BasElement& e) {
  size_t colon = e.text.find(':');
  if (colon == std::string::npos || e.text.size() < 2) return {};
  return e.text.substr(colon + 1, e.text.size() - colon - 2);
}

bool IsDirective(const BasElement& e, TokenizerDirective d) {
  return e.kind == BasElementKind::Brace && e.value == static_cast<int32_t>(d);
}

}  // namespace

bool BasProgram::PlaceIntoMemory() { return PrepareProgram(); }

bool BasProgram::PrepareProgram() {
  if (!options_.notBasic) {
    for (auto& line : lines_) {
      SetContext(*line);
      MakeReferences(*line);
    }
    RemoveRems();
    LinkLabelLines();
    CrunchAndSpace();
    if (renumber_requested_) Renumber();
    else if (!loaded_from_program_) AssignNumbers();
    for (auto& line : lines_)
      if (!line->endOfProgram && line->IsWritten() && line->lineNumber < 0)
        Error(*line, "Missing line number. Please add one or request a {renumber}.");
    loader_.SetContext(0, 0);
    if (loader_.Log().ErrorFlag()) return false;
    memory_.Clear();
    if (HasStatements() && !WriteLines()) return false;
    if (!loader_.AssemblerLines().empty())
      return loader_.Error("Inline assembly blocks need the assembler, which is not available yet");
    RestoreSavedCode();
  }
  if (memory_.Used().IsEmpty()) return loader_.Error("No program to save");
  if (!memory_.Extract(memory_.Used(), program_file_)) return loader_.Error("Program is too large to fit in memory");
  return true;
}

void BasProgram::RemoveRems() {
  for (auto& ptr : lines_) {
    BasLine& line = *ptr;
    SetContext(line);
    auto& el = line.elements;
    bool removed = false;
    for (size_t i = 0; i < el.size(); ++i) {
      if (IsDirective(el[i], TokenizerDirective::RemRemoval)) {
        SetSwitch(options_.remRemoval, DirectiveArgumentOf(el[i]), "REM Removal");
      } else if (options_.remRemoval && (el[i].kind == BasElementKind::Tick || el[i].IsToken(kTokenRem))) {
        el.erase(el.begin() + static_cast<long>(i), el.end());
        removed = true;
      }
    }
    std::erase_if(el, [](const BasElement& e) { return e.kind == BasElementKind::Consumed; });
    // Only a line that lost its REM loses the colon before it; other lines
    // keep their bytes exactly.
    if (removed) ConsumeTrailing(line);
  }
}

void BasProgram::CrunchAndSpace() {
  for (auto& ptr : lines_) {
    BasLine& line = *ptr;
    SetContext(line);
    for (const BasElement& e : line.elements) {
      if (IsDirective(e, TokenizerDirective::Crunch)) SetSwitch(options_.crunch, DirectiveArgumentOf(e), "Crunch");
      if (IsDirective(e, TokenizerDirective::AutoSpace))
        SetSwitch(options_.autospace, DirectiveArgumentOf(e), "AutoSpace");
    }
    if (options_.crunch || options_.autospace) CrunchLine(line);
    if (options_.autospace) SpaceLine(line);
  }
  crunched_ = crunched_ || options_.crunch;
}

void BasProgram::CrunchLine(BasLine& line) {
  std::erase_if(line.elements, IsSpaceOrConsumed);
  ConsumeTrailing(line);
}

void BasProgram::SpaceLine(BasLine& line) {
  std::vector<BasElement> spaced;
  for (BasElement& e : line.elements) {
    if (e.kind == BasElementKind::Consumed) continue;
    if (!spaced.empty() && SpaceAfter(spaced.back()) && SpaceBefore(e))
      spaced.push_back({" ", BasElementKind::Space, ' '});
    spaced.push_back(std::move(e));
  }
  line.elements = std::move(spaced);
}

bool BasProgram::WriteLines() {
  uint32_t cursor = load_address_;
  for (auto& line : lines_) {
    SetContext(*line);
    if (!line->endOfProgram && !line->IsWritten()) {
      // A directive on a line of its own writes nothing but still switches
      // the lines after it.
      for (const BasElement& e : line->elements)
        if (e.kind == BasElementKind::Brace) DirectiveAtWrite(e);
      continue;
    }
    const uint32_t start = cursor;
    if (!WriteLine(*line, cursor)) {
      loader_.SetContext(0, 0);
      return Error(*line, "Error writing to address $" + Hex(start & 0xFFFF, 4));
    }
  }
  loader_.SetContext(0, 0);
  inline_asm_origin_ = cursor;
  return true;
}

bool BasProgram::PutByte(uint32_t& cursor, uint8_t byte) {
  if (cursor > 0xFFFF) return false;
  memory_.Write(static_cast<uint16_t>(cursor), byte);
  memory_.MarkUsed(static_cast<uint16_t>(cursor));
  ++cursor;
  return true;
}

bool BasProgram::WriteLine(const BasLine& line, uint32_t& cursor) {
  const uint32_t link = cursor;
  auto out_of_memory = [&] { return Error(line, "Ran off end of memory!"); };
  if (!PutByte(cursor, 0) || !PutByte(cursor, 0)) return out_of_memory();
  if (line.endOfProgram) return true;
  if (line.lineNumber < 0) return Error(line, "Missing line number");
  if (!PutByte(cursor, static_cast<uint8_t>(line.lineNumber & 0xFF)) ||
      !PutByte(cursor, static_cast<uint8_t>((line.lineNumber >> 8) & 0xFF)))
    return out_of_memory();
  for (const BasElement& e : line.elements) {
    if (e.kind == BasElementKind::Consumed) continue;
    if (e.kind == BasElementKind::Brace) {
      DirectiveAtWrite(e);
      continue;
    }
    if (!IsCodeKind(e.kind)) continue;
    for (char c : ElementToBytes(e))
      if (!PutByte(cursor, static_cast<uint8_t>(c))) return out_of_memory();
  }
  // The link must point at the next line, which has to fit in memory too.
  if (!PutByte(cursor, 0) || cursor > 0xFFFF) return out_of_memory();
  memory_.Write(static_cast<uint16_t>(link), static_cast<uint8_t>(cursor & 0xFF));
  memory_.Write(static_cast<uint16_t>(link + 1), static_cast<uint8_t>(cursor >> 8));
  return true;
}

bool BasProgram::SetSwitch(bool& option, const std::string& argument, const char* label) {
  const std::string word = LowerCopy(Trim(argument));
  if (IsTrueWord(word) || IsFalseWord(word)) {
    option = IsTrueWord(word);
    return loader_.Info(std::string(label) + " mode " + (option ? "turned on" : "turned off"));
  }
  return loader_.Error(std::string(label) + " mode directive error");
}

void BasProgram::DirectiveAtWrite(const BasElement& e) {
  const std::string argument = DirectiveArgumentOf(e);
  switch (static_cast<TokenizerDirective>(e.value)) {
    case TokenizerDirective::CrsrCodes:
      SetSwitch(options_.translateCodes, argument, "CrsrCodes");
      ShareTranslation();
      break;
    case TokenizerDirective::CrsrCount:
      SetSwitch(options_.countRepeats, argument, "CrsrCount");
      ShareTranslation();
      break;
    case TokenizerDirective::Alpha: codes_.SetAlphaMode(argument, loader_); break;
    case TokenizerDirective::VarCase:
    case TokenizerDirective::KeywordCase: {
      const bool var = e.value == static_cast<int32_t>(TokenizerDirective::VarCase);
      CharacterCase c = ReadCharacterCase(Trim(argument));
      (var ? options_.variableCase : options_.keywordCase) = c;
      const std::string label = var ? "Variable case" : "Keyword case";
      if (c == CharacterCase::Invalid) loader_.Info(label + " invalid value: " + argument);
      else loader_.Info(label + " mode " + ToString(c));
      break;
    }
    default:
      if (e.value < 1 || e.value > 22) loader_.Error("Unrecognized Directive " + e.text);
      break;
  }
}

std::string BasProgram::ElementToBytes(const BasElement& e) {
  if (e.raw) return *e.raw;
  switch (e.kind) {
    case BasElementKind::Quoted: {
      std::string bytes;
      if (!codes_.TextToPetscii(e.text, bytes)) {
        loader_.Error("Unknown or badly formed token in string: " + e.text);
        return {};
      }
      return bytes;
    }
    case BasElementKind::Remainder: return RemainderBytes(e.text);
    case BasElementKind::DataItem: return DataItemBytes(e.text);
    case BasElementKind::Space:
    case BasElementKind::Digits:
    case BasElementKind::Control:
    case BasElementKind::Punct: return e.text;
    case BasElementKind::Token: return std::string(1, static_cast<char>(e.value & 0xFF));
    case BasElementKind::Name: return UpperCopy(e.text);
    case BasElementKind::SymbolRef: return "00000";
    case BasElementKind::Label: {
      // A label with no code after it names no line number.
      const BasLine* target = ResolveReference(e);
      if (target && target->lineNumber >= 0) return std::to_string(target->lineNumber);
      loader_.Error("Can't locate target line: " + e.text);
      return UnresolvedReferenceText(e);
    }
    case BasElementKind::Brace:
      loader_.Error("Found unexpected directive");
      return "<DIRECTIVE!>";
    case BasElementKind::Key:
      loader_.Error("Found unexpected keyword");
      return "<KEYWORD!>";
    case BasElementKind::None:
    case BasElementKind::End:
    case BasElementKind::Consumed:
    case BasElementKind::Tick: return {};
    default: return "<\?\?\?>";
  }
}

// REM text is not tokenized; only its letters follow the alphabet mode.
// Byte codes come back as their bytes.
std::string BasProgram::RemainderBytes(const std::string& text) const {
  const AlphaMode mode = codes_.Alpha();
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    uint8_t b = 0;
    if (ReadByteCode(text, i, b)) {
      i += 4;
      out += static_cast<char>(b);
    } else {
      out += static_cast<char>(RemarkIn(mode, static_cast<uint8_t>(text[i])));
    }
  }
  return out;
}

std::string BasProgram::DataItemBytes(const std::string& text) const {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    uint8_t b = 0;
    if (ReadByteCode(text, i, b)) {
      i += 4;
      out += static_cast<char>(b);
    } else if (int c = DataCharIn(static_cast<uint8_t>(text[i])); c >= 0) {
      out += static_cast<char>(c);
    }
  }
  return out;
}

void BasProgram::RestoreSavedCode() {
  if (saved_code_.Size() == 0) return;
  AddressRange range(saved_code_.load_address, saved_code_.load_address + saved_code_.Size() - 1);
  if (range.Overlaps(memory_.Used())) {
    loader_.Warning("Removed conflicting loaded non-BASIC code at " + range.Text());
    return;
  }
  memory_.Place(saved_code_);
}

}  // namespace vantrel
