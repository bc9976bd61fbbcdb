// source/build_revision.h: the build number kept in a small text file named
// by {buildrev:file}. The file holds one decimal number and nothing else;
// after a run without errors it receives the next number.
#pragma once

#include <cstdint>
#include <string>

#include "text/hi_path.h"

namespace vantrel {

class BuildRevisionTracker {
 public:
  bool Loaded() const { return loaded_; }
  int64_t Revision() const { return revision_; }
  const HiPath& Path() const { return path_; }

  // Reads the file; false when it is not exactly one signed 64-bit decimal
  // number (a line break after the number is not allowed).
  bool Load(const HiPath& path);
  // The file's next contents: the revision plus one, counted as unsigned
  // 64-bit.
  std::string NextText() const;

 private:
  HiPath path_;
  bool loaded_ = false;
  int64_t revision_ = -1;
};

}  // namespace vantrel
