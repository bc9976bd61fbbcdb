#include "d64/image_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace vantrel {

namespace {

bool SameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

// True once the lock is held on the file that `path` names now. The holder
// removes the file when it is done, so a lock won on a file that has
// meanwhile been removed (or replaced) guards nothing: try again.
bool LockedCurrentFile(int fd, const std::string& path) {
  struct stat held {}, named {};
  return fstat(fd, &held) == 0 && stat(path.c_str(), &named) == 0 && SameFile(held, named);
}

}  // namespace

std::string LockPathOf(const std::string& image_path) {
  // Every name of the image (a link, "./x.d64") must lead to one lock.
  std::error_code ec;
  std::filesystem::path real = std::filesystem::weakly_canonical(image_path, ec);
  if (ec) real = image_path;
  return (real.parent_path() / TemporaryPrefix(real.filename().string())).string() + "lock";
}

std::unique_ptr<ImageLock> ImageLock::Acquire(MsgLog& log, const std::string& image_path) {
  const std::string path = LockPathOf(image_path);
  bool told = false;
  for (;;) {
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
      log.ReportError("Can't lock " + image_path + ": " + std::strerror(errno));
      return nullptr;
    }
    int locked = flock(fd, LOCK_EX | LOCK_NB);
    if (locked != 0 && errno == EWOULDBLOCK) {
      if (!told) log.ReportInfo("Waiting for another run to finish with " + image_path);
      told = true;
      while ((locked = flock(fd, LOCK_EX)) != 0 && errno == EINTR) {
      }
    }
    if (locked != 0) {
      log.ReportError("Can't lock " + image_path + ": " + std::strerror(errno));
      close(fd);
      return nullptr;
    }
    if (LockedCurrentFile(fd, path)) return std::unique_ptr<ImageLock>(new ImageLock(path, fd));
    close(fd);
  }
}

// Removed while still locked: a run that opened the file meanwhile finds
// it gone once it gets the lock, and starts over on a new file.
ImageLock::~ImageLock() {
  unlink(path_.c_str());
  close(fd_);
}

}  // namespace vantrel
