#include "source/source_file_tracker.h"

#include "text/text_ops.h"

namespace vantrel {

namespace {
// {uses} and the cycle test compare names without their directory, so the
// same library found in two directories still counts as one file.
std::string BaseName(const HiPath& path) {
  std::string name = path.FileName();
  if (!path.Extension().empty()) {
    name += '.';
    name += path.Extension();
  }
  return name;
}
}  // namespace

SourceType KindOfPath(const HiPath& path) {
  const std::string ext = LowerCopy(path.Extension());
  if (ext == "asm" || ext == "sym") return SourceType::Asm;
  if (ext == "mac") return SourceType::Macro;
  if (ext == "hex") return SourceType::Hex;
  if (ext == "bin") return SourceType::Bin;
  return SourceType::Basic;
}

bool ModeAccepts(SourceType mode, SourceType kind) {
  switch (mode) {
    case SourceType::Basic: return kind != SourceType::None;
    case SourceType::Asm:
      return kind == SourceType::Asm || kind == SourceType::Macro || kind == SourceType::Hex ||
             kind == SourceType::Bin;
    case SourceType::Macro: return kind == SourceType::Asm || kind == SourceType::Macro;
    case SourceType::Hex: return kind == SourceType::Hex;
    case SourceType::Bin: return kind == SourceType::Bin;
    default: return false;
  }
}

PushResult SourceFileTracker::Push(const HiPath& path, SourceType kind, bool uses) {
  const std::string name = BaseName(path);
  if (uses)
    for (const auto& [key, record] : records_)
      if (BaseName(record.path) == name) return PushResult::AlreadyUsed;
  SourceFileRecord& parent = Current();
  // A file loaded when none is being read (main input, preface) starts a
  // chain of its own rather than hanging below the last one read.
  const bool nested = parent.active;
  if (nested && parent.depth > kMaxDepth) return PushResult::TooDeep;
  for (const auto& [key, record] : records_)
    if (record.active && BaseName(record.path) == name) return PushResult::Circular;

  SourceFileRecord record;
  record.key = next_key_++;
  record.parent_key = nested ? parent.key : 0;
  record.path = path;
  record.kind = kind;
  record.depth = nested ? parent.depth + 1 : 1;
  record.active = true;
  current_key_ = record.key;
  records_.emplace(record.key, record);
  return PushResult::Pushed;
}

void SourceFileTracker::Pop() {
  SourceFileRecord& current = Current();
  current.active = false;
  if (records_.count(current.parent_key) > 0) current_key_ = current.parent_key;
}

const SourceFileRecord* SourceFileTracker::Record(int32_t key) const {
  auto it = records_.find(key);
  return it == records_.end() ? nullptr : &it->second;
}

SourceFileRecord& SourceFileTracker::Current() {
  auto it = records_.find(current_key_);
  return it == records_.end() ? none_ : it->second;
}

}  // namespace vantrel
