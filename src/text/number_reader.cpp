#include "text/number_reader.h"

#include <charconv>

#include "text/text_ops.h"

namespace vantrel {

bool ReadNumber(std::string_view text, int64_t& value) {
  const Notation n = SplitNotation(TrimView(text));
  if (n.digits.empty() || n.digits[0] == '+') return false;
  int64_t v = 0;
  auto [end, ec] = std::from_chars(n.digits.data(), n.digits.data() + n.digits.size(), v, n.base);
  if (ec != std::errc() || end != n.digits.data() + n.digits.size()) return false;
  value = v;
  return true;
}

}  // namespace vantrel
