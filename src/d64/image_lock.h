// d64/image_lock.h: the lock a run holds on a disk image it changes, from
// reading the image until the new image is in place, so that runs saving
// into one image at once each see the others' files.
#pragma once

#include <memory>
#include <string>

#include "app/msg_log.h"
#include "image/output_set.h"

namespace vantrel {

// An exclusive lock on the file ".NAME.vantrel-lock" beside the image.
// The image itself cannot carry the lock: each change replaces it by a new
// file, and a run waiting on the old one would then read a stale image.
class ImageLock : public HeldResource {
 public:
  // Waits for the lock; null after reporting why it cannot be had.
  static std::unique_ptr<ImageLock> Acquire(MsgLog& log, const std::string& image_path);
  ~ImageLock() override;
  ImageLock(const ImageLock&) = delete;
  ImageLock& operator=(const ImageLock&) = delete;

 private:
  ImageLock(std::string path, int fd) : path_(std::move(path)), fd_(fd) {}

  std::string path_;
  int fd_;
};

// The lock file's name for an image.
std::string LockPathOf(const std::string& image_path);

}  // namespace vantrel
