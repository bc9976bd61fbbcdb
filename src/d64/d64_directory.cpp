#include "d64/d64_directory.h"

#include <algorithm>

#include "d64/c64_names.h"

namespace vantrel {

namespace {

// Field offsets inside a 32-byte directory entry (1541 DOS layout).
constexpr int kEntryType = 2;
constexpr int kEntryStart = 3;
constexpr int kEntryName = 5;
constexpr int kEntrySideSector = 21;  // REL side sectors, then the record length
constexpr int kEntryRecordLength = 23;
constexpr int kEntryBlocks = 30;
constexpr int kEntrySize = 32;
constexpr size_t kNameLength = 16;

constexpr uint8_t kTypeKindMask = 0x07;
constexpr uint8_t kTypeLocked = 0x40;
constexpr uint8_t kTypeClosed = 0x80;
constexpr uint8_t kPad = 0xA0;

// Kind 5 is the 1581's partition type; 6 and 7 are unused.
constexpr std::string_view kKindNames[] = {"DEL", "SEQ", "PRG", "USR", "REL", "CBM", "???", "???"};

FileType KindOfTypeByte(uint8_t type_byte) {
  const int kind = type_byte & kTypeKindMask;
  return kind <= static_cast<int>(FileType::Rel) ? static_cast<FileType>(kind) : FileType::Unspecified;
}

uint8_t* WritableEntry(D64Image& image, SectorPosition pos) {
  uint8_t* sector = image.WritableSectorAt(pos.ts);
  if (sector == nullptr || pos.offset > 256 - kEntrySize) return nullptr;
  return sector + pos.offset;
}

void SetContents(uint8_t* e, FileType kind, TrackSector start, uint16_t blocks) {
  e[kEntryType] = static_cast<uint8_t>(static_cast<int>(kind) | kTypeClosed);
  e[kEntryStart] = start.track;
  e[kEntryStart + 1] = start.sector;
  // A reused entry must not keep the side sectors or GEOS data of another file.
  std::fill(e + kEntrySideSector, e + kEntryBlocks, 0);
  e[kEntryBlocks] = static_cast<uint8_t>(blocks & 0xFF);
  e[kEntryBlocks + 1] = static_cast<uint8_t>(blocks >> 8);
}

DirEntry ReadDirEntry(const D64Image& image, SectorPosition pos) {
  DirEntry entry;
  entry.pos = pos;
  const uint8_t* e = image.PositionAt(pos);
  if (e == nullptr) return entry;
  entry.type_byte = e[kEntryType];
  entry.kind = KindOfTypeByte(entry.type_byte);
  entry.locked = (entry.type_byte & kTypeLocked) != 0;
  entry.closed = (entry.type_byte & kTypeClosed) != 0;
  entry.start = {e[kEntryStart], e[kEntryStart + 1]};
  entry.side_sectors = {e[kEntrySideSector], e[kEntrySideSector + 1]};
  entry.record_length = e[kEntryRecordLength];
  entry.blocks = static_cast<uint16_t>(e[kEntryBlocks] | (e[kEntryBlocks + 1] << 8));
  std::copy_n(e + kEntryName, kNameLength, entry.stored_name.begin());
  const auto end = std::find(entry.stored_name.begin(), entry.stored_name.end(), static_cast<char>(kPad));
  entry.name.assign(entry.stored_name.begin(), end);
  return entry;
}

}  // namespace

bool ReadDirectory(const D64Image& image, std::vector<DirEntry>& entries) {
  entries.clear();
  std::vector<SectorPosition> positions;
  if (!image.DirectoryPositions(positions)) return false;
  entries.reserve(positions.size());
  for (SectorPosition pos : positions) {
    if (image.PositionAt(pos)[2] == 0) continue;  // most of a directory is unused
    DirEntry entry = ReadDirEntry(image, pos);
    if (entry.type_byte == 0) continue;
    entry.index = static_cast<int>(entries.size()) + 1;
    entries.push_back(std::move(entry));
  }
  return true;
}

std::optional<DirEntry> FindDirEntry(const std::vector<DirEntry>& entries, const D64FileSpec& spec) {
  if (spec.position > 0) {
    if (static_cast<size_t>(spec.position) > entries.size()) return std::nullopt;
    return entries[spec.position - 1];
  }
  for (const DirEntry& entry : entries) {
    if (spec.kind_given && entry.kind != spec.kind) continue;
    if (MatchesPattern(spec.petscii, entry.name)) return entry;
  }
  return std::nullopt;
}

std::string_view KindName(uint8_t type_byte) { return kKindNames[type_byte & kTypeKindMask]; }

void FillDirEntry(D64Image& image, SectorPosition pos, std::string_view petscii_name, FileType kind,
                  TrackSector start, uint16_t blocks) {
  uint8_t* e = WritableEntry(image, pos);
  if (e == nullptr) return;
  std::fill_n(e + kEntryName, kNameLength, kPad);
  std::copy_n(petscii_name.begin(), std::min(petscii_name.size(), kNameLength), e + kEntryName);
  SetContents(e, kind, start, blocks);
}

void RefillDirEntry(D64Image& image, SectorPosition pos, FileType kind, TrackSector start, uint16_t blocks) {
  if (uint8_t* e = WritableEntry(image, pos)) SetContents(e, kind, start, blocks);
}

void RenameDirEntry(D64Image& image, SectorPosition pos, std::string_view petscii_name) {
  uint8_t* e = WritableEntry(image, pos);
  if (e == nullptr) return;
  std::fill_n(e + kEntryName, kNameLength, kPad);
  std::copy_n(petscii_name.begin(), std::min(petscii_name.size(), kNameLength), e + kEntryName);
}

void ClearDirEntry(D64Image& image, SectorPosition pos) {
  if (uint8_t* e = WritableEntry(image, pos)) e[kEntryType] = 0;
}

std::vector<FreeMarkedSectors> ClaimUsedSectors(D64Image& image, const std::vector<DirEntry>& entries) {
  std::vector<FreeMarkedSectors> claims;
  auto claim = [&image](const std::vector<TrackSector>& sectors) {
    int marked = 0;
    for (TrackSector ts : sectors) {
      if (!image.IsFree(ts)) continue;
      image.MarkUsed(ts);
      ++marked;
    }
    return marked;
  };
  std::vector<TrackSector> directory;
  image.DirectoryChain(directory);
  const DiskFormat& format = image.Layout();
  directory.insert(directory.begin(), format.SystemSectors().begin(), format.SystemSectors().end());
  for (const BamRun& run : format.BamRuns()) directory.push_back(run.map_sector);
  if (const int n = claim(directory)) claims.push_back({true, "", n});
  for (const DirEntry& entry : entries) {
    // A broken chain is held as far as it can be followed.
    std::vector<TrackSector> sectors = image.Chain(entry.start).sectors;
    if (entry.kind == FileType::Rel) {
      const std::vector<TrackSector> side = image.Chain(entry.side_sectors).sectors;
      sectors.insert(sectors.end(), side.begin(), side.end());
    }
    if (const int n = claim(sectors)) claims.push_back({false, entry.name, n});
  }
  return claims;
}

}  // namespace vantrel
