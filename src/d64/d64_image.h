// d64/d64_image.h: one disk image (D64 of 35 to 42 tracks, D71, D81; with
// or without error bytes) held in memory: sectors, the block availability
// map (BAM), sector chains, the directory chain, formatting, and reading
// the image file. What differs between the formats is data (disk_format.h).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "d64/disk_format.h"

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

// Why a file's bytes could not be read from its chain.
enum class ChainRead {
  Ok,
  BadLink,   // no first sector, or a link to a sector that does not exist
  Loop,      // a link back to a sector already visited
  BadEnd,    // the last sector's byte count is below 2
  TooLong,   // more bytes than the caller can take
};

enum class ImageFileStatus { Ok, NotFound, Unreadable, WrongSize };

// The sectors of one file chain that carry a read error in the image's
// error bytes, split as a drive reports them.
struct SectorErrors {
  std::vector<TrackSector> unreadable;  // no sector found: the drive stops there
  std::vector<TrackSector> flagged;     // read, but the drive reports an error
};

class D64Image {
 public:
  D64Image() { Clear(); }
  explicit D64Image(const DiskFormat& format) : format_(&format) { Clear(); }

  // An unformatted image of the current format: zero bytes, a BAM header,
  // no free sector, no error bytes.
  void Clear();
  // A blank disk: every sector free except the BAM and one empty directory
  // sector. False only on a read-only image.
  bool Format(std::string_view name, std::string_view id);

  const DiskFormat& Layout() const { return *format_; }
  int TrackCount() const { return format_->tracks; }
  bool HasErrorBytes() const { return error_bytes_; }
  // The error byte of a sector as the image stores it (0 without error bytes).
  uint8_t ErrorCode(TrackSector ts) const;
  SectorErrors ErrorsIn(const std::vector<TrackSector>& sectors) const;
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
  // from its link.
  ChainRead ReadChainData(TrackSector start, size_t max_bytes, std::vector<uint8_t>& bytes) const;
  // Fills `sectors` in order with `bytes`, linking them and marking them
  // used. The caller supplies exactly enough free sectors.
  bool WriteChainData(const std::vector<TrackSector>& sectors, const std::vector<uint8_t>& bytes);

  // The directory sectors, followed from 18/1 by their links as the drive
  // does, whatever the BAM says. False when the chain leaves track 18, hits
  // the BAM or loops.
  bool DirectoryChain(std::vector<TrackSector>& chain) const;
  // Every entry position of those sectors, 8 a sector.
  bool DirectoryPositions(std::vector<SectorPosition>& positions) const;
  // The first unused entry, growing the directory on track 18 when needed.
  std::optional<SectorPosition> FreeDirectoryEntry();

  bool IsFree(TrackSector ts) const;
  void MarkUsed(TrackSector ts) { SetBamBit(ts, false); }
  // Marks `ts` used, zeroes it as a last sector (link 0, $FF) and links
  // `link_from` to it.
  bool Allocate(TrackSector ts, std::optional<TrackSector> link_from);
  // Frees each valid sector but the BAM and the directory's, zeroing it
  // first when asked.
  void FreeSectors(const std::vector<TrackSector>& sectors, bool zero);
  // Marks `count` free sectors used, in the order the 1541 DOS gives them
  // to a file; empty (and nothing marked) when there are not that many.
  std::vector<TrackSector> AllocateFileSectors(int count);
  // Free blocks outside the directory (and reserved) track, by the BAM's bitmaps.
  int FreeBlocks() const;
  // The same from the BAM's per-track counts, as a drive reports them.
  int ReportedFreeBlocks() const;
  // Sets each track's free count from its bitmap; returns the tracks whose
  // count was wrong.
  std::vector<int> RecountBam();

  // The format comes from the file's extension and size (and, for 40
  // tracks, from the BAM).
  ImageFileStatus ReadImageFile(const std::string& path, bool read_only);
  // The sector that holds the disk name and id.
  const uint8_t* Header() const { return At(OffsetOf(format_->header)); }

  // A copy of the image's bytes.
  std::vector<uint8_t> Data() const { return {data_.begin(), data_.end()}; }
  // The bytes themselves, leaving the image empty: for the one write at the end.
  std::string TakeBytes() { return std::move(data_); }
  bool Modified() const { return modified_; }
  bool ReadOnly() const { return read_only_; }
  void SetReadOnly(bool read_only) { read_only_ = read_only; }

 private:
  void SetBamBit(TrackSector ts, bool free);
  std::optional<TrackSector> FirstFileSector() const;
  std::optional<TrackSector> NextFileSector(TrackSector previous) const;
  std::optional<uint8_t> FreeSectorFrom(int track, int sector) const;
  int TrackFreeCount(int track) const;
  void WriteBamHeader();
  void WriteFormatMarks(std::string_view id);
  size_t OffsetOf(TrackSector ts) const;
  bool IsSystemTrack(int track) const;
  bool IsSystemSector(TrackSector ts) const;
  // The track's free count and bitmap in the BAM; null where it has none.
  uint8_t* BamCount(int track);
  const uint8_t* BamCount(int track) const;
  const uint8_t* BamMap(int track) const;

  const DiskFormat* format_ = &kFormats[0];
  bool error_bytes_ = false;
  uint8_t* At(size_t offset) { return reinterpret_cast<uint8_t*>(data_.data()) + offset; }
  const uint8_t* At(size_t offset) const { return reinterpret_cast<const uint8_t*>(data_.data()) + offset; }

  std::string data_;  // a string, so that the finished image moves into the output unchanged
  bool modified_ = false;
  bool read_only_ = false;
};

}  // namespace vantrel
