// source/source_file_tracker.h: the files a run has read, which one is being
// read now, and the include rules: {uses} reads a name once, a file may not
// include itself through any chain, and nesting has a depth limit.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "source/source_line.h"
#include "text/hi_path.h"

namespace vantrel {

// The kind of a file by its extension: asm/sym, mac, hex, bin, else BASIC.
SourceType KindOfPath(const HiPath& path);
// Whether a file of `kind` may be read while the loader is in `mode`.
bool ModeAccepts(SourceType mode, SourceType kind);

struct SourceFileRecord {
  int32_t key = 0;
  int32_t parent_key = 0;
  HiPath path;
  SourceType kind = SourceType::None;
  int32_t line = 0;          // lines read so far
  int32_t depth = 0;         // 1 for a file not included by another
  bool active = false;       // being read now
};

enum class PushResult { Pushed, AlreadyUsed, Circular, TooDeep };

class SourceFileTracker {
 public:
  static constexpr int32_t kMaxDepth = 100;

  // Makes the file current unless it must not be read.
  PushResult Push(const HiPath& path, SourceType kind, bool uses);
  // Ends the current file; the file that included it becomes current again.
  // A file not included by another stays current.
  void Pop();

  // The record with that key; nullptr when there is none.
  const SourceFileRecord* Record(int32_t key) const;
  // All zero before the first push.
  SourceFileRecord& Current();

 private:
  std::map<int32_t, SourceFileRecord> records_;
  SourceFileRecord none_;
  int32_t current_key_ = 0;
  int32_t next_key_ = 1;
};

}  // namespace vantrel
