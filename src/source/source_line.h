// source/source_line.h: one line of source text with the file and line it
// came from, so that every message about it can name its origin.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "log/source_pos.h"
#include "source/directives.h"
#include "text/hi_string.h"

namespace vantrel {

enum class SourceType : int32_t { None = 0, Basic = 1, Asm = 2, Macro = 3, Hex = 4, Bin = 5 };

// An optional value kept on the heap: every line pays one pointer for a
// part that few lines have (an assembly of a million lines holds a million
// lines at once).
template <typename T>
class HeapOptional {
 public:
  HeapOptional() = default;
  HeapOptional(const HeapOptional& other) : value_(other ? std::make_unique<T>(*other) : nullptr) {}
  HeapOptional(HeapOptional&&) noexcept = default;
  HeapOptional& operator=(const HeapOptional& other) { return *this = HeapOptional(other); }
  HeapOptional& operator=(HeapOptional&&) noexcept = default;
  HeapOptional& operator=(T value) {
    value_ = std::make_unique<T>(std::move(value));
    return *this;
  }
  bool has_value() const { return value_ != nullptr; }
  explicit operator bool() const { return has_value(); }
  const T& operator*() const { return *value_; }
  const T* operator->() const { return value_.get(); }

 private:
  std::unique_ptr<T> value_;
};

// A view of the line's text, not a string of its own: a million-line
// assembly holds a million of these at once. The text is the loaded file's,
// or the rewritten line's kept by whoever made the line, and outlives it.
class SourceLine : public std::string_view {
 public:
  SourceLine() = default;
  SourceLine(std::string_view text, SourcePos at) : std::string_view(text), pos(at) {}
  SourceLine(std::string&&, SourcePos) = delete;  // would outlive its text

  // A brace token the assembler handles, cut up once by the loader.
  HeapOptional<DirectiveParts> directive;
  SourcePos pos;
};

// A deque: it grows without moving the lines, which the assembler's line
// objects point back to for their messages.
using LineBlock = std::deque<SourceLine>;

}  // namespace vantrel
