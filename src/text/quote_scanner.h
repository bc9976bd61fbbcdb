// text/quote_scanner.h: which characters of a text, read in order, stand
// inside quotes. The quote that opens a string is the only one that closes
// it, so "it's" is one string and 'say "hi"' another.
#pragma once

#include <string_view>

namespace vantrel {

class QuoteScanner {
 public:
  explicit constexpr QuoteScanner(std::string_view quotes = "\"") : quotes_(quotes) {}

  // Takes the next character: true when it stands outside quotes and is no
  // quote itself.
  constexpr bool Outside(char c) {
    if (open_ != 0) {
      if (c == open_) open_ = 0;
      return false;
    }
    for (char q : quotes_)
      if (c == q) {
        open_ = c;
        return false;
      }
    return true;
  }
  constexpr bool InQuotes() const { return open_ != 0; }

 private:
  std::string_view quotes_;
  char open_ = 0;
};

}  // namespace vantrel
