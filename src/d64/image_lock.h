// d64/image_lock.h: the lock a run holds on a disk image it changes, from
// reading the image until the new image is in place, so that runs saving
// into one image at once each see the others' files.
#pragma once

#include <memory>
#include <string>

#include "image/output_set.h"
#include "log/msg_log.h"

namespace vantrel {

// An exclusive flock on the image file, or on its folder while the image
// does not exist yet (the run that makes it holds the folder).
class ImageLock : public HeldResource {
 public:
  // Waits for the lock; null after reporting why it cannot be had.
  static std::unique_ptr<ImageLock> Acquire(MsgLog& log, const std::string& image_path);
  ~ImageLock() override;
  ImageLock(const ImageLock&) = delete;
  ImageLock& operator=(const ImageLock&) = delete;

 private:
  explicit ImageLock(int fd) : fd_(fd) {}

  int fd_;
};

}  // namespace vantrel
