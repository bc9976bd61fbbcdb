#include "d64/d64_image.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cerrno>


namespace vantrel {

namespace {

// BAM sector layout (18/0) as this program writes it.
constexpr TrackSector kBamSector{kDirTrack, 0};
constexpr TrackSector kFirstDirSector{kDirTrack, 1};
constexpr int kBamDosVersion = 0x02;     // 'A': the 1541's format
constexpr int kBamTrackEntries = 0x04;   // 4 bytes per track from track 1
constexpr int kBamDiskName = 0x90;       // 16 bytes, padded with $A0
constexpr int kBamDiskId = 0xA2;         // 2 bytes
constexpr int kBamDosType = 0xA5;        // "2A"
constexpr int kBamPaddingEnd = 0xAA;     // $A0 from the name up to here
constexpr int kDiskNameLength = 16;
constexpr int kBamTrackLimit = 36;       // the BAM covers tracks below this
constexpr int kBamSectorLimit = 24;      // ... and sectors below this
constexpr uint8_t kPad = 0xA0;           // shifted space: the DOS fill byte
constexpr int kEntriesPerSector = 8;
constexpr int kEntrySize = 32;

// A fresh 1541 format leaves $4B followed by $01 bytes in the unused
// directory sectors.
constexpr uint8_t kFormatFillFirst = 0x4B;
constexpr uint8_t kFormatFill = 0x01;

size_t OffsetOf(TrackSector ts) {
  return static_cast<size_t>(FirstSectorIndex(ts.track) + ts.sector) * kSectorSize;
}

// Where the 1541 DOS looks for the next free sector: `interleave` on from
// the last one; past the end of the track it wraps round and starts one
// sector lower, so that the passes over a track fall between each other
// (1541 ROM, next track and sector routine).
int NextInterleaved(int track, int sector, int interleave) {
  const int count = SectorsOnTrack(track);
  int next = sector + interleave;
  if (next >= count) {
    next -= count;
    if (next != 0) --next;
  }
  return next;
}

}  // namespace

void D64Image::Clear() {
  data_.assign(layout_->image_size, '\0');
  track_count_ = layout_->tracks;
  WriteBamHeader();
  modified_ = false;
  read_only_ = false;
}

void D64Image::WriteBamHeader() {
  uint8_t* bam = At(OffsetOf(kBamSector));
  bam[0] = kFirstDirSector.track;
  bam[1] = kFirstDirSector.sector;
  bam[kBamDosVersion] = 'A';
  std::fill(bam + kBamDiskName, bam + kBamPaddingEnd + 1, kPad);
  bam[kBamDosType] = '2';
  bam[kBamDosType + 1] = 'A';
}

bool D64Image::Format(std::string_view name, std::string_view id) {
  if (read_only_) return false;
  Clear();
  uint8_t* bam = At(OffsetOf(kBamSector));
  std::copy_n(name.begin(), std::min<size_t>(name.size(), kDiskNameLength), bam + kBamDiskName);
  std::copy_n(id.begin(), std::min<size_t>(id.size(), 2), bam + kBamDiskId);
  for (int track = 1; track <= track_count_; ++track) {
    uint8_t* entry = bam + kBamTrackEntries + 4 * (track - 1);
    const uint32_t bits = (uint32_t{1} << SectorsOnTrack(track)) - 1;
    entry[0] = static_cast<uint8_t>(SectorsOnTrack(track));
    entry[1] = static_cast<uint8_t>(bits);
    entry[2] = static_cast<uint8_t>(bits >> 8);
    entry[3] = static_cast<uint8_t>(bits >> 16);
  }
  // Only the bitmap: allocating would zero the header just written.
  SetBamBit(kBamSector, false);
  for (uint8_t sector = 1; sector < SectorsOnTrack(kDirTrack); ++sector) {
    uint8_t* s = At(OffsetOf({kDirTrack, sector}));
    std::fill(s, s + kSectorSize, kFormatFill);
    s[0] = kFormatFillFirst;
  }
  Allocate(kFirstDirSector, kBamSector);
  modified_ = true;
  return true;
}

bool D64Image::IsValid(TrackSector ts) const {
  return ts.track != 0 && ts.track <= track_count_ && ts.sector < SectorsOnTrack(ts.track);
}

const uint8_t* D64Image::SectorAt(TrackSector ts) const {
  return IsValid(ts) ? At(OffsetOf(ts)) : nullptr;
}

const uint8_t* D64Image::PositionAt(SectorPosition pos) const {
  if (pos.offset >= kBytesPerBlock) return nullptr;
  const uint8_t* sector = SectorAt(pos.ts);
  return sector == nullptr ? nullptr : sector + pos.offset;
}

uint8_t* D64Image::WritableSectorAt(TrackSector ts) {
  if (read_only_ || !IsValid(ts)) return nullptr;
  modified_ = true;
  return At(OffsetOf(ts));
}

ChainWalk D64Image::Chain(TrackSector start) const {
  ChainWalk walk;
  std::vector<bool> seen(data_.size() / kSectorSize, false);
  TrackSector ts = start;
  while (ts.track != 0) {
    if (!IsValid(ts)) {
      walk.end = ChainEnd::BadLink;
      return walk;
    }
    const size_t index = OffsetOf(ts) / kSectorSize;
    if (seen[index]) {
      walk.end = ChainEnd::Loop;
      return walk;
    }
    seen[index] = true;
    walk.sectors.push_back(ts);
    const uint8_t* sector = SectorAt(ts);
    ts = {sector[0], sector[1]};
  }
  walk.end = ChainEnd::Last;
  return walk;
}

ChainRead D64Image::ReadChainData(TrackSector start, size_t max_bytes, std::vector<uint8_t>& bytes) const {
  const ChainWalk walk = Chain(start);
  if (walk.end == ChainEnd::Loop) return ChainRead::Loop;
  if (walk.end != ChainEnd::Last || walk.sectors.empty()) return ChainRead::BadLink;
  // The last sector's byte 1 is the offset of its last data byte, so a
  // value below 2 cannot come from a real file.
  const uint8_t last_index = SectorAt(walk.sectors.back())[1];
  if (last_index < 2) return ChainRead::BadEnd;
  const size_t size = (walk.sectors.size() - 1) * kBytesPerBlock + (last_index - 1u);
  if (size > max_bytes) return ChainRead::TooLong;
  bytes.clear();
  bytes.reserve(size);
  for (size_t i = 0; i < walk.sectors.size(); ++i) {
    const uint8_t* sector = SectorAt(walk.sectors[i]);
    const size_t n = i + 1 == walk.sectors.size() ? last_index - 1u : kBytesPerBlock;
    bytes.insert(bytes.end(), sector + 2, sector + 2 + n);
  }
  return ChainRead::Ok;
}

bool D64Image::WriteChainData(const std::vector<TrackSector>& sectors, const std::vector<uint8_t>& bytes) {
  const size_t blocks = (bytes.size() + kBytesPerBlock - 1) / kBytesPerBlock;
  if (read_only_ || bytes.empty() || sectors.size() != blocks) return false;
  if (!std::all_of(sectors.begin(), sectors.end(), [this](TrackSector ts) { return IsValid(ts); })) return false;
  for (size_t i = 0; i < blocks; ++i) {
    uint8_t* sector = At(OffsetOf(sectors[i]));
    const size_t start = i * kBytesPerBlock;
    const size_t n = std::min<size_t>(kBytesPerBlock, bytes.size() - start);
    std::fill(sector, sector + kSectorSize, 0);
    std::copy_n(bytes.begin() + static_cast<long>(start), n, sector + 2);
    const bool last = i + 1 == blocks;
    sector[0] = last ? 0 : sectors[i + 1].track;
    sector[1] = last ? static_cast<uint8_t>(n + 1) : sectors[i + 1].sector;
    SetBamBit(sectors[i], false);
  }
  modified_ = true;
  return true;
}

bool D64Image::DirectoryChain(std::vector<TrackSector>& chain) const {
  chain.clear();
  TrackSector ts = kFirstDirSector;
  while (ts.track != 0) {
    if (ts.track != kDirTrack || ts == kBamSector || !IsValid(ts)) return false;
    if (std::find(chain.begin(), chain.end(), ts) != chain.end()) return false;
    chain.push_back(ts);
    const uint8_t* sector = SectorAt(ts);
    ts = {sector[0], sector[1]};
  }
  return true;
}

bool D64Image::DirectoryPositions(std::vector<SectorPosition>& positions) const {
  positions.clear();
  std::vector<TrackSector> chain;
  if (!DirectoryChain(chain)) return false;
  for (TrackSector ts : chain) {
    for (int i = 0; i < kEntriesPerSector; ++i) positions.push_back({ts, static_cast<uint8_t>(i * kEntrySize)});
  }
  return true;
}

// A new directory sector follows the last one at the directory interleave,
// as the 1541 DOS places it.
std::optional<SectorPosition> D64Image::FreeDirectoryEntry() {
  std::vector<TrackSector> chain;
  std::vector<SectorPosition> positions;
  if (read_only_ || !DirectoryChain(chain) || !DirectoryPositions(positions)) return std::nullopt;
  for (SectorPosition pos : positions) {
    if (PositionAt(pos)[2] == 0) return pos;
  }
  const uint8_t dir_track = layout_->dir_track;
  const int start = NextInterleaved(dir_track, chain.back().sector, layout_->dir_interleave);
  for (int i = 0; i < SectorsOnTrack(dir_track); ++i) {
    const TrackSector ts{dir_track, static_cast<uint8_t>((start + i) % SectorsOnTrack(dir_track))};
    // A BAM that calls its own sector or a chained sector free must not
    // make the directory overwrite the BAM or loop.
    if (ts == kBamSector || !IsFree(ts)) continue;
    if (std::find(chain.begin(), chain.end(), ts) != chain.end()) continue;
    Allocate(ts, chain.back());
    return SectorPosition{ts, 0};
  }
  return std::nullopt;
}

bool D64Image::IsFree(TrackSector ts) const {
  if (ts.track == 0 || ts.track >= kBamTrackLimit || ts.sector >= kBamSectorLimit) return true;
  const uint8_t* entry = At(OffsetOf(kBamSector) + kBamTrackEntries + 4 * (ts.track - 1));
  return (entry[1 + ts.sector / 8] >> (ts.sector % 8)) & 1;
}

void D64Image::SetBamBit(TrackSector ts, bool free) {
  if (ts.track == 0 || ts.track >= kBamTrackLimit || ts.sector >= kBamSectorLimit) return;
  uint8_t* entry = At(OffsetOf(kBamSector) + kBamTrackEntries + 4 * (ts.track - 1));
  const uint8_t bit = static_cast<uint8_t>(1u << (ts.sector % 8));
  if (free) {
    entry[1 + ts.sector / 8] |= bit;
  } else {
    entry[1 + ts.sector / 8] &= static_cast<uint8_t>(~bit);
  }
  // Recounted from the bitmap, so a damaged count cannot run out of range.
  entry[0] = static_cast<uint8_t>(TrackFreeCount(ts.track));
  modified_ = true;
}

// Counts the bitmap, not the stored count: when the two disagree the
// bitmap is what allocation follows.
int D64Image::TrackFreeCount(int track) const {
  if (track < 1 || track >= kBamTrackLimit || track > track_count_) return 0;
  const uint8_t* entry = At(OffsetOf(kBamSector) + kBamTrackEntries + 4 * (track - 1));
  const uint32_t bits = entry[1] | (entry[2] << 8) | (entry[3] << 16);
  return std::popcount(bits & ((uint32_t{1} << SectorsOnTrack(track)) - 1));
}

bool D64Image::Allocate(TrackSector ts, std::optional<TrackSector> link_from) {
  if (read_only_ || !IsValid(ts) || (link_from && !IsValid(*link_from))) return false;
  SetBamBit(ts, false);
  uint8_t* sector = At(OffsetOf(ts));
  std::fill(sector, sector + kSectorSize, 0);
  sector[1] = 0xFF;
  if (link_from) {
    uint8_t* from = At(OffsetOf(*link_from));
    from[0] = ts.track;
    from[1] = ts.sector;
  }
  modified_ = true;
  return true;
}

void D64Image::FreeSectors(const std::vector<TrackSector>& sectors, bool zero) {
  if (read_only_) return;
  std::vector<TrackSector> directory;
  DirectoryChain(directory);
  for (TrackSector ts : sectors) {
    // A file chain that runs into the BAM or the directory is damaged;
    // freeing there would hand them out to the next file.
    if (!IsValid(ts) || ts == kBamSector) continue;
    if (std::find(directory.begin(), directory.end(), ts) != directory.end()) continue;
    if (zero) std::fill_n(At(OffsetOf(ts)), kSectorSize, 0);
    if (!IsFree(ts)) SetBamBit(ts, true);
    modified_ = true;
  }
}

// The first free sector of `track` at or after `sector`, going round.
std::optional<uint8_t> D64Image::FreeSectorFrom(int track, int sector) const {
  const int count = SectorsOnTrack(track);
  for (int i = 0; i < count; ++i) {
    const auto s = static_cast<uint8_t>((sector + i) % count);
    if (IsFree({static_cast<uint8_t>(track), s})) return s;
  }
  return std::nullopt;
}

// The 1541 DOS starts a file on the track nearest the directory that has
// room, trying the one below before the one above, at its first free sector.
std::optional<TrackSector> D64Image::FirstFileSector() const {
  const int dir_track = layout_->dir_track;
  for (int distance = 1; distance < track_count_; ++distance) {
    for (int track : {dir_track - distance, dir_track + distance}) {
      if (track < 1 || track > track_count_ || TrackFreeCount(track) == 0) continue;
      if (const auto sector = FreeSectorFrom(track, 0)) return TrackSector{static_cast<uint8_t>(track), *sector};
    }
  }
  return std::nullopt;
}

// The 1541 DOS keeps to the file's track while it has room, the interleave
// on; a full track sends it one further from the directory, keeping the
// sector count, and past the last track on one side it goes on from the
// directory on the other side at sector 0.
std::optional<TrackSector> D64Image::NextFileSector(TrackSector previous) const {
  const int dir_track = layout_->dir_track;
  int track = previous.track;
  int sector = previous.sector;
  for (int step = 0; step <= 2 * track_count_; ++step) {
    if (track != dir_track && TrackFreeCount(track) > 0) {
      const int start = NextInterleaved(track, sector, layout_->file_interleave);
      if (const auto found = FreeSectorFrom(track, start)) return TrackSector{static_cast<uint8_t>(track), *found};
    }
    if (track < dir_track && --track == 0) {
      track = dir_track + 1;
      sector = 0;
    } else if (track > dir_track && ++track > track_count_) {
      track = dir_track - 1;
      sector = 0;
    }
  }
  return std::nullopt;
}

std::vector<TrackSector> D64Image::AllocateFileSectors(int count) {
  std::vector<TrackSector> sectors;
  if (read_only_ || count <= 0 || FreeBlocks() < count) return sectors;
  std::optional<TrackSector> next = FirstFileSector();
  while (next && static_cast<int>(sectors.size()) < count) {
    SetBamBit(*next, false);
    sectors.push_back(*next);
    if (static_cast<int>(sectors.size()) < count) next = NextFileSector(*next);
  }
  if (static_cast<int>(sectors.size()) != count) {
    for (TrackSector ts : sectors) SetBamBit(ts, true);
    sectors.clear();
  }
  return sectors;
}

int D64Image::FreeBlocks() const {
  int free = 0;
  for (int track = 1; track <= track_count_; ++track) {
    if (track != layout_->dir_track) free += TrackFreeCount(track);
  }
  return free;
}

int D64Image::ReportedFreeBlocks() const {
  int free = 0;
  for (int track = 1; track <= track_count_ && track < kBamTrackLimit; ++track) {
    if (track != layout_->dir_track) free += *At(OffsetOf(kBamSector) + kBamTrackEntries + 4 * (track - 1));
  }
  return free;
}

std::vector<int> D64Image::RecountBam() {
  std::vector<int> wrong;
  if (read_only_) return wrong;
  for (int track = 1; track <= track_count_ && track < kBamTrackLimit; ++track) {
    uint8_t& count = *At(OffsetOf(kBamSector) + kBamTrackEntries + 4 * (track - 1));
    if (count == TrackFreeCount(track)) continue;
    count = static_cast<uint8_t>(TrackFreeCount(track));
    modified_ = true;
    wrong.push_back(track);
  }
  return wrong;
}

ImageFileStatus D64Image::ReadImageFile(const std::string& path, bool read_only) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return ImageFileStatus::NotFound;
  // Images with error bytes or extra tracks are other formats.
  const size_t size = layout_->image_size;
  if (st.st_size != static_cast<off_t>(size)) return ImageFileStatus::Unreadable;
  // Read into the image's own buffer: a second one would cost its pages again.
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return ImageFileStatus::NotFound;
  data_.resize(size);
  size_t used = 0;
  char beyond = 0;  // a byte past the image: the file grew meanwhile
  for (ssize_t n = 1; n != 0 && used <= size;) {
    n = used < size ? read(fd, data_.data() + used, size - used) : read(fd, &beyond, 1);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) break;
    used += static_cast<size_t>(n);
  }
  close(fd);
  if (used != size) {
    Clear();
    return ImageFileStatus::Unreadable;
  }
  track_count_ = layout_->tracks;
  modified_ = false;
  // The owner write bit, not access(): running as root, access() allows
  // writing a file the user has marked read-only.
  read_only_ = read_only || (st.st_mode & S_IWUSR) == 0;
  return ImageFileStatus::Ok;
}

}  // namespace vantrel
