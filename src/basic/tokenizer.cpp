// Text to BASIC lines: each source line is cut into elements, its number or
// label taken from the front, and brace directives acted on as they come.
#include <algorithm>
#include <iterator>

#include "basic/bas_program.h"
#include "basic/basic_keywords.h"
#include "text/number_reader.h"
#include "text/text_ops.h"

namespace vantrel {

namespace {

// The C64 ignores blanks before a line number, and its screen editor drops
// those at the end of a line; petcat keeps the latter.
std::string_view SourceText(std::string_view text, bool keep_trailing_blanks) {
  const size_t first = text.find_first_not_of(kBlankChars);
  if (first == std::string_view::npos) return {};
  text.remove_prefix(first);
  return keep_trailing_blanks ? text : text.substr(0, text.find_last_not_of(kBlankChars) + 1);
}

// Whether an element puts at least one byte into memory whatever comes
// later: REM removal, crunching and spacing (when `trimmed` may be on) only
// take blanks, colons and REMs, and a DATA item may be empty.
bool SurelyWritesAByte(const BasElement& e, bool trimmed) {
  switch (e.kind) {
    case BasElementKind::Space: return !trimmed;
    case BasElementKind::Quoted:
    case BasElementKind::Digits:
    case BasElementKind::Control:
    case BasElementKind::Name:
    case BasElementKind::SymbolRef:
    case BasElementKind::Label: return true;
    case BasElementKind::Token: return !trimmed || e.value != kTokenRem;
    case BasElementKind::Punct: return !trimmed || e.value != ':';
    default: return false;
  }
}

// The bytes of the C64's memory: a program that surely needs more can
// never be written, however it goes on.
constexpr uint32_t kMemoryBytes = 0x10000;

}  // namespace

void BasProgram::ResetNumbering() {
  least_bytes_ = 0;
  may_trim_ = options_.crunch || options_.autospace || options_.remRemoval;
  renumber_requested_ = false;
  numbering_.Reset();
  last_line_number_ = -1;
}

bool BasProgram::Tokenize() {
  const LineBlock& source = loader_.BasicLines();
  if (source_lines_done_ == 0) {
    ResetNumbering();
    petcat_text_ = codes_.Alpha() == AlphaMode::Petcat;
    petcat_hint_done_ = codes_.AlphaChosen();
  }
  ShareTranslation();
  // The end marker belongs after the last line, wherever that is now.
  std::erase_if(lines_, [](const std::unique_ptr<BasLine>& l) { return l->endOfProgram; });
  // Every line is indexed once, when read or when numbered: growing the
  // index as it filled was a tenth of the run.
  lines_.reserve(lines_.size() + source.size() - source_lines_done_ + 1);
  index_.Reserve(index_.Size() + source.size() - source_lines_done_);
  for (; source_lines_done_ < source.size(); ++source_lines_done_) {
    const SourceLine& src = source[source_lines_done_];
    if (TakePetcatHeader(src)) {
      // The rest of the text is read as petcat wrote it, unless -alpha said otherwise.
      if (!codes_.AlphaChosen()) lines_.push_back(TokenizeLine(src.pos, "{alpha:petcat}"));
      continue;
    }
    if (IsPetcatComment(src)) continue;
    lines_.push_back(TokenizeLine(src.pos, src));
    // A text far too long for memory is not read to its end: that would
    // take memory in proportion to it, for a program that cannot be written.
    if (least_bytes_ > kMemoryBytes) {
      log_.ReportError(src.pos, RanOffMemoryText());
      break;
    }
  }
  if (load_address_ == kUnsetAddress) load_address_ = header_address_;
  if (HasStatements()) {
    if (load_address_ == kUnsetAddress) load_address_ = dialect_->load_address;
    auto end = std::make_unique<BasLine>();
    end->endOfProgram = true;
    lines_.push_back(std::move(end));
  } else if (load_address_ == kUnsetAddress) {
    load_address_ = 0x0200;
  }
  return !log_.ErrorFlag();
}

// A line's elements are gathered in one reused list and then take exactly
// the room they need: a program holds some ten thousand of them.
void BasProgram::TakeElements(BasLine& line) {
  line.elements.reserve(elements_.size());
  std::move(elements_.begin(), elements_.end(), std::back_inserter(line.elements));
  elements_.clear();
}

bool BasProgram::HasStatements() const {
  return std::any_of(lines_.begin(), lines_.end(), [](const auto& l) { return l->IsWritten(); });
}

std::unique_ptr<BasLine> BasProgram::TokenizeLine(SourcePos at, std::string_view text) {
  auto line = std::make_unique<BasLine>();
  line->pos = at;
  elements_.clear();
  LineLexer lexer(SourceText(text, petcat_text_), keywords_, LineLexer::Mode::Text);
  bool rest_of_line = false;
  bool in_data = false;
  bool at_start = true;
  bool drop_space = false;
  bool statement_start = true;
  bool question_mark = false;
  size_t elements_written = 0;
  while (true) {
    lexer.SetMode(options_.keywordShortcuts ? LineLexer::Mode::TextShortcuts : LineLexer::Mode::Text);
    BasElement e = lexer.Next(rest_of_line, in_data);
    if (e.kind == BasElementKind::End) {
      // The lexer stops at a zero byte, as the C64 ends a line there.
      if (!lexer.AtEnd()) log_.ReportWarning(at, "Zero byte outside quotes ends the line; the text after it is dropped");
      break;
    }
    if (!CleanElementText(e, at)) continue;
    if (petcat_text_) ReadPetcatCharacter(e);
    if (e.kind == BasElementKind::Tick) {
      // An apostrophe starts a source comment: it, the rest and the blanks
      // before it are dropped, as a trimmed line would have lost them.
      while (!elements_.empty() && elements_.back().kind == BasElementKind::Space) elements_.pop_back();
      break;
    }
    if (e.kind == BasElementKind::Brace && e.brace == BraceKind::Label) {
      e.kind = BasElementKind::Label;
      e.text = texts_.Keep(LowerCopy(e.text));
      e.value = static_cast<int32_t>(LabelHash(e.text));
    }
    if (at_start && HandleLineStart(*line, e, at_start)) {
      drop_space = true;
      continue;
    }
    if (drop_space) {
      drop_space = false;
      if (e.kind == BasElementKind::Space) continue;
    }
    if (e.kind == BasElementKind::BadBrace) {
      log_.ReportError(at, "Syntax error: " + std::string(e.text));
      continue;
    }
    if (e.kind == BasElementKind::Brace) DirectiveAtTokenize(*line, e);
    question_mark = QuestionMarkStatement(e, statement_start) || question_mark;
    if (e.IsToken(kTokenRem)) rest_of_line = true;
    if (e.IsToken(kTokenData)) in_data = true;
    else if (e.IsPunct(':')) in_data = false;
    // The switches act on the lines after them (REM removal on the rest of
    // its own line too), whatever they turn.
    if (e.IsDirective(TokenizerDirective::Crunch) || e.IsDirective(TokenizerDirective::AutoSpace) ||
        e.IsDirective(TokenizerDirective::RemRemoval))
      may_trim_ = true;
    if (!options_.notBasic && SurelyWritesAByte(e, may_trim_)) {
      // Its line's link, number and end come with the first such element.
      least_bytes_ += elements_written == 0 ? 6 : 1;
      ++elements_written;
      if (least_bytes_ > kMemoryBytes) break;
    }
    e.text = texts_.Keep(e.text);  // it viewed the source line
    elements_.push_back(std::move(e));
  }
  TakeElements(*line);
  if (question_mark) WarnQuestionMark(at);
  HintPetcat(*line);
  HintOtherDialect(*line);
  RegisterLine(*line);
  return line;
}

// The number or label in front of a line names it and is not kept as an
// element. Directives before it leave the line at its start.
bool BasProgram::HandleLineStart(BasLine& line, BasElement& e, bool& at_start) {
  if (e.kind == BasElementKind::Brace) return false;
  if (e.kind == BasElementKind::Space) return true;  // "{crunch:on} 10 A=1" is still line 10
  at_start = false;
  if (e.kind != BasElementKind::Digits && e.kind != BasElementKind::Label) return false;
  line.lineNumber = e.kind == BasElementKind::Digits ? ReadLineNumber(e.text) : -1;
  // "0010" is line 10, and references to 10 must find it.
  line.SetText(line.lineNumber >= 0 ? CanonicalDigits(e.text) : LowerCopy(Trim(e.text)));
  if (line.lineNumber >= 0) {
    if (line.lineNumber <= last_line_number_) log_.ReportWarning(line.pos, OutOfOrderText(line));
    last_line_number_ = line.lineNumber;
  }
  return true;
}

void BasProgram::DirectiveAtTokenize(BasLine& line, BasElement& e) {
  if (e.brace == BraceKind::Byte) {
    e.kind = BasElementKind::Token;
    return;
  }
  const std::string argument(e.Argument());
  if (e.directive == TokenizerDirective::Pi && !e.HasArgument()) {
    // A petcat name outside quotes stands for its byte, as {$xx} does.
    if (auto code = codes_.PetcatAlias(Trim(std::string_view(e.text).substr(1, e.text.size() - 2)))) {
      e.kind = BasElementKind::Token;
      e.value = *code;
      return;
    }
  }
  switch (e.directive) {
    case TokenizerDirective::Renumber: renumber_requested_ = true; break;
    case TokenizerDirective::LoadAddr: ApplyLoadAddress(argument, load_address_, line.pos); break;
    case TokenizerDirective::Dialect: SetDialect(argument, line.pos); break;
    case TokenizerDirective::Var: ApplyVar(e, argument, line.pos); break;
    case TokenizerDirective::Assign: AssignLabel(argument, line.pos); break;
    case TokenizerDirective::Sym: ApplySym(e, argument); break;
    case TokenizerDirective::ShortKeywords:
      // Keyword matching happens now, so the switch must act now too.
      SetSwitch(options_.keywordShortcuts, argument, "Keyword shortcuts", line.pos);
      break;
    case TokenizerDirective::Tokenizer:
      log_.ReportInfo(line.pos, "Modifying BASIC tokenizer");
      if (!keywords_.ApplyAssignments(argument, log_, line.pos)) log_.ReportError(line.pos, "error in tokenizer directive");
      break;
    case TokenizerDirective::Alpha:
      // Strings follow the mode when written; how lines are read follows it now.
      if (AlphaMode mode = ReadAlphaMode(Trim(argument)); mode != AlphaMode::Error) {
        petcat_text_ = mode == AlphaMode::Petcat;
        petcat_hint_done_ = true;
      }
      break;
    case TokenizerDirective::Quoter:
      log_.ReportInfo(line.pos, "Modifying Quoter tokenizer");
      if (!codes_.Quoter().ApplyAssignments(argument, log_, line.pos))
        log_.ReportError(line.pos, "error in quoter directive");
      break;
    case TokenizerDirective::Pi:
      // {pi}, and any brace outside quotes that names nothing else, is pi.
      e.kind = BasElementKind::Token;
      e.value = kTokenPi;
      break;
    default: break;
  }
}

void BasProgram::ApplyLoadAddress(const std::string& argument, uint16_t& target, SourcePos at) {
  int64_t address = 0;
  // $FFFF is the "unset" value; no program fits there anyway.
  if (!ReadNumber(argument, address) || address < 0 || address >= kUnsetAddress)
    log_.ReportError(at, "Invalid start address");
  else SetLoadAddress(static_cast<uint16_t>(address), target, at);
}

void BasProgram::SetLoadAddress(uint16_t address, uint16_t& target, SourcePos at) {
  if (target == kUnsetAddress || target == address) target = address;
  else log_.ReportError(at, "Starting address is already set");
}

void BasProgram::ApplyVar(BasElement& e, const std::string& argument, SourcePos at) {
  const size_t eq = argument.find('=');
  if (eq != std::string::npos) {
    if (supervariables_.Define(Trim(argument.substr(0, eq)), Trim(argument.substr(eq + 1)), log_, at))
      e.kind = BasElementKind::Consumed;
    return;
  }
  if (auto basic = supervariables_.Lookup(Trim(argument))) {
    e.kind = BasElementKind::Name;
    e.text = texts_.Keep(*basic);
  } else {
    log_.ReportError(at, "SuperVariable is not defined: " + Trim(argument));
  }
}

void BasProgram::ApplySym(BasElement& e, const std::string& argument) {
  e.kind = BasElementKind::SymbolRef;
  e.text = texts_.Keep(Trim(argument));
  e.value = 0;
}

void BasProgram::AddDirectiveLine(TokenizerDirective directive, std::string_view name, const std::string& argument) {
  auto line = std::make_unique<BasLine>();
  line->generated = true;
  line->elements.push_back(BasElement::Directive(texts_, directive, name, argument));
  lines_.push_back(std::move(line));
}

}  // namespace vantrel
