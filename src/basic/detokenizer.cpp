// Program bytes back to BASIC lines. Lines are read one after another, not
// by following the link words, so a bad link cannot send the reader round
// in circles; a line that runs off the loaded bytes ends the reading.
#include <string>

#include "basic/bas_program.h"
#include "basic/basic_keywords.h"
#include "basic/byte_code.h"
#include "text/text_ops.h"

namespace vantrel {

bool BasProgram::Detokenize(ProgramFile file) { return LoadPrg(file); }

bool BasProgram::LoadPrg(ProgramFile& file) {
  ResetNumbering();
  ShareTranslation();
  loaded_from_program_ = true;
  const uint16_t address = file.TakeLoadAddress();
  if (address == 0xFFFF) return log_.ReportError("Bad load address");
  if (!memory_.Place(file)) return log_.ReportError("Error inserting program into memory");
  saved_code_.Clear();
  const AddressRange behind = memory_.RangeBehindBasic();
  if (!behind.IsEmpty() && !memory_.Extract(behind, saved_code_))
    log_.ReportWarning("Unretrievable non-BASIC code in file");
  if (load_address_ == kUnsetAddress) load_address_ = address;

  if (!options_.notBasic) {
    // The text names its dialect, so that it reads back with the same keywords.
    if (dialect_ != &DefaultDialect())
      AddDirectiveLine(TokenizerDirective::Dialect, "dialect", std::string(dialect_->name));
    if (address != dialect_->load_address) {
      SetLoadAddress(address, load_address_, SourcePos{});
      AddDirectiveLine(TokenizerDirective::LoadAddr, "loadaddr", '$' + Hex(address, 4));
    }
    const uint32_t last = memory_.Used().end;
    std::string bytes;
    bytes.reserve(last >= address ? last - address + 1 : 0);
    for (uint32_t a = address; a <= last; ++a) bytes += static_cast<char>(memory_.Read(static_cast<uint16_t>(a)));
    std::vector<std::string_view> bodies;
    uint32_t cursor = address;
    int32_t previous = -1;
    while (true) {
      auto line = std::make_unique<BasLine>();
      // A line that runs off the loaded bytes ends the program there, so a
      // rebuild still closes it with its end marker.
      if (!DetokenizeLine(*line, bytes, address, cursor, previous, bodies)) {
        line = std::make_unique<BasLine>();
        line->endOfProgram = true;
      }
      const bool end = line->endOfProgram;
      if (options_.debugDump && !end) DebugDump(*line);
      lines_.push_back(std::move(line));
      if (end) break;
    }
    WarnOtherDialect(address, bodies);
  }
  // Code right behind a sound BASIC program can be written into the text as
  // an {asm} block; anything else is only warned about.
  code_kept_ = options_.keepCode != KeepCode::Off && !options_.notBasic && !behind.IsEmpty() &&
               memory_.BasicEnd() != 0 && saved_code_.Size() > 0;
  if ((!behind.IsEmpty() || options_.notBasic) && !code_kept_) {
    const AddressRange shown = behind.IsEmpty() ? memory_.Used() : behind;
    // -keepcode can keep only code right behind a sound BASIC program.
    const bool keepable = !options_.notBasic && !behind.IsEmpty() && memory_.BasicEnd() != 0;
    AddDirectiveLine(TokenizerDirective::Warning, "warning",
                     "Source .prg file contains non-BASIC code which will need to be ported separately: " +
                         shown.Text() + (keepable ? " (-keepcode keeps it in the text)" : ""));
  }
  return !log_.ErrorFlag();
}

bool BasProgram::DetokenizeLine(BasLine& line, std::string_view bytes, uint16_t address, uint32_t& cursor,
                                int32_t& previous, std::vector<std::string_view>& bodies) {
  auto past = [&](uint32_t at) { return at - address >= bytes.size(); };
  auto byte = [&](uint32_t at) { return static_cast<uint8_t>(bytes[at - address]); };
  auto word = [&](uint32_t at) { return static_cast<uint16_t>(byte(at) | byte(at + 1) << 8); };
  if (past(cursor + 1)) {
    // The file ends without the two zero bytes that close a program.
    line.endOfProgram = true;
    return log_.ReportWarning(RanOffMemoryText());
  }
  if (word(cursor) == 0) {
    line.endOfProgram = true;
    return true;
  }
  if (past(cursor + 3)) return !log_.ReportWarning(RanOffMemoryText());
  const uint16_t link = word(cursor);
  cursor += 2;
  line.fromProgram = true;
  line.lineNumber = word(cursor);
  line.SetText(std::to_string(line.lineNumber));
  cursor += 2;
  if (line.lineNumber >= kFirstInvalidLineNumber) {
    log_.ReportWarning("Illegal line number " + line.text);
  } else {
    if (line.lineNumber <= previous) log_.ReportWarning(OutOfOrderText(line));
    previous = line.lineNumber;
  }

  const uint32_t start = cursor;
  while (!past(cursor) && byte(cursor) != 0) ++cursor;
  if (past(cursor)) return !log_.ReportWarning(RanOffMemoryText());
  const std::string_view body = bytes.substr(start - address, cursor - start);
  elements_.clear();
  bodies.push_back(body);
  ++cursor;  // past the line's zero byte
  // The C64 relinks a program when it loads it, so any link works there;
  // a rebuilt program holds the right one.
  if (link != (cursor & 0xFFFF))
    log_.ReportWarning("Line " + line.text + " links to $" + Hex(link, 4) + ", not to the next line at $" +
                    Hex(cursor & 0xFFFF, 4) + "; a rebuilt program corrects the link");
  // Only a whole line is indexed: a cut one is dropped, and a jump to it
  // must not find it.
  RegisterLine(line);

  LineLexer lexer(body, keywords_, LineLexer::Mode::Bytes);
  bool rest_of_line = false;
  bool in_data = false;
  while (true) {
    BasElement e = lexer.Next(rest_of_line, in_data);
    if (e.kind == BasElementKind::End) break;
    const bool data_item = in_data && e.kind != BasElementKind::Punct;
    // The C64 gives an apostrophe no meaning, so what follows it is read on
    // as code (it only starts a comment in source text).
    if (e.IsToken(kTokenRem)) rest_of_line = true;
    if (e.IsToken(kTokenData)) in_data = true;
    else if (e.IsPunct(':')) in_data = false;
    const std::string text = data_item ? DataItemWithBlanks(e, lexer.LastSpan(), line.text) : ElementToText(e, line.text);
    e.SetLoaded(texts_, lexer.LastSpan(), text);
    // An apostrophe byte is code on the C64; as a token it stays in the line.
    if (e.kind == BasElementKind::Tick) e.kind = BasElementKind::Token;
    elements_.push_back(std::move(e));
  }
  TakeElements(line);
  return true;
}

std::string BasProgram::ElementToText(const BasElement& e, std::string_view line) const {
  switch (e.kind) {
    case BasElementKind::None: return "<NONE>";
    case BasElementKind::End: return "<NULL>";
    case BasElementKind::Consumed: return {};
    // Bytes with no plain text form are written so the tokenizer reads them
    // back as the same byte.
    case BasElementKind::Tick:
    case BasElementKind::Control: return ByteCode(static_cast<uint8_t>(e.value));
    case BasElementKind::Key: return "<KEY:" + std::string(e.text) + ">";
    case BasElementKind::SymbolRef: return "<HOLD>";
    case BasElementKind::Quoted: return codes_.PetsciiToText(e.text, line);
    case BasElementKind::Token:
      // petcat writes pi as "~" and reads it back so.
      if (e.value == kTokenPi && codes_.Alpha() == AlphaMode::Petcat) return "~";
      return ApplyCase(options_.keywordCase, keywords_.OutputName(e.value));
    case BasElementKind::Remainder: return RemainderText(e.text);
    case BasElementKind::Name:
      if (supervariables_.Enabled())
        return "{var:" + supervariables_.ForBasicName(std::string(e.text)) + "}";
      return ApplyCase(options_.variableCase, std::string(e.text));
    case BasElementKind::Punct:
      // A raw brace would open a directive when the text is read again, and
      // petcat reads "~" as pi.
      return e.value == '{' || e.value == '}' || (e.value == '~' && codes_.Alpha() == AlphaMode::Petcat)
                 ? ByteCode(static_cast<uint8_t>(e.value))
                 : std::string(e.text);
    case BasElementKind::DataItem: return RemainderText(e.text);
    case BasElementKind::Brace:
    case BasElementKind::Space:
    case BasElementKind::Digits:
    case BasElementKind::Label: return std::string(e.text);
    default: return "<\?\?\?>";
  }
}

// REM text and DATA items follow the alphabet mode; a byte whose text form
// would not read back as the same byte is written as a byte code instead.
std::string BasProgram::RemainderText(std::string_view bytes) const {
  const AlphaMode mode = codes_.Alpha();
  std::string out;
  for (char ch : bytes) {
    const uint8_t b = static_cast<uint8_t>(ch);
    const uint8_t text = RemarkOut(mode, b);
    const bool plain = b >= 32 && text != '{' && text != '}' && RemarkIn(mode, text) == b;
    if (plain) out += static_cast<char>(text);
    else out += ByteCode(b);
  }
  return out;
}

// The blanks around a DATA item are written as byte codes, which no
// trimming of the line can take. A quoted item behind them no longer reads
// as quoted, so it is written as other items are.
std::string BasProgram::DataItemWithBlanks(const BasElement& e, std::string_view raw, std::string_view line) const {
  const size_t lead = raw.find_first_not_of(' ');
  if (lead == std::string::npos) return ByteCodes(' ', raw.size());
  const size_t trail = raw.size() - 1 - raw.find_last_not_of(' ');
  const bool quoted = e.kind == BasElementKind::Quoted && lead == 0;
  return ByteCodes(' ', lead) + (quoted ? codes_.PetsciiToText(e.text, line) : RemainderText(e.text)) +
         ByteCodes(' ', trail);
}

void BasProgram::DebugDump(const BasLine& line) const {
  std::string out = "===============BasLine Tokenization=====================\n";
  out += line.referenced ? "[R] " : "[ ] ";
  out += line.text + " \n";
  for (const BasElement& e : line.elements) ((out += '[') += e.text) += ']';
  out += "\n";
  std::fwrite(out.data(), 1, out.size(), stderr);
}

}  // namespace vantrel
