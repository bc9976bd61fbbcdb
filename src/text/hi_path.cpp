#include "text/hi_path.h"

namespace vantrel {

void HiPath::SetText(std::string_view text) {
  text_ = std::string(text);
  size_t sep = text_.find_first_of("/\\");
  separator_ = sep == std::string::npos ? '/' : text_[sep];
  parts_.dirty = true;
}

const HiPath::Parts& HiPath::Split() const {
  if (!parts_.dirty) return parts_;
  Parts p;
  p.dirty = false;
  size_t last_sep = text_.find_last_of("/\\");
  size_t name_start = 0;
  if (last_sep != std::string::npos) {
    p.directory = text_.substr(0, last_sep + 1);
    name_start = last_sep + 1;
  }
  std::string rest = text_.substr(name_start);
  if (rest == "." || rest == "..") {
    p.directory += rest;
    rest.clear();
  }
  // ".bak" is an extension alone: as an output name it keeps the default name.
  size_t dot = rest.rfind('.');
  if (dot == std::string::npos) {
    p.file_name = rest;
  } else {
    p.file_name = rest.substr(0, dot);
    p.extension = rest.substr(dot + 1);
    p.trailing_dot = p.extension.empty();
  }
  parts_ = p;
  return parts_;
}

bool HiPath::IsRooted() const {
  const std::string& dir = Directory();
  return !dir.empty() && (dir[0] == '/' || dir[0] == '\\');
}

void HiPath::Rebuild(const Parts& parts) {
  std::string text = parts.drive + parts.directory + parts.file_name;
  if (!parts.extension.empty()) text += "." + parts.extension;
  char sep = separator_;
  SetText(text);
  if (text.find_first_of("/\\") == std::string::npos) separator_ = sep;
}

void HiPath::SetExtension(std::string_view ext) {
  Parts p = Split();
  p.extension = std::string(ext);
  p.trailing_dot = false;
  Rebuild(p);
}

void HiPath::MergeWithDefaults(const HiPath& defaults) {
  Parts p = Split();
  if (p.drive.empty()) p.drive = defaults.Drive();
  if (p.directory.empty()) p.directory = defaults.Directory();
  if (p.file_name.empty()) p.file_name = defaults.FileName();
  // "name." asks for no extension at all.
  if (p.extension.empty() && !p.trailing_dot) p.extension = defaults.Extension();
  Rebuild(p);
}

HiPath HiPath::Join(const HiPath& name) const {
  if (text_.empty() || name.IsRooted()) return name;
  std::string dir = text_;
  if (dir.back() != '/' && dir.back() != '\\') dir += '/';
  return HiPath(dir + name.Text());
}

}  // namespace vantrel
