// d64/d64_file_spec.h: names of files inside a D64 image: the
// image.d64::"NAME" form, the C64 file-name syntax (drive, command prefix,
// type and mode suffixes) and the wildcard match of directory names.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "image/program_file.h"
#include "log/msg_log.h"
#include "text/hi_path.h"
#include "text/hi_string.h"

namespace vantrel {

// The command a name's prefix asks the drive for, numbered as the C64 DOS
// channel commands; only Replace ("@:") changes what a save does.
enum class DiskCommand : int32_t {
  Plain = 0,
  Directory = 1,
  New = 2,
  Initialize = 3,
  Validate = 4,
  Copy = 5,
  Rename = 6,
  Scratch = 7,
  Replace = 8,
  Invalid = 9,
};

enum class FileMode : int32_t { None = 0, Read = 1, Write = 2 };

struct D64FileSpec {
  DiskCommand command = DiskCommand::Plain;
  int32_t drive = 0;
  HiText name;          // as typed
  std::string petscii;  // the bytes the typed name stands for on the disk
  // "#N": the Nth entry of the directory listing, whatever its name.
  int32_t position = 0;
  FileType kind = FileType::Prg;
  bool kind_given = false;  // a ",S"-style suffix named the kind
  FileMode mode = FileMode::None;
  int32_t secondary_address = 0;
  bool in_image = false;
  HiPath image_path;
  // The image name had no extension and got ".d64"; ".D64" is tried too.
  bool extension_added = false;
};

// Parses a C64 file name as the drive would for `secondary_address`.
// False for an empty text or an unknown command prefix.
bool ParseC64Name(std::string_view text, int32_t secondary_address, D64FileSpec& spec);

// True when `text` holds "::" somewhere after its first character and
// before its last.
bool IsImageSpec(std::string_view text);
// Splits image.d64::"NAME" into `spec`, reporting what is wrong.
bool ParseImageSpec(MsgLog& log, std::string_view text, D64FileSpec& spec);
// The image files the parsed name may mean, in the order to try them.
std::vector<HiPath> ImagePathCandidates(const D64FileSpec& spec);

bool HasWildcards(std::string_view name);

// "File not found", or "No matching file found" for a pattern.
const char* NotFoundText(std::string_view petscii);
// "*" matches any run of characters, "?" any one; bytes compare exactly, and
// the whole name must match.
bool MatchesPattern(std::string_view pattern, std::string_view name);

}  // namespace vantrel
