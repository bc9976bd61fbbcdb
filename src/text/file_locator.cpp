#include "text/file_locator.h"

#include <filesystem>
#include <system_error>

#include "text/text_ops.h"

namespace vantrel {

std::string FileNotFoundText(std::string_view name) { return "File not found: " + std::string(name); }

void FileLocator::AddCurrentDirectory() {
  std::error_code ec;
  std::string cwd = std::filesystem::current_path(ec).string();
  if (ec) return;
  current_ = HiPath(cwd + "/");
  AddDirectory(current_);
}

bool FileLocator::AddDirectory(const HiPath& dir) {
  if (dir.Empty()) return false;
  for (const HiPath& d : directories_)
    if (d == dir) return false;
  directories_.push_back(dir);
  return true;
}

void FileLocator::AddDirectoryList(std::string_view list) {
  for (const HiText& part : Split(list, ",;")) AddDirectory(HiPath(Trim(part)));
}

HiPath FileLocator::Candidate(const HiPath& dir, const HiPath& name) const {
  if (!current_.Empty() && dir == current_) return name;
  return dir.Join(name);
}

HiPath FileLocator::Find(const HiPath& name) const {
  if (name.Empty()) return {};
  if (name.IsRooted() || name.Text()[0] == '.') return RegularFileExists(name.Text()) ? name : HiPath();
  if (!primary_.Empty()) {
    HiPath p = Candidate(primary_, name);
    if (RegularFileExists(p.Text())) return p;
  }
  for (const HiPath& dir : directories_) {
    HiPath p = Candidate(dir, name);
    if (RegularFileExists(p.Text())) return p;
  }
  return {};
}

}  // namespace vantrel
