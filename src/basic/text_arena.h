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
  // A copy of `text` that lives as long as the arena.
  std::string_view Keep(std::string_view text) {
    if (text.empty()) return {};
    // A long text gets a block of its own rather than wasting the rest of one.
    if (text.size() > kBlockSize / 4) return large_.emplace_back(text);
    if (used_ + text.size() > kBlockSize) {
      blocks_.push_back(std::make_unique_for_overwrite<char[]>(kBlockSize));
      used_ = 0;
    }
    char* at = blocks_.back().get() + used_;
    std::memcpy(at, text.data(), text.size());
    used_ += text.size();
    return {at, text.size()};
  }

 private:
  static constexpr size_t kBlockSize = 16384;
  std::vector<std::unique_ptr<char[]>> blocks_;
  std::deque<std::string> large_;
  size_t used_ = kBlockSize;
};

}  // namespace vantrel
