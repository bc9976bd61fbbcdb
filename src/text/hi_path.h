// text/hi_path.h: a file path split into directory, file name and extension,
// the way output names are derived from input names. Both "/" and "\" split.
#pragma once

#include <string>
#include <string_view>

namespace vantrel {

class HiPath {
 public:
  HiPath() = default;
  HiPath(std::string_view text) { SetText(text); }  // NOLINT: paths read naturally from text

  const std::string& Text() const { return text_; }
  bool Empty() const { return text_.empty(); }
  void SetText(std::string_view text);

  // Drives do not exist here; kept so derived names merge the same way.
  const std::string& Drive() const { return Split().drive; }
  const std::string& Directory() const { return Split().directory; }
  const std::string& FileName() const { return Split().file_name; }
  const std::string& Extension() const { return Split().extension; }
  bool HasTrailingDot() const { return Split().trailing_dot; }
  bool IsRooted() const;

  void SetExtension(std::string_view ext);
  // Each missing part (drive, directory, name, extension) is taken from `defaults`.
  void MergeWithDefaults(const HiPath& defaults);
  // `name` (a relative path) placed inside this directory.
  HiPath Join(const HiPath& name) const;

  bool operator==(const HiPath& other) const { return text_ == other.text_; }

 private:
  struct Parts {
    bool dirty = true;
    std::string drive, directory, file_name, extension;
    bool trailing_dot = false;
  };
  const Parts& Split() const;
  void Rebuild(const Parts& parts);

  std::string text_;
  char separator_ = '/';
  mutable Parts parts_;
};

}  // namespace vantrel
