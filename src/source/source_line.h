// source/source_line.h: one line of source text with the file and line it
// came from, so that every message about it can name its origin.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "text/hi_string.h"

namespace vantrel {

enum class SourceType : int32_t { None = 0, Basic = 1, Asm = 2, Macro = 3, Hex = 4, Bin = 5 };

class SourceLine : public HiText {
 public:
  SourceLine() = default;
  SourceLine(std::string_view text, int32_t file_key, int32_t line_number)
      : HiText(text), fileKey(file_key), lineNumber(line_number) {}

  bool isDirective = false;
  int32_t fileKey = 0;
  int32_t lineNumber = 0;
};

// A deque: it grows without moving the lines, which the assembler's line
// objects point back to for their messages.
using LineBlock = std::deque<SourceLine>;

}  // namespace vantrel
