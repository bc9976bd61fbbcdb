// basic/text_arena.h: the texts a program's elements view, kept in blocks
// that never move, so that a view stays valid as long as the program.
#pragma once

#include <cstring>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vantrel {

class TextArena {
 public:
  // A copy of `text`, then `more` right behind it, that lives as long as
  // the arena.
  std::string_view Keep(std::string_view text, std::string_view more = {}) {
    const size_t size = text.size() + more.size();
    if (size == 0) return {};
    char* at = nullptr;
    // A long text gets a block of its own rather than wasting the rest of one.
    if (size > kBlockSize / 4) {
      at = large_.emplace_back(size, '\0').data();
    } else {
      if (used_ + size > kBlockSize) {
        blocks_.push_back(std::make_unique_for_overwrite<char[]>(kBlockSize));
        used_ = 0;
      }
      at = blocks_.back().get() + used_;
      used_ += size;
    }
    if (!text.empty()) std::memcpy(at, text.data(), text.size());
    if (!more.empty()) std::memcpy(at + text.size(), more.data(), more.size());
    return {at, size};
  }

 private:
  static constexpr size_t kBlockSize = 16384;
  std::vector<std::unique_ptr<char[]>> blocks_;
  std::deque<std::string> large_;
  size_t used_ = kBlockSize;
};

}  // namespace vantrel
