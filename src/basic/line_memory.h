// basic/line_memory.h: BASIC lines laid into the memory image as the C64
// keeps them: per line a link word to the next line, the line number, the
// bytes and a 0; a link of 0 ends the program.
#pragma once

#include <cstdint>
#include <string_view>

#include "image/memory_image.h"

namespace vantrel {

class LineMemory {
 public:
  LineMemory(MemoryImage& memory, uint32_t start) : memory_(memory), cursor_(start) {}

  // Where the next byte goes; past $FFFF once memory has run out.
  uint32_t Cursor() const { return cursor_; }
  // A zero link word: the start of a line, filled in by EndLine, or on its
  // own the end of the program.
  bool PutLink() { return PutByte(0) && PutByte(0); }
  bool PutNumber(int32_t number) {
    return PutByte(static_cast<uint8_t>(number & 0xFF)) && PutByte(static_cast<uint8_t>((number >> 8) & 0xFF));
  }
  bool Put(std::string_view bytes) {
    const uint32_t first = cursor_;
    size_t i = 0;
    for (; i < bytes.size() && cursor_ <= 0xFFFF; ++i) memory_.Write(static_cast<uint16_t>(cursor_++), static_cast<uint8_t>(bytes[i]));
    // The used range has no holes, so its ends are enough.
    if (cursor_ > first) {
      memory_.MarkUsed(static_cast<uint16_t>(first));
      memory_.MarkUsed(static_cast<uint16_t>(cursor_ - 1));
    }
    return i == bytes.size();
  }
  // The line's closing 0, and its link (at `link`) pointed at what follows,
  // which has to fit in memory too.
  bool EndLine(uint32_t link) {
    if (!PutByte(0) || cursor_ > 0xFFFF) return false;
    memory_.Write(static_cast<uint16_t>(link), static_cast<uint8_t>(cursor_ & 0xFF));
    memory_.Write(static_cast<uint16_t>(link + 1), static_cast<uint8_t>(cursor_ >> 8));
    return true;
  }

 private:
  bool PutByte(uint8_t byte) {
    if (cursor_ > 0xFFFF) return false;
    memory_.Write(static_cast<uint16_t>(cursor_), byte);
    memory_.MarkUsed(static_cast<uint16_t>(cursor_));
    ++cursor_;
    return true;
  }

  MemoryImage& memory_;
  uint32_t cursor_;
};

}  // namespace vantrel
