// app/cmd_line_params.h: the process arguments as parsed records. Every
// argument splits into prefix, name, separator and value the same way;
// options are then looked up by name, and each lookup marks its record
// used, so whatever is left over afterwards is an unknown parameter.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "text/hi_path.h"
#include "text/hi_string.h"

namespace vantrel {

class CmdLineParam : public HiString {
 public:
  CmdLineParam() = default;
  explicit CmdLineParam(std::string_view text) { Parse(text); }

  // False for an empty argument.
  bool Parse(std::string_view text);

  const std::string& Raw() const { return *this; }
  HiString name;
  HiString value;
  HiString prefix;
  HiString separator;
  bool used = false;
  bool null = false;
};

class CmdLineParams {
 public:
  CmdLineParams(int argc, const char* const* argv);
  explicit CmdLineParams(const std::vector<std::string>& args);  // args[0] is the program

  bool Empty() const { return records_.empty(); }

  // Lookups compare names without regard to case. A failed lookup returns
  // the null record; test with Found().
  CmdLineParam& FindParam(std::string_view name, bool mark = true);
  CmdLineParam& NextUnusedParam();
  std::string ValueOf(std::string_view name, std::string_view if_no_value);
  std::string ValueOr(std::string_view name, std::string_view if_absent, std::string_view if_no_value);
  std::string NextValueOf(std::string_view name, std::string_view if_no_value);
  // The values of every record of that name, in order (empty for one
  // without a value); all are marked used.
  std::vector<std::string> TakeValues(std::string_view name);
  // Every argument not used yet that is not an option, marked used.
  std::vector<std::string> TakeBareWords();
  // The output path an option names, derived from `base`; empty when absent.
  HiPath OutputPathOf(const HiPath& base, std::string_view name, std::string_view default_ext);

  static bool Found(const CmdLineParam& p) { return !p.name.empty() && !p.null; }

 private:
  CmdLineParam* FirstNamed(std::string_view name, bool unused_only);

  std::vector<CmdLineParam> records_;
  CmdLineParam null_;
};

}  // namespace vantrel
