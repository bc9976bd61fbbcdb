#include "source/build_revision.h"

#include <cerrno>
#include <cstdlib>

#include "text/input_file.h"

namespace vantrel {

namespace {
// An optional sign and at least one digit, within signed 64 bits.
bool ReadDecimal(const std::string& text, int64_t& value) {
  size_t pos = (!text.empty() && (text[0] == '+' || text[0] == '-')) ? 1 : 0;
  if (pos == text.size()) return false;
  for (size_t i = pos; i < text.size(); ++i)
    if (text[i] < '0' || text[i] > '9') return false;
  errno = 0;
  value = std::strtoll(text.c_str(), nullptr, 10);
  return errno != ERANGE;
}
}  // namespace

bool BuildRevisionTracker::Load(const HiPath& path) {
  path_ = path;
  std::string text;
  // A revision is one number: anything near this size is no revision file.
  constexpr uintmax_t kLimit = 4096;
  // A revision file named "-" is a file, not standard input.
  const std::string file = IsStandardInput(path.Text()) ? "./-" : path.Text();
  if (ReadInputFile(file, kLimit, text) != ReadStatus::Ok) return false;
  if (text.find('\n') != std::string::npos) return false;
  if (!text.empty() && text.back() == '\r') text.pop_back();
  int64_t value = 0;
  if (!ReadDecimal(text, value)) return false;
  revision_ = value;
  loaded_ = true;
  return true;
}

std::string BuildRevisionTracker::NextText() const { return std::to_string(static_cast<uint64_t>(revision_) + 1); }

}  // namespace vantrel
