// log/source_pos.h: where a line of source text came from. Messages carry
// it as a field; only the log's printer turns it into text.
#pragma once

#include <cstdint>

namespace vantrel {

struct SourcePos {
  int32_t file = 0;  // the loader's key of the file; 0 for no file
  int32_t line = 0;  // 1 for the first line

  bool operator==(const SourcePos&) const = default;
};

}  // namespace vantrel
