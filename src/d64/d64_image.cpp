#include "d64/d64_image.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <iterator>
#include <utility>

#include "text/hi_path.h"


namespace vantrel {

namespace {

// Header layout: link to the first directory sector, the DOS version byte,
// then (at the format's name offset) name, id and DOS type.
constexpr int kDosVersion = 0x02;
constexpr int kDiskNameLength = 16;
constexpr int kDiskIdAt = 18;    // from the name
constexpr int kDosTypeAt = 21;   // from the name
constexpr uint8_t kPad = 0xA0;   // shifted space: the DOS fill byte
constexpr int kEntriesPerSector = 8;
constexpr int kEntrySize = 32;
// 1571: bit 7 of 18/0 byte 3 marks a double-sided disk.
constexpr int kDoubleSidedFlag = 0x03;
// 1581 BAM sectors: "D", its complement, the disk id, and the I/O byte
// with verify and CRC checks on.
constexpr int k1581BamId = 0x04;
constexpr uint8_t k1581IoByte = 0xC0;

// The error byte codes (one per sector after the sector data) for which
// a drive finds no sector to read: 20, 21, 22, 27, 29 and 74 READ ERROR.
// The others (23 checksum, the write errors) leave data the drive reads.
constexpr uint8_t kUnreadableCodes[] = {0x02, 0x03, 0x04, 0x09, 0x0B, 0x0F};

// Where the DOS looks for the next free sector: `interleave` on from the
// last one; past the end of the track it wraps round and starts one sector
// lower, so that the passes over a track fall between each other (1541
// ROM, next track and sector routine).
int NextInterleaved(int count, int sector, int interleave) {
  int next = sector + interleave;
  if (next >= count) {
    next -= count;
    if (next != 0) --next;
  }
  return next;
}

int BitmapBytes(int sectors) { return (sectors + 7) / 8; }

}  // namespace

size_t D64Image::OffsetOf(TrackSector ts) const {
  return static_cast<size_t>(FirstSectorIndex(*format_, ts.track) + ts.sector) * kSectorSize;
}

bool D64Image::IsSystemTrack(int track) const {
  return track == format_->dir_track || track == format_->reserved_track;
}

// The header, the BAM and their kin: never a file's or the directory's.
bool D64Image::IsSystemSector(TrackSector ts) const {
  for (TrackSector system : format_->SystemSectors())
    if (ts == system) return true;
  for (const BamRun& run : format_->BamRuns())
    if (ts == run.count_sector || ts == run.map_sector) return true;
  return false;
}

const uint8_t* D64Image::BamCount(int track) const {
  for (const BamRun& run : format_->BamRuns())
    if (track >= run.first_track && track <= run.last_track)
      return At(OffsetOf(run.count_sector) + run.count_offset + run.count_stride * (track - run.first_track));
  return nullptr;
}

uint8_t* D64Image::BamCount(int track) { return const_cast<uint8_t*>(std::as_const(*this).BamCount(track)); }

const uint8_t* D64Image::BamMap(int track) const {
  for (const BamRun& run : format_->BamRuns())
    if (track >= run.first_track && track <= run.last_track)
      return At(OffsetOf(run.map_sector) + run.map_offset + run.map_stride * (track - run.first_track));
  return nullptr;
}

void D64Image::Clear() {
  error_bytes_ = false;
  data_.assign(ImageSize(*format_, false), '\0');
  WriteBamHeader();
  modified_ = false;
  read_only_ = false;
}

void D64Image::WriteBamHeader() {
  uint8_t* header = At(OffsetOf(format_->header));
  header[0] = format_->first_dir.track;
  header[1] = format_->first_dir.sector;
  header[kDosVersion] = static_cast<uint8_t>(format_->dos_version);
  uint8_t* name = header + format_->name_offset;
  std::fill(name, name + format_->name_block, kPad);
  std::copy(format_->dos_type.begin(), format_->dos_type.end(), name + kDosTypeAt);
}

// The sectors besides the header that say what disk this is.
void D64Image::WriteFormatMarks(std::string_view id) {
  if (format_->id == FormatId::D71) At(OffsetOf(format_->header))[kDoubleSidedFlag] = 0x80;
  if (format_->id != FormatId::D81) return;
  const BamRun* runs = format_->bam.data();
  for (int i = 0; i < format_->bam_run_count; ++i) {
    uint8_t* bam = At(OffsetOf(runs[i].map_sector));
    const bool last = i + 1 == format_->bam_run_count;
    bam[0] = last ? 0 : runs[i + 1].map_sector.track;
    bam[1] = last ? 0xFF : runs[i + 1].map_sector.sector;
    bam[kDosVersion] = static_cast<uint8_t>(format_->dos_version);
    bam[kDosVersion + 1] = static_cast<uint8_t>(~format_->dos_version);
    std::copy_n(id.begin(), std::min<size_t>(id.size(), 2), bam + k1581BamId);
    bam[k1581BamId + 2] = k1581IoByte;
  }
}

bool D64Image::Format(std::string_view name, std::string_view id) {
  if (read_only_) return false;
  Clear();
  uint8_t* header = At(OffsetOf(format_->header)) + format_->name_offset;
  std::copy_n(name.begin(), std::min<size_t>(name.size(), kDiskNameLength), header);
  std::copy_n(id.begin(), std::min<size_t>(id.size(), 2), header + kDiskIdAt);
  WriteFormatMarks(id);
  for (int track = 1; track <= format_->tracks; ++track) {
    uint8_t* count = BamCount(track);
    if (count == nullptr) continue;
    const int sectors = SectorsOnTrack(*format_, track);
    *count = static_cast<uint8_t>(sectors);
    uint8_t* map = const_cast<uint8_t*>(BamMap(track));
    for (int i = 0; i < BitmapBytes(sectors); ++i)
      map[i] = static_cast<uint8_t>(sectors >= 8 * (i + 1) ? 0xFF : (1u << (sectors - 8 * i)) - 1);
  }
  // Only the bitmap: allocating would zero the sectors just written.
  for (TrackSector system : format_->SystemSectors()) SetBamBit(system, false);
  for (const BamRun& run : format_->BamRuns()) SetBamBit(run.map_sector, false);
  // The unused directory sectors stay zero, as cc1541 leaves them.
  Allocate(format_->first_dir, format_->header);
  modified_ = true;
  return true;
}

bool D64Image::IsValid(TrackSector ts) const {
  return ts.track != 0 && ts.track <= format_->tracks && ts.sector < SectorsOnTrack(*format_, ts.track);
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

uint8_t D64Image::ErrorCode(TrackSector ts) const {
  if (!error_bytes_ || !IsValid(ts)) return 0;
  return *At(static_cast<size_t>(SectorCount(*format_)) * kSectorSize + OffsetOf(ts) / kSectorSize);
}

SectorErrors D64Image::ErrorsIn(const std::vector<TrackSector>& sectors) const {
  SectorErrors errors;
  for (TrackSector ts : sectors) {
    const uint8_t code = ErrorCode(ts);
    if (code <= 1) continue;
    const bool unreadable = std::find(std::begin(kUnreadableCodes), std::end(kUnreadableCodes), code) !=
                            std::end(kUnreadableCodes);
    (unreadable ? errors.unreadable : errors.flagged).push_back(ts);
  }
  return errors;
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
  TrackSector ts = format_->first_dir;
  while (ts.track != 0) {
    if (ts.track != format_->dir_track || IsSystemSector(ts) || !IsValid(ts)) return false;
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
// as the DOS places it.
std::optional<SectorPosition> D64Image::FreeDirectoryEntry() {
  std::vector<TrackSector> chain;
  std::vector<SectorPosition> positions;
  if (read_only_ || !DirectoryChain(chain) || !DirectoryPositions(positions)) return std::nullopt;
  for (SectorPosition pos : positions) {
    if (PositionAt(pos)[2] == 0) return pos;
  }
  const uint8_t dir_track = format_->dir_track;
  const int count = SectorsOnTrack(*format_, dir_track);
  const int start = NextInterleaved(count, chain.back().sector, format_->dir_interleave);
  for (int i = 0; i < count; ++i) {
    const TrackSector ts{dir_track, static_cast<uint8_t>((start + i) % count)};
    // A BAM that calls its own sector or a chained sector free must not
    // make the directory overwrite the BAM or loop.
    if (IsSystemSector(ts) || !IsFree(ts)) continue;
    if (std::find(chain.begin(), chain.end(), ts) != chain.end()) continue;
    Allocate(ts, chain.back());
    return SectorPosition{ts, 0};
  }
  return std::nullopt;
}

// A track the BAM does not cover has no free sector.
bool D64Image::IsFree(TrackSector ts) const {
  const uint8_t* map = IsValid(ts) ? BamMap(ts.track) : nullptr;
  return map != nullptr && ((map[ts.sector / 8] >> (ts.sector % 8)) & 1);
}

void D64Image::SetBamBit(TrackSector ts, bool free) {
  uint8_t* map = IsValid(ts) ? const_cast<uint8_t*>(BamMap(ts.track)) : nullptr;
  if (map == nullptr) return;
  const uint8_t bit = static_cast<uint8_t>(1u << (ts.sector % 8));
  if (free) {
    map[ts.sector / 8] |= bit;
  } else {
    map[ts.sector / 8] &= static_cast<uint8_t>(~bit);
  }
  // Recounted from the bitmap, so a damaged count cannot run out of range.
  *BamCount(ts.track) = static_cast<uint8_t>(TrackFreeCount(ts.track));
  modified_ = true;
}

// Counts the bitmap, not the stored count: when the two disagree the
// bitmap is what allocation follows.
int D64Image::TrackFreeCount(int track) const {
  const uint8_t* map = BamMap(track);
  if (map == nullptr) return 0;
  const int sectors = SectorsOnTrack(*format_, track);
  int free = 0;
  for (int sector = 0; sector < sectors; ++sector) free += (map[sector / 8] >> (sector % 8)) & 1;
  return free;
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
    if (!IsValid(ts) || IsSystemSector(ts)) continue;
    if (std::find(directory.begin(), directory.end(), ts) != directory.end()) continue;
    if (zero) std::fill_n(At(OffsetOf(ts)), kSectorSize, 0);
    if (!IsFree(ts)) SetBamBit(ts, true);
    modified_ = true;
  }
}

// The first free sector of `track` at or after `sector`, going round.
std::optional<uint8_t> D64Image::FreeSectorFrom(int track, int sector) const {
  const int count = SectorsOnTrack(*format_, track);
  for (int i = 0; i < count; ++i) {
    const auto s = static_cast<uint8_t>((sector + i) % count);
    if (IsFree({static_cast<uint8_t>(track), s})) return s;
  }
  return std::nullopt;
}

// The DOS starts a file on the track nearest the directory that has room,
// trying the one below before the one above, at its first free sector.
std::optional<TrackSector> D64Image::FirstFileSector() const {
  const int dir_track = format_->dir_track;
  for (int distance = 1; distance < format_->tracks; ++distance) {
    for (int track : {dir_track - distance, dir_track + distance}) {
      if (track < 1 || track > format_->tracks || IsSystemTrack(track) || TrackFreeCount(track) == 0) continue;
      if (const auto sector = FreeSectorFrom(track, 0)) return TrackSector{static_cast<uint8_t>(track), *sector};
    }
  }
  return std::nullopt;
}

// The DOS keeps to the file's track while it has room, the interleave on;
// a full track sends it one further from the directory, keeping the
// sector count, and past the last track on one side it goes on from the
// directory on the other side at sector 0.
std::optional<TrackSector> D64Image::NextFileSector(TrackSector previous) const {
  const int dir_track = format_->dir_track;
  int track = previous.track;
  int sector = previous.sector;
  for (int step = 0; step <= 2 * format_->tracks; ++step) {
    if (!IsSystemTrack(track) && TrackFreeCount(track) > 0) {
      const int start = NextInterleaved(SectorsOnTrack(*format_, track), sector, format_->file_interleave);
      if (const auto found = FreeSectorFrom(track, start)) return TrackSector{static_cast<uint8_t>(track), *found};
    }
    if (track < dir_track && --track == 0) {
      track = dir_track + 1;
      sector = 0;
    } else if (track > dir_track && ++track > format_->tracks) {
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
  for (int track = 1; track <= format_->tracks; ++track) {
    if (!IsSystemTrack(track)) free += TrackFreeCount(track);
  }
  return free;
}

int D64Image::ReportedFreeBlocks() const {
  int free = 0;
  for (int track = 1; track <= format_->tracks; ++track) {
    const uint8_t* count = BamCount(track);
    if (count != nullptr && !IsSystemTrack(track)) free += *count;
  }
  return free;
}

std::vector<int> D64Image::RecountBam() {
  std::vector<int> wrong;
  if (read_only_) return wrong;
  for (int track = 1; track <= format_->tracks; ++track) {
    uint8_t* count = BamCount(track);
    if (count == nullptr || *count == TrackFreeCount(track)) continue;
    *count = static_cast<uint8_t>(TrackFreeCount(track));
    modified_ = true;
    wrong.push_back(track);
  }
  return wrong;
}

ImageFileStatus D64Image::ReadImageFile(const std::string& path, bool read_only) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return ImageFileStatus::NotFound;
  const std::optional<ImageKind> kind = KindFromSize(HiPath(path).Extension(), static_cast<size_t>(st.st_size));
  if (!kind) return ImageFileStatus::WrongSize;
  const size_t size = ImageSize(*kind->format, kind->error_bytes);
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
  format_ = kind->format;
  error_bytes_ = kind->error_bytes;
  if (format_->id == FormatId::D64Plain40) format_ = &FormatOf(FortyTrackVariant(At(OffsetOf(format_->header))));
  modified_ = false;
  // The owner write bit, not access(): running as root, access() allows
  // writing a file the user has marked read-only.
  read_only_ = read_only || (st.st_mode & S_IWUSR) == 0;
  return ImageFileStatus::Ok;
}

}  // namespace vantrel
