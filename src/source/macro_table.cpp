#include "source/macro_table.h"

#include "text/char_class.h"
#include "text/text_ops.h"

namespace vantrel {

namespace {

bool IsWordStart(char c) { return IsLetter(c) || c == '_'; }
bool IsWordChar(char c) { return IsWordStart(c) || IsDigit(c); }

// A name and parameters are plain words: they are matched as whole words.
bool IsWord(std::string_view text) {
  if (text.empty() || !IsWordStart(text[0])) return false;
  for (char c : text)
    if (!IsWordChar(c)) return false;
  return true;
}

}  // namespace

bool ReadMacroHeading(std::string_view text, MacroDefinition& out) {
  text = TrimView(text);
  if (text.empty()) return true;  // {macro} alone: a definition without a name
  const size_t open = text.find('(');
  out.name = LowerCopy(TrimView(text.substr(0, open)));
  if (!IsWord(out.name)) return false;
  if (open == std::string_view::npos) return true;
  if (text.back() != ')') return false;
  std::string_view list = TrimView(text.substr(open + 1, text.size() - open - 2));
  if (list.empty()) return true;
  while (true) {
    const size_t comma = list.find(',');
    const std::string parameter = LowerCopy(TrimView(list.substr(0, comma)));
    if (!IsWord(parameter)) return false;
    for (const std::string& earlier : out.parameters)
      if (earlier == parameter) return false;
    out.parameters.push_back(parameter);
    if (comma == std::string_view::npos) return true;
    list.remove_prefix(comma + 1);
  }
}

}  // namespace vantrel
