// basic/supervariables.h: long variable names for BASIC's two-letter
// variables. {var:score=SC} defines one in a source; detokenizing with
// -supervariables names every variable the other way round.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "log/msg_log.h"

namespace vantrel {

class Supervariables {
 public:
  void SetEnabled(bool on) { enabled_ = on; }
  bool Enabled() const { return enabled_; }

  // Reports the first broken rule at `at`.
  bool Define(const std::string& long_name, const std::string& basic_name, MsgLog& log, SourcePos at);
  std::optional<std::string> Lookup(const std::string& long_name) const;
  // The long name for a BASIC variable, made up when there is none yet.
  std::string ForBasicName(const std::string& basic_name);

  // "{var:long=BASIC}" lines, one per entry.
  std::string Definitions() const;
  // The console listing printed at the end of a run.
  std::string Dump() const;

 private:
  struct Entry {
    std::string long_name;
    std::string basic_name;
  };
  const Entry* FindLong(const std::string& name) const;
  const Entry* FindBasic(const std::string& name) const;

  bool enabled_ = false;
  std::vector<Entry> entries_;
  size_t generated_ = 0;
};

}  // namespace vantrel
