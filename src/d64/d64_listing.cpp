#include "d64/d64_listing.h"

#include "d64/c64_names.h"
#include "text/text_ops.h"

namespace vantrel {

namespace {

constexpr uint8_t kPad = 0xA0;
constexpr int kDiskIdAt = 18;  // from the name: 16 bytes, $A0 $A0, then the id, $A0 and DOS type

// A shifted space shows as a blank.
std::string Shown(std::string_view petscii) {
  std::string text;
  for (char c : petscii) text += static_cast<uint8_t>(c) == kPad ? std::string(" ") : TypedFromPetscii({&c, 1});
  return text;
}

// The drive sends 17 cells after the opening quote: the name bytes with the
// first $A0 turned into the closing quote (what follows it still shows, as
// in "start",8,1), and a last cell that holds the quote when the name has
// no $A0.
std::string EntryLine(const DirEntry& entry) {
  std::string line = std::to_string(entry.blocks) + " ";
  for (int limit : {10, 100, 1000})
    if (entry.blocks < limit) line += ' ';
  // Appended piece by piece: g++ 12 warns falsely on "literal" + std::string.
  line += '"';
  line += TypedFromPetscii(entry.name);
  line += '"';
  const bool padded = entry.name.size() < entry.stored_name.size();
  if (padded) {
    const std::string_view field(entry.stored_name.data(), entry.stored_name.size());
    line += Shown(field.substr(entry.name.size() + 1)) + " ";
  }
  line += entry.closed ? " " : "*";
  line += Shown(KindName(entry.type_byte));
  if (entry.locked) line += "<";
  return line;
}

}  // namespace

std::string ListingLines(const std::vector<DirEntry>& entries) {
  std::string text;
  for (const DirEntry& entry : entries) text += std::string(TrimView(EntryLine(entry))) + "\n";
  return text;
}

std::string ListingHeader(std::string_view name, std::string_view id) {
  std::string line = "0 \"";
  line += Shown(name);
  line += "\" ";
  line += Shown(id);
  return std::string(TrimView(line)) += "\n";
}

std::string DirectoryListing(const D64Image& image, const std::vector<DirEntry>& entries) {
  const auto* name = reinterpret_cast<const char*>(image.Header() + image.Layout().name_offset);
  return ListingHeader({name, 16}, {name + kDiskIdAt, 5}) + ListingLines(entries) +
         std::to_string(image.ReportedFreeBlocks()) + " " + Shown("BLOCKS FREE.") + "\n";
}

}  // namespace vantrel
