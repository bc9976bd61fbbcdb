// d64/d64_geometry.h: where each track and sector of a 1541 disk lies in a
// D64 image file, and the address types the image code passes around.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace vantrel {

inline constexpr int kSectorSize = 256;
inline constexpr int kBytesPerBlock = 254;  // bytes 0-1 of every sector are the link
inline constexpr int kD64TrackCount = 35;
inline constexpr int kD64SectorCount = 683;
inline constexpr size_t kD64ImageSize = 174848;
inline constexpr int kMaxTableTrack = 42;  // extended images reach track 42

// The 1541 records at four bit rates, so the longer outer tracks hold more
// sectors (1541 User's Guide, disk layout appendix).
struct SpeedZone {
  int first_track;
  int last_track;
  int sectors;
};

inline constexpr SpeedZone kSpeedZones[] = {
    {1, 17, 21},
    {18, 24, 19},
    {25, 30, 18},
    {31, 42, 17},
};

constexpr int SectorsOnTrack(int track) {
  for (const SpeedZone& zone : kSpeedZones) {
    if (track >= zone.first_track && track <= zone.last_track) return zone.sectors;
  }
  return 0;
}

// Index of each track's first sector in the image, for tracks 0 to 42.
inline constexpr std::array<int, kMaxTableTrack + 1> kTrackStart = [] {
  std::array<int, kMaxTableTrack + 1> start{};
  start[0] = -1;
  int index = 0;
  for (int track = 1; track <= kMaxTableTrack; ++track) {
    start[track] = index;
    index += SectorsOnTrack(track);
  }
  return start;
}();

// -1 for a track outside 1 to 42.
constexpr int FirstSectorIndex(int track) {
  return track >= 1 && track <= kMaxTableTrack ? kTrackStart[track] : -1;
}

static_assert(FirstSectorIndex(18) == 357 && FirstSectorIndex(19) == 376);
static_assert(FirstSectorIndex(25) == 490 && FirstSectorIndex(31) == 598);
static_assert(FirstSectorIndex(35) == 666 && FirstSectorIndex(36) == 683);
static_assert(FirstSectorIndex(40) == 751 && FirstSectorIndex(43) == -1);
static_assert(kD64SectorCount * kSectorSize == static_cast<int>(kD64ImageSize));

struct TrackSector {
  uint8_t track = 0;
  uint8_t sector = 0;

  bool operator==(const TrackSector&) const = default;
};

// A place inside a sector; directory entries sit at offsets 0, 32, ... 224.
struct SectorPosition {
  TrackSector ts;
  uint8_t offset = 0;

  bool operator==(const SectorPosition&) const = default;
};

}  // namespace vantrel
