#include "asm/macro_expansion.h"

#include "asm/asm_line.h"
#include "asm/asm_prg.h"
#include "text/text_ops.h"

namespace vantrel {

namespace {

bool IsWordChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '@';
}

// The call's arguments: split at commas outside quotes and parentheses, so
// that "(ptr),y" or "','" stays one argument.
std::vector<std::string> SplitArguments(std::string_view text) {
  std::vector<std::string> out;
  if (TrimView(text).empty()) return out;
  int depth = 0;
  char quote = 0;
  size_t start = 0;
  for (size_t i = 0; i <= text.size(); ++i) {
    const char c = i < text.size() ? text[i] : ',';
    if (quote != 0) {
      if (c == quote) quote = 0;
    } else if (c == '"' || c == '\'') {
      quote = c;
    } else if (c == '(') {
      ++depth;
    } else if (c == ')') {
      --depth;
    } else if (c == ',' && depth <= 0) {
      out.emplace_back(TrimView(text.substr(start, i - start)));
      start = i + 1;
    }
  }
  return out;
}

// The "@" labels a body defines ("@loop:" at a line's start): each
// expansion gets its own, so no search leaves or enters it.
std::vector<std::string> DefinedLocals(const LineBlock& body) {
  std::vector<std::string> out;
  for (const SourceLine& line : body) {
    const std::string_view text = TrimView(line);
    const size_t colon = text.find(':');
    if (text.empty() || text[0] != '@' || colon == std::string_view::npos) continue;
    out.push_back(LowerCopy(TrimView(text.substr(0, colon))));
  }
  return out;
}

}  // namespace

std::string ExpandBodyLine(std::string_view line, const MacroDefinition& macro,
                           const std::vector<std::string>& arguments, const std::vector<std::string>& locals,
                           const std::string& suffix) {
  std::string out;
  out.reserve(line.size());
  char quote = 0;
  size_t i = 0;
  while (i < line.size()) {
    const char c = line[i];
    if (quote == 0 && c == ';') break;
    if (quote != 0 || c == '"' || c == '\'' || !IsWordChar(c)) {
      if (quote != 0 && c == quote) quote = 0;
      else if (quote == 0 && (c == '"' || c == '\'')) quote = c;
      out += c;
      ++i;
      continue;
    }
    size_t end = i;
    while (end < line.size() && IsWordChar(line[end])) ++end;
    const std::string_view word = line.substr(i, end - i);
    // "$ff" and "%01" are numbers, whatever their digits spell.
    const bool number = i > 0 && (line[i - 1] == '$' || line[i - 1] == '%');
    const std::string lower = LowerCopy(word);
    size_t found = macro.parameters.size();
    for (size_t p = 0; p < macro.parameters.size() && !number; ++p)
      if (macro.parameters[p] == lower) found = p;
    if (found < macro.parameters.size()) out += arguments[found];
    else out += word;
    for (const std::string& local : locals)
      if (local == lower) out += suffix;
    i = end;
  }
  out += line.substr(i);  // the comment, as written
  return out;
}

bool MacroExpander::Expand(AsmPrg& program, const AsmLineFields& fields, const MacroDefinition& macro) {
  if (depth_ >= kMaxDepth)
    return program.BuildError("Macro calls nested more than " + std::to_string(kMaxDepth) + " deep: " + macro.name);
  const std::vector<std::string> arguments = SplitArguments(fields.operand);
  if (arguments.size() != macro.parameters.size())
    return program.BuildError("Macro " + macro.name + " takes " + std::to_string(macro.parameters.size()) +
                              (macro.parameters.size() == 1 ? " argument, not " : " arguments, not ") +
                              std::to_string(arguments.size()));
  const std::vector<std::string> locals = DefinedLocals(macro.body);
  const std::string suffix = "__" + std::to_string(++expansions_);
  const SourceLine* call = fields.source;
  const size_t call_order = program.BuildOrder();
  program.NoteExpansion();
  ++depth_;
  bool ok = true;
  for (const SourceLine& body : macro.body) {
    SourceLine& line = lines_.emplace_back(texts_.Keep(ExpandBodyLine(body, macro, arguments, locals, suffix)), body.pos);
    origins_[&line] = {call, macro.name, depth_};
    ok = BuildAsmLine(program, line) && ok;
  }
  --depth_;
  program.SetBuildLine(call, call_order);
  return ok;
}

std::vector<MsgSite> MacroExpander::CallSites(const SourceLine* line) const {
  std::vector<MsgSite> out;
  for (auto it = origins_.find(line); it != origins_.end(); it = origins_.find(it->second.call)) {
    MsgSite site{"in macro " + it->second.macro + " called at", it->second.call->pos};
    // A macro calling itself repeats one step: it is named once.
    if (!out.empty() && out.back().what == site.what && out.back().pos == site.pos) continue;
    out.push_back(std::move(site));
  }
  return out;
}

int MacroExpander::Depth(const SourceLine* line) const {
  auto it = origins_.find(line);
  return it == origins_.end() ? 0 : it->second.depth;
}

}  // namespace vantrel
