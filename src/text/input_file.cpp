#include "text/input_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
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

// Reads a regular file to its end, which may lie past `size` when the file
// grew meanwhile. A read that returns less than asked has reached the end.
ReadStatus ReadOpenFile(int fd, size_t size, uintmax_t limit, std::string& content) {
  content.resize(size + 1);
  size_t used = 0;
  for (;;) {
    if (used == content.size()) content.resize(content.size() * 2);
    const size_t wanted = content.size() - used;
    const ssize_t n = read(fd, content.data() + used, wanted);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return ReadStatus::Failed;
    used += static_cast<size_t>(n);
    if (used > limit) return ReadStatus::TooLarge;
    if (static_cast<size_t>(n) < wanted) break;
  }
  content.resize(used);
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
  // One open, one fstat and the reads: runs that add a hundred files read
  // a hundred of them. Non-blocking, so that a FIFO is refused, not waited on.
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return errno == ENOENT || errno == ENOTDIR ? ReadStatus::Missing : ReadStatus::Failed;
  struct stat st {};
  ReadStatus status = ReadStatus::Ok;
  if (fstat(fd, &st) != 0) status = ReadStatus::Failed;
  else if (!S_ISREG(st.st_mode)) status = ReadStatus::Missing;
  else if (static_cast<uintmax_t>(st.st_size) > limit) status = ReadStatus::TooLarge;
  if (status == ReadStatus::Ok) status = ReadOpenFile(fd, static_cast<size_t>(st.st_size), limit, content);
  close(fd);
  return status;
}

}  // namespace vantrel
