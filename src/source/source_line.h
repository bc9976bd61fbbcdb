// source/source_line.h: one line of source text with the file and line it
// came from, so that every message about it can name its origin.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "log/source_pos.h"
#include "text/hi_string.h"

namespace vantrel {

enum class SourceType : int32_t { None = 0, Basic = 1, Asm = 2, Macro = 3, Hex = 4, Bin = 5 };

// A view of the line's text, not a string of its own: a million-line
// assembly holds a million of these at once. The text is the loaded file's,
// or the rewritten line's kept by whoever made the line, and outlives it.
class SourceLine : public std::string_view {
 public:
  SourceLine() = default;
  SourceLine(std::string_view text, SourcePos at) : std::string_view(text), pos(at) {}
  SourceLine(std::string&&, SourcePos) = delete;  // would outlive its text

  SourcePos pos;
};

// A deque: it grows without moving the lines, which the assembler's line
// objects point back to for their messages.
using LineBlock = std::deque<SourceLine>;

}  // namespace vantrel
