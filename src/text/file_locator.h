// text/file_locator.h: where input files are looked for: a primary directory,
// then the search directories in the order they were added.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "text/hi_path.h"

namespace vantrel {

// "File not found: name", for every search that comes back empty.
std::string FileNotFoundText(std::string_view name);

class FileLocator {
 public:
  void SetPrimary(const HiPath& dir) { primary_ = dir; }
  const HiPath& Primary() const { return primary_; }

  // The process's current directory: a name found there keeps its relative
  // form, so messages show paths as the user typed them.
  void AddCurrentDirectory();
  // Returns true when the directory was not listed yet.
  bool AddDirectory(const HiPath& dir);
  // Splits at "," and ";".
  void AddDirectoryList(std::string_view list);

  // The first existing regular file the name resolves to; empty when none.
  HiPath Find(const HiPath& name) const;

 private:
  HiPath Candidate(const HiPath& dir, const HiPath& name) const;

  HiPath primary_;
  HiPath current_;
  std::vector<HiPath> directories_;
};

}  // namespace vantrel
