#include "app/cmd_line_params.h"

#include "image/output_set.h"
#include "text/text_ops.h"

namespace vantrel {

namespace {

constexpr std::string_view kPrefixChars = "+-/";
constexpr std::string_view kSeparatorChars = ":-+=";

// A leading "/" is also the root of an absolute path; such an argument is
// an option only when it is short and names no file ("/?", "/h").
bool IsAbsolutePath(std::string_view text) {
  if (text.empty() || text[0] != '/') return false;
  return text.find('/', 1) != std::string_view::npos || RegularFileExists(std::string(text));
}

}  // namespace

bool CmdLineParam::Parse(std::string_view text) {
  assign("");
  name.clear();
  value.clear();
  prefix.clear();
  separator.clear();
  used = false;
  null = false;
  if (text.empty()) return false;
  assign(text);

  size_t first = text.find_first_not_of(kPrefixChars);
  if (first == 0 || IsAbsolutePath(text)) {
    value = HiString(text);
  } else {
    size_t prefix_len = first == std::string_view::npos ? text.size() : first;
    prefix = HiString(text.substr(0, prefix_len));
    std::string_view rest = text.substr(prefix_len);
    size_t sep = rest.find_first_of(kSeparatorChars);
    if (sep == std::string_view::npos) {
      name = HiString(rest);
    } else {
      name = HiString(rest.substr(0, sep));
      separator = HiString(rest.substr(sep, 1));
      value = HiString(rest.substr(sep + 1));
    }
  }
  if (!name.empty() && name[0] == '"') name = HiString(RemoveChar(name, '"'));
  if (!value.empty() && value[0] == '"') value = HiString(RemoveChar(value, '"'));
  return true;
}

CmdLineParams::CmdLineParams(int argc, const char* const* argv) {
  std::vector<std::string> args;
  for (int i = 0; i < argc; ++i) args.emplace_back(argv[i] ? argv[i] : "");
  *this = CmdLineParams(args);
}

CmdLineParams::CmdLineParams(const std::vector<std::string>& args) {
  null_.used = true;
  null_.null = true;
  if (args.empty()) return;
  for (size_t i = 1; i < args.size(); ++i) {
    // An empty argument carries nothing; skipping it keeps the scans going.
    if (args[i].empty()) continue;
    records_.emplace_back(args[i]);
  }
}

CmdLineParam* CmdLineParams::FirstNamed(std::string_view name, bool unused_only) {
  for (CmdLineParam& p : records_) {
    if (unused_only && p.used) continue;
    if (!p.name.empty() && EqualsNoCase(p.name, name)) return &p;
  }
  return nullptr;
}

CmdLineParam& CmdLineParams::FindParam(std::string_view name, bool mark) {
  CmdLineParam* p = FirstNamed(name, false);
  if (p == nullptr) return null_;
  if (mark) p->used = true;
  return *p;
}

CmdLineParam& CmdLineParams::NextUnusedParam() {
  for (CmdLineParam& p : records_) {
    if (!p.used) {
      p.used = true;
      return p;
    }
  }
  return null_;
}

std::string CmdLineParams::ValueOf(std::string_view name, std::string_view if_no_value) {
  return ValueOr(name, "", if_no_value);
}

std::string CmdLineParams::ValueOr(std::string_view name, std::string_view if_absent,
                                   std::string_view if_no_value) {
  CmdLineParam* p = FirstNamed(name, false);
  if (p == nullptr) return std::string(if_absent);
  p->used = true;
  return p->value.empty() ? std::string(if_no_value) : std::string(p->value);
}

std::string CmdLineParams::NextValueOf(std::string_view name, std::string_view if_no_value) {
  CmdLineParam* p = FirstNamed(name, true);
  if (p == nullptr) return {};
  p->used = true;
  return p->value.empty() ? std::string(if_no_value) : std::string(p->value);
}

HiPath CmdLineParams::OutputPathOf(const HiPath& base, std::string_view name, std::string_view default_ext) {
  CmdLineParam& p = FindParam(name);
  if (!Found(p)) return {};
  // The console, "-" and devices or pipes take the name as it is.
  if (!p.value.empty() && IsStreamName(p.value)) return HiPath(p.value);
  const std::string lower = LowerCopy(p.value);
  if (lower == ".") {
    HiPath bare = base;
    bare.SetExtension("");
    return bare;
  }
  HiPath defaults = base;
  defaults.SetExtension(default_ext);
  HiPath result(p.value);
  result.MergeWithDefaults(defaults);
  return result;
}

}  // namespace vantrel

namespace vantrel {

std::vector<std::string> CmdLineParams::TakeValues(std::string_view name) {
  std::vector<std::string> values;
  for (CmdLineParam* p = FirstNamed(name, true); p != nullptr; p = FirstNamed(name, true)) {
    p->used = true;
    values.push_back(p->value);
  }
  return values;
}

std::vector<std::string> CmdLineParams::TakeBareWords() {
  std::vector<std::string> words;
  for (CmdLineParam& p : records_) {
    if (p.used || !p.name.empty() || !p.prefix.empty()) continue;
    p.used = true;
    words.push_back(p.Raw());
  }
  return words;
}

}  // namespace vantrel
