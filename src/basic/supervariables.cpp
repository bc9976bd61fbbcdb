#include "basic/supervariables.h"

#include "text/char_class.h"
#include "text/text_ops.h"

namespace vantrel {

namespace {
bool StartsWithLetter(const std::string& s) {
  return !s.empty() && IsLetter(s[0]);
}
}  // namespace

const Supervariables::Entry* Supervariables::FindLong(const std::string& name) const {
  for (const Entry& e : entries_)
    if (EqualsNoCase(e.long_name, name)) return &e;
  return nullptr;
}

const Supervariables::Entry* Supervariables::FindBasic(const std::string& name) const {
  for (const Entry& e : entries_)
    if (EqualsNoCase(e.basic_name, name)) return &e;
  return nullptr;
}

bool Supervariables::Define(const std::string& long_name, const std::string& basic_name, MsgLog& log, SourcePos at) {
  if (FindLong(long_name)) return log.ReportError(at, "Supervariable already defined: " + long_name);
  if (FindBasic(basic_name)) return log.ReportError(at, "BASIC variable already defined: " + basic_name);
  if (long_name.size() < 3)
    return log.ReportError(at, "Supervariable name " + long_name + " must be longer than 2 characters");
  if (!StartsWithLetter(long_name)) return log.ReportError(at, "Supervariable " + long_name + " must start with a letter");
  if (!StartsWithLetter(basic_name))
    return log.ReportError(at, "BASIC variable " + basic_name + " must start with a letter");
  entries_.push_back({long_name, basic_name});
  return true;
}

std::optional<std::string> Supervariables::Lookup(const std::string& long_name) const {
  if (const Entry* e = FindLong(long_name)) return e->basic_name;
  return std::nullopt;
}

std::string Supervariables::ForBasicName(const std::string& basic_name) {
  if (const Entry* e = FindBasic(basic_name)) return e->long_name;
  entries_.push_back({"SuperVariable_" + basic_name, basic_name});
  ++generated_;
  return entries_.back().long_name;
}

std::string Supervariables::Definitions() const {
  std::string out;
  for (const Entry& e : entries_) out += "{var:" + e.long_name + "=" + e.basic_name + "}\n";
  return out;
}

std::string Supervariables::Dump() const {
  return "----------Supervariable assignments-----------------\n" + Definitions() +
         "-------------------------------------------------\n" + std::to_string(entries_.size()) +
         " Supervariable assignments\n\n";
}

}  // namespace vantrel
