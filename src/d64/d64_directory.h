// d64/d64_directory.h: the 32-byte entries of a D64 directory: reading
// their fields, finding a file by name and kind, and filling an entry.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "d64/d64_image.h"
#include "image/program_file.h"

namespace vantrel {

struct DirEntry {
  SectorPosition pos;
  uint8_t type_byte = 0;  // 0: an unused entry
  FileType kind = FileType::Unspecified;
  bool locked = false;
  TrackSector start;
  uint8_t record_length = 0;  // REL files
  uint16_t blocks = 0;
  std::string name;  // $00 and $A0 read as blanks, trimmed
};

// `pos` must be one of the image's directory positions.
DirEntry ReadDirEntry(const D64Image& image, SectorPosition pos);

// The first entry in directory order that is in use, has a name without
// wildcards, has the given kind and matches `pattern`.
std::optional<DirEntry> FindDirEntry(const D64Image& image, const std::vector<SectorPosition>& positions,
                                     std::string_view pattern, FileType kind);

// A closed file of `kind`: type byte, first sector, name (16 bytes at most,
// padded with $A0) and block count.
void FillDirEntry(D64Image& image, SectorPosition pos, std::string_view name, FileType kind, TrackSector start,
                  uint16_t blocks);
void ClearDirEntry(D64Image& image, SectorPosition pos);

}  // namespace vantrel
