// basic/line_index.h: finding a BASIC line by the text that names it, its
// number ("100") or its label ("{:loop}"), and the labels {assign:...}
// gives a number without a line.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "basic/bas_line.h"

namespace vantrel {

class LineIndex {
 public:
  // Indexes `line` under its text; false when a line or an assigned label
  // already has that name.
  bool Add(BasLine& line);
  // A label that stands for a line number; false when the name is taken.
  bool Assign(const std::string& name, int32_t number);
  bool Has(const std::string& name) const { return lines_.count(name) != 0 || labels_.count(name) != 0; }
  // The line `name` names; a line without code stands for the next line
  // with code. Null when none.
  BasLine* Find(const std::string& name) const;
  void Reserve(size_t count) { lines_.reserve(count); }
  size_t Size() const { return lines_.size(); }

 private:
  // Keyed by the text a line was added under; renumbering changes a line's
  // text, not its key.
  std::unordered_map<std::string, BasLine*, ReferenceHash> lines_;
  std::unordered_map<std::string, BasLine*, ReferenceHash> labels_;
  std::vector<std::unique_ptr<BasLine>> assigned_;
};

}  // namespace vantrel
