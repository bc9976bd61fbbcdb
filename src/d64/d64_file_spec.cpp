#include "d64/d64_file_spec.h"

#include <cctype>

#include "d64/c64_names.h"
#include "text/text_ops.h"

namespace vantrel {

namespace {

struct CommandWord {
  std::string_view word;
  DiskCommand command;
};

inline constexpr CommandWord kCommandWords[] = {
    {"@", DiskCommand::Replace},      {"N", DiskCommand::New},        {"NEW", DiskCommand::New},
    {"I", DiskCommand::Initialize},   {"INITIALIZE", DiskCommand::Initialize},
    {"V", DiskCommand::Validate},     {"VALIDATE", DiskCommand::Validate},
    {"C", DiskCommand::Copy},         {"COPY", DiskCommand::Copy},
    {"R", DiskCommand::Rename},       {"RENAME", DiskCommand::Rename},
    {"S", DiskCommand::Scratch},      {"SCRATCH", DiskCommand::Scratch},
};

struct KindWord {
  std::string_view word;
  FileType kind;
};

inline constexpr KindWord kKindWords[] = {
    {"P", FileType::Prg}, {"PRG", FileType::Prg}, {"S", FileType::Seq}, {"SEQ", FileType::Seq},
    {"REL", FileType::Rel}, {"U", FileType::Usr}, {"USR", FileType::Usr}, {"D", FileType::Del},
    {"DEL", FileType::Del},
};

struct ModeWord {
  std::string_view word;
  FileMode mode;
};

inline constexpr ModeWord kModeWords[] = {
    {"R", FileMode::Read}, {"READ", FileMode::Read}, {"W", FileMode::Write}, {"WRITE", FileMode::Write},
};

// The drive's defaults per channel: 0 loads and 1 saves programs, 15 is the
// command channel, every other channel opens a sequential file.
void SetChannelDefaults(int32_t secondary_address, D64FileSpec& spec) {
  spec.secondary_address = secondary_address;
  if (secondary_address == 0 || secondary_address == 1) {
    spec.kind = FileType::Prg;
    spec.mode = secondary_address == 0 ? FileMode::Read : FileMode::Write;
  } else if (secondary_address == 15) {
    spec.kind = FileType::Unspecified;
    spec.mode = FileMode::None;
  } else {
    spec.kind = FileType::Seq;
    spec.mode = FileMode::Read;
  }
}

bool ParsePrefix(std::string prefix, D64FileSpec& spec) {
  for (size_t i = 0; i < prefix.size(); ++i) {
    if (std::isdigit(static_cast<unsigned char>(prefix[i]))) {
      spec.drive = prefix[i] - '0';
      prefix.erase(i, 1);
      break;
    }
  }
  const std::string word = UpperCopy(prefix);
  for (const CommandWord& row : kCommandWords) {
    if (row.word == word) {
      spec.command = row.command;
      return true;
    }
  }
  spec.command = DiskCommand::Invalid;
  return false;
}

// "#12": an entry chosen by its place in the listing, counted from 1.
int32_t PositionIn(std::string_view name) {
  if (name.size() < 2 || name.size() > 4 || name[0] != '#') return 0;
  int32_t position = 0;
  for (char c : name.substr(1)) {
    if (c < '0' || c > '9') return 0;
    position = position * 10 + (c - '0');
  }
  return position;
}

void ApplySuffix(std::string_view item, D64FileSpec& spec) {
  const std::string word = UpperCopy(item);
  // Modes first: a lone "R" is always read, never a type.
  for (const ModeWord& row : kModeWords) {
    if (row.word == word) {
      spec.mode = row.mode;
      return;
    }
  }
  for (const KindWord& row : kKindWords) {
    if (row.word == word) {
      spec.kind = row.kind;
      spec.kind_given = true;
      return;
    }
  }
}

}  // namespace

bool ParseC64Name(std::string_view text, int32_t secondary_address, D64FileSpec& spec) {
  SetChannelDefaults(secondary_address, spec);
  spec.command = DiskCommand::Plain;
  spec.drive = 0;
  spec.name.clear();
  spec.petscii.clear();
  spec.position = 0;
  spec.kind_given = false;
  if (text.empty()) return false;
  std::string rest = StripPair(text, '"', '"');
  const size_t colon = rest.find(':', 1);
  if (colon != std::string::npos) {
    if (!ParsePrefix(rest.substr(0, colon), spec)) return false;
    rest.erase(0, colon + 1);
  }
  const std::vector<HiText> items = Split(rest, ",", true);
  spec.name = items.empty() ? HiText() : items[0];
  for (size_t i = 1; i < items.size(); ++i) ApplySuffix(items[i], spec);
  if (spec.name == "$" && spec.command == DiskCommand::Plain) spec.command = DiskCommand::Directory;
  spec.petscii = PetsciiFromTyped(spec.name);
  spec.position = PositionIn(spec.name);
  return true;
}

bool IsImageSpec(std::string_view text) {
  for (size_t p = text.find("::"); p != std::string_view::npos; p = text.find("::", p + 1)) {
    if (p > 0 && p + 1 < text.size() - 1) return true;
  }
  return false;
}

bool ParseImageSpec(MsgLog& log, std::string_view text, D64FileSpec& spec) {
  spec = D64FileSpec();
  const std::string whole = StripPair(text, '"', '"');
  const size_t cut = whole.find("::");
  if (cut == std::string::npos || cut == 0 || cut + 2 >= whole.size()) {
    return log.ReportError("Incorrect D64::C64 filename syntax");
  }
  spec.in_image = true;
  spec.image_path.SetText(whole.substr(0, cut));
  if (spec.image_path.Extension().empty() && !spec.image_path.HasTrailingDot()) {
    spec.image_path.SetExtension("d64");
    spec.extension_added = true;
  }
  if (!ParseC64Name(std::string_view(whole).substr(cut + 2), 0, spec)) {
    return log.ReportError("Incorrect D64::C64 filename syntax");
  }
  if (spec.image_path.Empty()) return log.ReportError("Image name is blank");
  if (spec.name.empty()) return log.ReportError("filename is blank");
  return true;
}

std::vector<HiPath> ImagePathCandidates(const D64FileSpec& spec) {
  std::vector<HiPath> paths{spec.image_path};
  if (spec.extension_added) {
    // Images copied from other systems often carry an upper-case extension.
    HiPath upper = spec.image_path;
    upper.SetExtension("D64");
    paths.push_back(upper);
  }
  return paths;
}

bool HasWildcards(std::string_view name) { return name.find_first_of("*?") != std::string_view::npos; }

bool MatchesPattern(std::string_view pattern, std::string_view name) {
  // Greedy match with one backtrack point: the last "*" seen.
  size_t p = 0, n = 0;
  size_t star = std::string_view::npos, star_n = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == name[n])) {
      ++p;
      ++n;
    } else if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      star_n = n;
    } else if (star != std::string_view::npos) {
      p = star + 1;
      n = ++star_n;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

const char* NotFoundText(std::string_view petscii) {
  return HasWildcards(petscii) ? "No matching file found" : "File not found";
}

}  // namespace vantrel
