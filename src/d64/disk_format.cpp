#include "d64/disk_format.h"

#include <bit>

#include "text/text_ops.h"

namespace vantrel {

namespace {

constexpr int kExtraTracksFirst = 36;
constexpr int kExtraTracks = 5;

// A 40-track BAM extension holds, for each of tracks 36-40, a free count
// that matches its bitmap of 17 sectors; unused bytes are all zero.
bool HoldsExtraBam(const uint8_t* bam_sector, int offset) {
  bool any = false;
  for (int i = 0; i < kExtraTracks; ++i) {
    const uint8_t* entry = bam_sector + offset + 4 * i;
    const uint32_t bits = entry[1] | (entry[2] << 8) | (entry[3] << 16);
    const int sectors = SectorsOnTrack(kExtraTracksFirst + i);
    if (bits >> sectors != 0 || entry[0] != std::popcount(bits)) return false;
    any = any || entry[0] != 0;
  }
  return any;
}

// The 40-track variants share one size; the BAM tells them apart.
bool ChosenBySize(const DiskFormat& format) {
  return format.id != FormatId::D64Speed40 && format.id != FormatId::D64Dolphin40;
}

}  // namespace

bool IsDiskImageExtension(std::string_view extension) {
  for (const DiskFormat& format : kFormats)
    if (EqualsNoCase(extension, format.extension)) return true;
  return false;
}

std::optional<ImageKind> KindFromSize(std::string_view extension, size_t size) {
  for (const DiskFormat& format : kFormats) {
    if (!EqualsNoCase(extension, format.extension) || !ChosenBySize(format)) continue;
    for (bool error_bytes : {false, true})
      if (ImageSize(format, error_bytes) == size) return ImageKind{&format, error_bytes};
  }
  return std::nullopt;
}

const DiskFormat* NewImageFormat(std::string_view extension) {
  for (const DiskFormat& format : kFormats)
    if (EqualsNoCase(extension, format.extension)) return &format;
  return nullptr;
}

std::string KnownSizes(std::string_view extension) {
  std::string text;
  for (const DiskFormat& format : kFormats) {
    if (!EqualsNoCase(extension, format.extension) || !ChosenBySize(format)) continue;
    for (bool error_bytes : {false, true})
      text += (text.empty() ? "" : ", ") + std::to_string(ImageSize(format, error_bytes));
  }
  return text;
}

FormatId FortyTrackVariant(const uint8_t* bam_sector) {
  for (FormatId id : {FormatId::D64Speed40, FormatId::D64Dolphin40})
    if (HoldsExtraBam(bam_sector, FormatOf(id).bam[1].count_offset)) return id;
  return FormatId::D64Plain40;
}

}  // namespace vantrel
