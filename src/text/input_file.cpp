#include "text/input_file.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>

#include "text/text_ops.h"

namespace vantrel {

namespace {

std::optional<std::string> g_standard_input;

ReadStatus ReadStandardInput(uintmax_t limit) {
  std::string content;
  char buffer[1 << 16];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, stdin)) > 0) {
    content.append(buffer, n);
    if (content.size() > limit) return ReadStatus::TooLarge;
  }
  if (std::ferror(stdin)) return ReadStatus::Failed;
  g_standard_input = std::move(content);
  return ReadStatus::Ok;
}

}  // namespace

bool IsStandardInput(const std::string& path) { return path == kStandardInputName; }

bool InputExists(const std::string& path) { return IsStandardInput(path) || RegularFileExists(path); }

ReadStatus ReadInputFile(const std::string& path, uintmax_t limit, std::string& content) {
  if (IsStandardInput(path)) {
    if (!g_standard_input)
      if (ReadStatus status = ReadStandardInput(limit); status != ReadStatus::Ok) return status;
    if (g_standard_input->size() > limit) return ReadStatus::TooLarge;
    content = *g_standard_input;
    return ReadStatus::Ok;
  }
  if (!RegularFileExists(path)) return ReadStatus::Missing;
  std::error_code ec;
  const uintmax_t size = std::filesystem::file_size(path, ec);
  if (ec) return ReadStatus::Failed;
  if (size > limit) return ReadStatus::TooLarge;
  std::ifstream in(path, std::ios::binary);
  if (!in) return ReadStatus::Failed;
  content.clear();
  content.reserve(size);
  for (char buffer[1 << 16]; in.read(buffer, sizeof buffer) || in.gcount() > 0;) {
    content.append(buffer, static_cast<size_t>(in.gcount()));
    if (content.size() > limit) return ReadStatus::TooLarge;  // it grew meanwhile
  }
  return in.bad() ? ReadStatus::Failed : ReadStatus::Ok;
}

}  // namespace vantrel
