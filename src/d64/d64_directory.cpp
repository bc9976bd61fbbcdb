#include "d64/d64_directory.h"

#include <algorithm>

#include "d64/d64_file_spec.h"
#include "text/text_ops.h"

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

FileType KindOfTypeByte(uint8_t type_byte) {
  const int kind = type_byte & kTypeKindMask;
  return kind <= static_cast<int>(FileType::Rel) ? static_cast<FileType>(kind) : FileType::Unspecified;
}

}  // namespace

DirEntry ReadDirEntry(const D64Image& image, SectorPosition pos) {
  DirEntry entry;
  entry.pos = pos;
  const uint8_t* e = image.PositionAt(pos);
  if (e == nullptr) return entry;
  entry.type_byte = e[kEntryType];
  entry.kind = KindOfTypeByte(entry.type_byte);
  entry.locked = (entry.type_byte & kTypeLocked) != 0;
  entry.start = {e[kEntryStart], e[kEntryStart + 1]};
  entry.record_length = e[kEntryRecordLength];
  entry.blocks = static_cast<uint16_t>(e[kEntryBlocks] | (e[kEntryBlocks + 1] << 8));
  std::string name(reinterpret_cast<const char*>(e + kEntryName), kNameLength);
  std::replace_if(name.begin(), name.end(), [](char c) { return c == '\0' || c == static_cast<char>(kPad); }, ' ');
  entry.name = Trim(name);
  return entry;
}

std::optional<DirEntry> FindDirEntry(const D64Image& image, const std::vector<SectorPosition>& positions,
                                     std::string_view pattern, FileType kind) {
  for (SectorPosition pos : positions) {
    DirEntry entry = ReadDirEntry(image, pos);
    if (entry.type_byte == 0 || entry.kind != kind || HasWildcards(entry.name)) continue;
    if (MatchesPattern(pattern, entry.name)) return entry;
  }
  return std::nullopt;
}

void FillDirEntry(D64Image& image, SectorPosition pos, std::string_view name, FileType kind, TrackSector start,
                  uint16_t blocks) {
  uint8_t* sector = image.WritableSectorAt(pos.ts);
  if (sector == nullptr || pos.offset > 256 - kEntrySize) return;
  uint8_t* e = sector + pos.offset;
  e[kEntryType] = static_cast<uint8_t>(static_cast<int>(kind) | kTypeClosed);
  e[kEntryStart] = start.track;
  e[kEntryStart + 1] = start.sector;
  std::fill_n(e + kEntryName, kNameLength, kPad);
  std::copy_n(name.begin(), std::min(name.size(), kNameLength), e + kEntryName);
  // A reused entry must not keep the side sectors or GEOS data of a scratched file.
  std::fill(e + kEntrySideSector, e + kEntryBlocks, 0);
  e[kEntryBlocks] = static_cast<uint8_t>(blocks & 0xFF);
  e[kEntryBlocks + 1] = static_cast<uint8_t>(blocks >> 8);
}

void ClearDirEntry(D64Image& image, SectorPosition pos) {
  uint8_t* sector = image.WritableSectorAt(pos.ts);
  if (sector != nullptr && pos.offset <= 256 - kEntrySize) sector[pos.offset + kEntryType] = 0;
}

}  // namespace vantrel
