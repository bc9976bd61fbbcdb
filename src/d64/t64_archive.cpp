#include "d64/t64_archive.h"

#include <algorithm>

#include "d64/c64_names.h"
#include "d64/d64_listing.h"
#include "text/hi_path.h"
#include "text/input_file.h"
#include "text/text_ops.h"

namespace vantrel {

namespace {

// T64 layout (as the C64S emulator defined it): a 64-byte header with the
// signature, version, directory size and used count, and tape name; then
// 32-byte directory slots: entry type, C64 file type, start and end
// address, data offset, and a 16-byte name padded with blanks.
constexpr size_t kHeaderSize = 64;
constexpr size_t kSlotSize = 32;
constexpr size_t kUsedCount = 0x24;
constexpr size_t kTapeName = 0x28;
constexpr size_t kTapeNameLength = 24;
constexpr size_t kSlotType = 0x00;
constexpr size_t kSlotFileType = 0x01;
constexpr size_t kSlotStart = 0x02;
constexpr size_t kSlotEnd = 0x04;
constexpr size_t kSlotOffset = 0x08;
constexpr size_t kSlotName = 0x10;
constexpr size_t kNameLength = 16;
constexpr uint8_t kPad = 0xA0;
// The whole archive is read; real ones hold a few hundred KiB at most.
constexpr size_t kMaxArchiveSize = 16u << 20;

uint16_t Word(const std::vector<uint8_t>& b, size_t at) { return static_cast<uint16_t>(b[at] | (b[at + 1] << 8)); }

uint32_t Long(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}

// Writers pad names with blanks or shifted blanks; neither is part of the name.
DirEntry EntryOf(const uint8_t* name_field, uint8_t file_type, int index) {
  DirEntry entry;
  std::string name(reinterpret_cast<const char*>(name_field), kNameLength);
  while (!name.empty() && (name.back() == ' ' || static_cast<uint8_t>(name.back()) == kPad)) name.pop_back();
  entry.name = name.substr(0, name.find(static_cast<char>(kPad)));
  entry.stored_name.fill(static_cast<char>(kPad));
  std::copy(name.begin(), name.end(), entry.stored_name.begin());
  // Many archives store 0 or 1 for a program; only a closed-file byte names a kind.
  entry.type_byte = (file_type & 0x80) != 0 && (file_type & 0x07) <= 4 ? file_type : 0x82;
  entry.kind = static_cast<FileType>(entry.type_byte & 0x07);
  entry.closed = true;
  entry.index = index;
  return entry;
}

std::string Hex4(uint16_t value) {
  constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text = "$";
  for (int shift = 12; shift >= 0; shift -= 4) text += kDigits[(value >> shift) & 0xF];
  return text;
}

// Slots run until the data of the first file begins, whatever the header
// says the directory holds; an unused slot has entry type 0.
void ReadSlots(const std::vector<uint8_t>& b, TapeArchive& archive, std::vector<size_t>& ends) {
  size_t data_start = b.size();
  for (size_t at = kHeaderSize; at + kSlotSize <= data_start; at += kSlotSize) {
    const uint32_t offset = Long(b, at + kSlotOffset);
    if (b[at + kSlotType] == 0 || offset < at + kSlotSize || offset >= b.size()) continue;
    data_start = std::min<size_t>(data_start, offset);
    TapeFile file;
    file.start = Word(b, at + kSlotStart);
    file.offset = offset;
    file.entry = EntryOf(&b[at + kSlotName], b[at + kSlotFileType], static_cast<int>(archive.files.size()) + 1);
    archive.files.push_back(file);
    ends.push_back(Word(b, at + kSlotEnd));
  }
}

// A file's data ends where the next file's begins (or the archive ends);
// an end address beyond that is a known fault of old converters.
void SetLengths(MsgLog& log, const std::string& path, TapeArchive& archive, const std::vector<size_t>& ends) {
  for (size_t i = 0; i < archive.files.size(); ++i) {
    TapeFile& file = archive.files[i];
    size_t limit = archive.bytes.size();
    for (const TapeFile& other : archive.files)
      if (other.offset > file.offset) limit = std::min(limit, other.offset);
    const size_t available = limit - file.offset;
    const size_t claimed = ends[i] > file.start ? ends[i] - file.start : 0;
    file.length = claimed != 0 && claimed <= available ? claimed : available;
    // Blocks as on a disk: the load address and the data.
    file.entry.blocks = static_cast<uint16_t>((file.length + 2 + kBytesPerBlock - 1) / kBytesPerBlock);
    if (file.length == claimed) continue;
    log.ReportWarning("T64 archive " + path + ": file " + QuotedName(file.entry.name) + " gives the end address " +
                      Hex4(static_cast<uint16_t>(ends[i])) + ", but its data holds " + CountOf(available, "byte") +
                      "; those are taken");
  }
}

}  // namespace

bool IsTapeArchivePath(const std::string& path) { return EqualsNoCase(HiPath(path).Extension(), "t64"); }

bool ParseTapeArchive(MsgLog& log, const std::string& path, std::vector<uint8_t> bytes, TapeArchive& archive) {
  const std::string what = "Error loading t64 archive " + path + ": ";
  if (bytes.size() < kHeaderSize) return log.ReportError(what + "it is shorter than a T64 header (64 bytes)");
  if (bytes[0] != 'C' || bytes[1] != '6' || bytes[2] != '4') return log.ReportError(what + "no T64 signature");
  archive = TapeArchive();
  archive.bytes = std::move(bytes);
  const std::vector<uint8_t>& b = archive.bytes;
  archive.tape_name.assign(b.begin() + kTapeName, b.begin() + kTapeName + kTapeNameLength);
  std::vector<size_t> ends;
  ReadSlots(b, archive, ends);
  const uint16_t used = Word(b, kUsedCount);
  if (used != archive.files.size())
    log.ReportWarning("T64 archive " + path + ": the header counts " + CountOf(used, "file") + ", the directory holds " +
                      std::to_string(archive.files.size()));
  SetLengths(log, path, archive, ends);
  return log.ReportInfo("Loading t64 archive " + path);
}

bool ReadTapeArchive(MsgLog& log, const std::string& path, TapeArchive& archive) {
  std::string content;
  switch (ReadInputFile(path, kMaxArchiveSize, content)) {
    case ReadStatus::Ok:
      break;
    case ReadStatus::Missing:
      return log.ReportError("t64 archive not found: " + path);
    case ReadStatus::TooLarge:
      return log.ReportError("Error loading t64 archive " + path + ": larger than any tape holds");
    case ReadStatus::Failed:
      return log.ReportError("Error loading t64 archive " + path + ": the file can't be read");
  }
  return ParseTapeArchive(log, path, std::vector<uint8_t>(content.begin(), content.end()), archive);
}

std::vector<uint8_t> TapeFileBytes(const TapeArchive& archive, const TapeFile& file) {
  std::vector<uint8_t> bytes(2 + file.length);
  bytes[0] = static_cast<uint8_t>(file.start & 0xFF);
  bytes[1] = static_cast<uint8_t>(file.start >> 8);
  std::copy_n(archive.bytes.begin() + static_cast<long>(file.offset), file.length, bytes.begin() + 2);
  return bytes;
}

bool LoadFromTape(MsgLog& log, const std::string& path, const D64FileSpec& spec, ProgramFile& out) {
  TapeArchive archive;
  if (!ReadTapeArchive(log, path, archive)) return false;
  if (spec.name.empty()) return log.ReportError(kNoFilenameText);
  std::vector<DirEntry> entries;
  for (const TapeFile& file : archive.files) entries.push_back(file.entry);
  const std::optional<DirEntry> entry = FindDirEntry(entries, spec);
  if (!entry) return log.ReportError(NotFoundText(spec.petscii));
  const TapeFile& file = archive.files[static_cast<size_t>(entry->index - 1)];
  const std::string shown = TypedFromPetscii(entry->name);
  out.Clear();
  out.name = shown;
  out.type = entry->kind;
  std::vector<uint8_t> bytes = TapeFileBytes(archive, file);
  // Only a program keeps its load address in front.
  out.load_address_pending = entry->kind == FileType::Prg;
  if (!out.load_address_pending) bytes.erase(bytes.begin(), bytes.begin() + 2);
  out.SetData(std::move(bytes));
  return log.ReportInfo("Loaded: " + shown);
}

std::string TapeListing(const TapeArchive& archive) {
  std::vector<DirEntry> entries;
  for (const TapeFile& file : archive.files) entries.push_back(file.entry);
  std::string name = archive.tape_name.substr(0, kNameLength);
  while (!name.empty() && (name.back() == ' ' || name.back() == '\0')) name.pop_back();
  name.resize(kNameLength, static_cast<char>(kPad));
  return ListingHeader(name, "T64") + ListingLines(entries);
}

}  // namespace vantrel
