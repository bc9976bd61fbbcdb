#include "image/safe_write.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

namespace vantrel {

namespace {

WriteFault g_fault = WriteFault::None;

WriteFault TakeFault() {
  WriteFault f = g_fault;
  g_fault = WriteFault::None;
  return f;
}

// A symlinked output is written through to the file it names, so the link
// stays a link.
std::string ResolveTarget(const std::string& path) {
  std::error_code ec;
  if (!std::filesystem::is_symlink(path, ec)) return path;
  std::filesystem::path target = std::filesystem::canonical(path, ec);
  return ec ? path : target.string();
}

mode_t ModeForNewFile() {
  mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

bool WriteAll(int fd, std::string_view bytes, WriteFault fault) {
  if (fault == WriteFault::ShortWrite) {
    // Pretend the disk filled up halfway.
    if (!bytes.empty() && write(fd, bytes.data(), bytes.size() / 2) < 0) return false;
    errno = ENOSPC;
    return false;
  }
  while (!bytes.empty()) {
    ssize_t n = write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

}  // namespace

void InjectWriteFaultForTesting(WriteFault fault) { g_fault = fault; }

bool WriteFileSafely(const std::string& path, std::string_view bytes, std::string& reason) {
  WriteFault fault = TakeFault();
  std::string target = ResolveTarget(path);
  struct stat st {};
  const bool exists = lstat(target.c_str(), &st) == 0;
  // Renaming over a FIFO, a device or a dangling link would replace it
  // with a regular file; such a target is refused untouched.
  if (exists && !S_ISREG(st.st_mode)) {
    reason = S_ISDIR(st.st_mode) ? "Is a directory" : "Not a regular file";
    return false;
  }
  // A short name in the target's directory: a long target name must not
  // make the temporary one too long for the file system.
  const size_t slash = target.find_last_of('/');
  std::string temp_name = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
  temp_name += ".vt-XXXXXX";
  std::vector<char> temp(temp_name.begin(), temp_name.end());
  temp.push_back('\0');
  int fd = mkstemp(temp.data());
  if (fd < 0) {
    reason = std::strerror(errno);
    return false;
  }
  bool ok = fchmod(fd, exists ? (st.st_mode & 07777) : ModeForNewFile()) == 0 && WriteAll(fd, bytes, fault);
  int saved = errno;
  if (close(fd) != 0 || fault == WriteFault::FailedClose) {
    if (ok) saved = fault == WriteFault::FailedClose ? EIO : errno;
    ok = false;
  }
  if (ok && (fault == WriteFault::FailedRename || rename(temp.data(), target.c_str()) != 0)) {
    saved = fault == WriteFault::FailedRename ? EXDEV : errno;
    ok = false;
  }
  if (!ok) {
    unlink(temp.data());
    reason = std::strerror(saved);
  }
  return ok;
}

}  // namespace vantrel
