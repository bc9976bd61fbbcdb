#include "d64/image_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace vantrel {

namespace {

std::string FolderOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

bool WaitForLock(MsgLog& log, int fd, const std::string& image_path, bool& told) {
  int locked = flock(fd, LOCK_EX | LOCK_NB);
  if (locked != 0 && errno == EWOULDBLOCK) {
    if (!told) log.ReportInfo("Waiting for another run to finish with " + image_path);
    told = true;
    while ((locked = flock(fd, LOCK_EX)) != 0 && errno == EINTR) {
    }
  }
  return locked == 0;
}

}  // namespace

// Each change replaces the image by a new file. A run that waited on the
// old one must start over on the file the path names now, or it would read
// a stale image; a run that waited on the folder finds the image made.
std::unique_ptr<ImageLock> ImageLock::Acquire(MsgLog& log, const std::string& image_path) {
  bool told = false;
  for (;;) {
    // Non-blocking, so that a FIFO of the name is not waited on.
    int fd = open(image_path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    const bool image = fd >= 0;
    if (!image && errno == ENOENT) {
      fd = open(FolderOf(image_path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
      // No folder, nothing to guard: writing the image there fails and says so.
      if (fd < 0 && (errno == ENOENT || errno == ENOTDIR)) return std::unique_ptr<ImageLock>(new ImageLock(-1));
    }
    if (fd < 0 || !WaitForLock(log, fd, image_path, told)) {
      log.ReportError("Can't lock " + image_path + ": " + std::strerror(errno));
      if (fd >= 0) close(fd);
      return nullptr;
    }
    struct stat held {}, named {};
    const bool named_exists = stat(image_path.c_str(), &named) == 0;
    if (image ? named_exists && fstat(fd, &held) == 0 && held.st_dev == named.st_dev && held.st_ino == named.st_ino
              : !named_exists) {
      return std::unique_ptr<ImageLock>(new ImageLock(fd));
    }
    close(fd);
  }
}

ImageLock::~ImageLock() {
  if (fd_ >= 0) close(fd_);
}

}  // namespace vantrel
