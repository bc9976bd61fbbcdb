// d64/disk_job.h: the operations on a whole disk image that one run may
// ask for: formatting a new disk, scratching and renaming files, adding
// host files, listing the directory and extracting every file. The changes
// land together, as one new image, or not at all.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "image/output_set.h"
#include "log/msg_log.h"

namespace vantrel {

struct DiskJob {
  std::optional<std::string> format;  // "NAME[,ID]", as the drive's N: command
  std::vector<std::string> scratch;   // names or patterns, as S:
  std::vector<std::string> rename;    // "NEW=OLD", as R:
  std::vector<std::string> add;       // "[NAME=]hostfile"
  std::optional<std::string> listing;  // where the directory listing goes; "-" for standard output
  std::optional<std::string> extract;  // the folder every file goes to

  bool ChangesImage() const { return format || !scratch.empty() || !rename.empty() || !add.empty(); }
};

// Changes first (format, scratch, rename, add, in that order), then the
// listing and the extraction show the changed disk. Everything is staged
// in `out`; false after reporting every problem found.
bool RunDiskJob(MsgLog& log, OutputSet& out, const std::string& image_path, const DiskJob& job);

}  // namespace vantrel
