#include "source/build_revision.h"

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <iterator>


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
  std::ifstream in(path.Text(), std::ios::binary);
  if (!in) return false;
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
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
