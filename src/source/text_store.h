// source/text_store.h: text kept in large blocks that never move, so views
// into it hold for the store's life: a line or a name costs its
// characters, not a string object each.
#pragma once

#include <cstddef>
#include <memory>
#include <string_view>
#include <vector>

namespace vantrel {

class TextStore {
 public:
  std::string_view Keep(std::string_view text);

 private:
  std::vector<std::unique_ptr<char[]>> blocks_;
  char* next_ = nullptr;
  size_t left_ = 0;
};

}  // namespace vantrel
