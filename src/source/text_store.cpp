#include "source/text_store.h"

#include <cstring>

namespace vantrel {

std::string_view TextStore::Keep(std::string_view text) {
  constexpr size_t kBlock = 64 << 10;
  if (text.empty()) return {};
  // A whole file gets a block of its own; the shared block stays in use.
  if (text.size() > kBlock / 4) {
    blocks_.push_back(std::make_unique_for_overwrite<char[]>(text.size()));
    std::memcpy(blocks_.back().get(), text.data(), text.size());
    return {blocks_.back().get(), text.size()};
  }
  if (text.size() > left_) {
    blocks_.push_back(std::make_unique_for_overwrite<char[]>(kBlock));
    next_ = blocks_.back().get();
    left_ = kBlock;
  }
  std::memcpy(next_, text.data(), text.size());
  const std::string_view kept(next_, text.size());
  next_ += text.size();
  left_ -= text.size();
  return kept;
}

}  // namespace vantrel
