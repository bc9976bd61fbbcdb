// source/source_line.h: one line of source text with the file and line it
// came from, so that every message about it can name its origin.
#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "log/source_pos.h"
#include "source/directives.h"
#include "text/hi_string.h"

namespace vantrel {

enum class SourceType : int32_t { None = 0, Basic = 1, Asm = 2, Macro = 3, Hex = 4, Bin = 5 };

class SourceLine : public HiText {
 public:
  SourceLine() = default;
  SourceLine(std::string_view text, SourcePos at) : HiText(text), pos(at) {}

  // A brace token the assembler handles, cut up once by the loader.
  std::optional<DirectiveParts> directive;
  SourcePos pos;
};

// A deque: it grows without moving the lines, which the assembler's line
// objects point back to for their messages.
using LineBlock = std::deque<SourceLine>;

}  // namespace vantrel
