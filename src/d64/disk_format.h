// d64/disk_format.h: the disk image formats of the Commodore drives as
// constant data: tracks, sectors per track, where the header, the BAM and
// the directory lie, and the interleave each drive's DOS allocates by. The
// image code reads every fact about a format from its row here.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "d64/d64_geometry.h"

namespace vantrel {

// Where one run of tracks keeps its BAM: a free count and a bitmap per
// track, each at a first offset and a stride in its sector.
struct BamRun {
  int first_track = 0;
  int last_track = 0;
  TrackSector count_sector;
  int count_offset = 0;
  int count_stride = 0;
  TrackSector map_sector;
  int map_offset = 0;
  int map_stride = 0;
};

enum class FormatId { D64, D64Speed40, D64Dolphin40, D64Plain40, D64Tracks42, D71, D81 };

// 1541 BAM at 18/0: 4 bytes a track from offset 4.
inline constexpr BamRun k1541Bam{1, 35, {18, 0}, 0x04, 4, {18, 0}, 0x05, 4};

// The defaults are the 1541's.
struct DiskFormat {
  FormatId id = FormatId::D64;
  std::string_view extension = "d64";  // lower case, without the dot
  int tracks = 35;
  int uniform_sectors = 0;  // sectors on every track, or 0 for the 1541's speed zones
  int side_tracks = 0;      // a double-sided disk's tracks per side, else 0
  uint8_t dir_track = 18;
  uint8_t reserved_track = 0;    // a second track the DOS keeps files off, or 0
  TrackSector header{18, 0};     // the sector holding the disk name
  int name_offset = 0x90;        // 16 bytes of disk name, then $A0 $A0, id, $A0, DOS type
  int name_block = 27;           // ... and $A0 up to this many bytes from the name
  TrackSector first_dir{18, 1};
  std::array<TrackSector, 3> system_sectors{{{18, 0}}};  // on the directory track, before the directory
  int system_sector_count = 1;
  std::array<BamRun, 3> bam{k1541Bam};
  int bam_run_count = 1;
  // The 1541 DOS places a file's next block 10 sectors on, so the drive has
  // turned that far while the computer took the last one; directory
  // sectors go 3 apart (1541 ROM, next track and sector routine).
  int file_interleave = 10;
  int dir_interleave = 3;
  char dos_version = 'A';           // the byte after the header's link: 'A' (1541/1571) or 'D' (1581)
  std::string_view dos_type = "2A";  // "2A" or "3D"

  std::span<const BamRun> BamRuns() const { return {bam.data(), static_cast<size_t>(bam_run_count)}; }
  std::span<const TrackSector> SystemSectors() const {
    return {system_sectors.data(), static_cast<size_t>(system_sector_count)};
  }
};

// The 1541 and its 40-track DOS extensions (SpeedDOS and DolphinDOS keep
// tracks 36-40 in otherwise unused BAM bytes), the 1571 (second side's
// counts at 18/0 $DD, bitmaps on 53/0, 3 bytes a track; interleave 6), and
// the 1581 (40 sectors a track, header 40/0, BAM 40/1 and 40/2, 6 bytes a
// track from offset $10; interleave 1). Sources: the 1541, 1571 and 1581
// user's guides, and the BAM layouts cc1541 writes for -4 and -5.
inline constexpr DiskFormat kFormats[] = {
    {.id = FormatId::D64},
    {.id = FormatId::D64Speed40, .tracks = 40,
     .bam = {k1541Bam, BamRun{36, 40, {18, 0}, 0xC0, 4, {18, 0}, 0xC1, 4}}, .bam_run_count = 2},
    {.id = FormatId::D64Dolphin40, .tracks = 40,
     .bam = {k1541Bam, BamRun{36, 40, {18, 0}, 0xAC, 4, {18, 0}, 0xAD, 4}}, .bam_run_count = 2},
    {.id = FormatId::D64Plain40, .tracks = 40},
    {.id = FormatId::D64Tracks42, .tracks = 42},
    {.id = FormatId::D71, .extension = "d71", .tracks = 70, .side_tracks = 35, .reserved_track = 53,
     .bam = {k1541Bam, BamRun{36, 70, {18, 0}, 0xDD, 1, {53, 0}, 0x00, 3}}, .bam_run_count = 2,
     .file_interleave = 6},
    {.id = FormatId::D81, .extension = "d81", .tracks = 80, .uniform_sectors = 40, .dir_track = 40,
     .header = {40, 0}, .name_offset = 0x04, .name_block = 25, .first_dir = {40, 3},
     .system_sectors = {{{40, 0}, {40, 1}, {40, 2}}}, .system_sector_count = 3,
     .bam = {BamRun{1, 40, {40, 1}, 0x10, 6, {40, 1}, 0x11, 6}, BamRun{41, 80, {40, 2}, 0x10, 6, {40, 2}, 0x11, 6}},
     .bam_run_count = 2, .file_interleave = 1, .dir_interleave = 1, .dos_version = 'D', .dos_type = "3D"},
};

constexpr const DiskFormat& FormatOf(FormatId id) {
  for (const DiskFormat& format : kFormats)
    if (format.id == id) return format;
  return kFormats[0];
}

constexpr int SectorsOnTrack(const DiskFormat& format, int track) {
  if (track < 1 || track > format.tracks) return 0;
  if (format.uniform_sectors != 0) return format.uniform_sectors;
  if (format.side_tracks != 0 && track > format.side_tracks) track -= format.side_tracks;
  return SectorsOnTrack(track);
}

constexpr int SectorCount(const DiskFormat& format) {
  int count = 0;
  for (int track = 1; track <= format.tracks; ++track) count += SectorsOnTrack(format, track);
  return count;
}

// -1 for a track the format does not have.
constexpr int FirstSectorIndex(const DiskFormat& format, int track) {
  if (track < 1 || track > format.tracks) return -1;
  if (format.uniform_sectors != 0) return (track - 1) * format.uniform_sectors;
  if (format.side_tracks != 0 && track > format.side_tracks)
    return FirstSectorIndex(track - format.side_tracks) + FirstSectorIndex(format.side_tracks + 1);
  return FirstSectorIndex(track);
}

// The image file: 256 bytes a sector, then optionally one error byte a sector.
constexpr size_t ImageSize(const DiskFormat& format, bool error_bytes) {
  return static_cast<size_t>(SectorCount(format)) * (kSectorSize + (error_bytes ? 1 : 0));
}

static_assert(ImageSize(FormatOf(FormatId::D64), false) == 174848 && ImageSize(FormatOf(FormatId::D64), true) == 175531);
static_assert(ImageSize(FormatOf(FormatId::D64Speed40), true) == 197376);
static_assert(ImageSize(FormatOf(FormatId::D64Tracks42), false) == 205312);
static_assert(ImageSize(FormatOf(FormatId::D71), false) == 349696 && FirstSectorIndex(FormatOf(FormatId::D71), 53) == 1040);
static_assert(ImageSize(FormatOf(FormatId::D81), false) == 819200);

// What an image file's name and size say it holds.
struct ImageKind {
  const DiskFormat* format = nullptr;
  bool error_bytes = false;
};

// True for an extension a disk image format has (any case).
bool IsDiskImageExtension(std::string_view extension);
// The format an image of this extension and size is; 40-track D64s are
// all D64Plain40 here (the BAM tells the variants apart).
std::optional<ImageKind> KindFromSize(std::string_view extension, size_t size);
// The format a new image of this extension gets; null for none.
const DiskFormat* NewImageFormat(std::string_view extension);
// "174848, 175531, ..." for the extension's formats.
std::string KnownSizes(std::string_view extension);
// The 40-track variant whose extra BAM entries the 18/0 sector holds.
FormatId FortyTrackVariant(const uint8_t* bam_sector);

}  // namespace vantrel
