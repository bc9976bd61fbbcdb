// d64/d64_image.h: one 35-track 1541 disk image held in memory: sectors,
// the block availability map (BAM), sector chains, the directory chain,
// formatting, and reading and writing the image file.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "d64/d64_geometry.h"

namespace vantrel {

// How a walk along sector links ended.
enum class ChainEnd {
  Last,     // a link to track 0: the sector before it is the last one
  BadLink,  // a link to a sector that does not exist on the disk
  Loop,     // a link back to a sector already visited
};

struct ChainWalk {
  std::vector<TrackSector> sectors;
  ChainEnd end = ChainEnd::Last;
};

enum class ImageFileStatus { Ok, NotFound, Unreadable };

class D64Image {
 public:
  D64Image() { Clear(); }

  // An unformatted 35-track image: zero bytes, a BAM header, no free sector.
  void Clear();
  // A blank disk: every sector free except the BAM and one empty directory
  // sector. False only on a read-only image.
  bool Format(std::string_view name, std::string_view id);

  int TrackCount() const { return track_count_; }
  bool IsValid(TrackSector ts) const;
  // Null for an invalid address.
  const uint8_t* SectorAt(TrackSector ts) const;
  // Null for an invalid position; valid offsets are below 254.
  const uint8_t* PositionAt(SectorPosition pos) const;
  // Null for an invalid address or a read-only image; marks the image modified.
  uint8_t* WritableSectorAt(TrackSector ts);

  // Follows the links from `start` until a link to track 0, an invalid
  // link or a repeated sector.
  ChainWalk Chain(TrackSector start) const;
  // The bytes a file chain carries: 254 per sector, the last sector's count
  // from its link. False for a broken, looping or over-long chain.
  bool ReadChainData(TrackSector start, size_t max_bytes, std::vector<uint8_t>& bytes) const;
  // Fills `sectors` in order with `bytes`, linking them and marking them
  // used. The caller supplies exactly enough free sectors.
  bool WriteChainData(const std::vector<TrackSector>& sectors, const std::vector<uint8_t>& bytes);

  // Entry positions of the directory sectors the BAM shows allocated. False
  // when the directory chain leaves track 18, hits the BAM or loops.
  bool DirectoryPositions(std::vector<SectorPosition>& positions) const;
  // The first unused entry, growing the directory on track 18 when needed.
  std::optional<SectorPosition> FreeDirectoryEntry();

  bool IsFree(TrackSector ts) const;
  // Marks `ts` used, zeroes it as a last sector (link 0, $FF) and links
  // `link_from` to it.
  bool Allocate(TrackSector ts, std::optional<TrackSector> link_from);
  // Frees each valid sector off track 18, zeroing it first when asked.
  void FreeSectors(const std::vector<TrackSector>& sectors, bool zero);
  // Up to `count` free sectors in the order files are laid out.
  std::vector<TrackSector> CollectFreeSectors(int count) const;
  // Free blocks outside the directory track.
  int FreeBlocks() const;

  ImageFileStatus ReadImageFile(const std::string& path, bool read_only);

  const std::vector<uint8_t>& Data() const { return data_; }
  bool Modified() const { return modified_; }
  bool ReadOnly() const { return read_only_; }
  void SetReadOnly(bool read_only) { read_only_ = read_only; }

 private:
  bool DirectoryChain(std::vector<TrackSector>& chain) const;
  void SetBamBit(TrackSector ts, bool free);
  int TrackFreeCount(int track) const;
  void WriteBamHeader();

  std::vector<uint8_t> data_;
  int track_count_ = kD64TrackCount;
  bool modified_ = false;
  bool read_only_ = false;
};

}  // namespace vantrel
