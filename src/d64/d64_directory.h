// d64/d64_directory.h: the 32-byte entries of a D64 directory: reading
// them as a 1541 lists them, finding the one a name selects, filling,
// renaming and clearing entries, and holding a file's sectors against a
// BAM that calls them free.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "d64/d64_file_spec.h"
#include "d64/d64_image.h"
#include "image/program_file.h"

namespace vantrel {

struct DirEntry {
  SectorPosition pos;
  int index = 0;          // place in the listing, from 1
  uint8_t type_byte = 0;  // 0: an unused entry
  FileType kind = FileType::Unspecified;
  bool locked = false;
  bool closed = false;
  TrackSector start;
  TrackSector side_sectors;   // REL files
  uint8_t record_length = 0;  // REL files
  uint16_t blocks = 0;
  std::array<char, 16> stored_name{};  // the name field as it is
  std::string name;  // the bytes a name is matched against: up to the first $A0
};

// Every entry in use, in directory order, numbered as a 1541 lists them.
// False when the directory chain is damaged (see D64Image::DirectoryChain).
bool ReadDirectory(const D64Image& image, std::vector<DirEntry>& entries);

// The entry a 1541 opens for `spec`: its place for "#N", else the first
// whose name matches, of the file type the name asked for, if any.
std::optional<DirEntry> FindDirEntry(const std::vector<DirEntry>& entries, const D64FileSpec& spec);

// Three letters for the kind bits of a type byte, as listings show them
// ("???" for kinds no Commodore drive defines).
std::string_view KindName(uint8_t type_byte);

// A new closed file of `kind`: type byte, first sector, name (padded with
// $A0) and block count.
void FillDirEntry(D64Image& image, SectorPosition pos, std::string_view petscii_name, FileType kind,
                  TrackSector start, uint16_t blocks);
// New contents for an existing entry: its name bytes stay as stored.
void RefillDirEntry(D64Image& image, SectorPosition pos, FileType kind, TrackSector start, uint16_t blocks);
void RenameDirEntry(D64Image& image, SectorPosition pos, std::string_view petscii_name);
void ClearDirEntry(D64Image& image, SectorPosition pos);

// Sectors that files or the directory use but the BAM shows free.
struct FreeMarkedSectors {
  bool directory = false;
  std::string file_name;  // name bytes of the file
  int count = 0;
};

// Marks every sector of the directory and of the listed files' chains used
// in the BAM, so that no new file is given one, and says which were not.
std::vector<FreeMarkedSectors> ClaimUsedSectors(D64Image& image, const std::vector<DirEntry>& entries);

}  // namespace vantrel
