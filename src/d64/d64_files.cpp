#include "d64/d64_files.h"

#include <algorithm>
#include <filesystem>
#include <optional>

#include "d64/d64_directory.h"
#include "text/text_ops.h"

namespace vantrel {

namespace {

constexpr size_t kMaxNameLength = 16;

// Built with += : g++ 12 warns falsely on "literal" + std::string here.
std::string Concat(std::string_view head, std::string_view tail) {
  std::string text(head);
  text += tail;
  return text;
}

bool CheckImageType(MsgLog& log, const std::string& path) {
  if (!EqualsNoCase(HiPath(path).Extension(), "d64")) return log.ReportError("d64 image type not specified");
  return true;
}

bool ReadImage(MsgLog& log, D64Image& image, const std::string& path, bool read_only) {
  switch (image.ReadImageFile(path, read_only)) {
    case ImageFileStatus::NotFound:
      return log.ReportError(Concat("d64 image not found: ", path));
    case ImageFileStatus::Unreadable:
      return log.ReportError("Error loading d64 image");
    case ImageFileStatus::Ok:
      break;
  }
  return log.ReportInfo(Concat("Loading d64 image ", path));
}

bool CreateImage(MsgLog& log, D64Image& image, const std::string& path, std::string_view disk_id) {
  log.ReportInfo("Image file not found; creating new one");
  if (!image.Format(UpperCopy(HiPath(path).FileName()), disk_id)) return log.ReportError("Could not format the disk");
  return true;
}

// An image read from an existing file replaces it; a new one is only put
// in place when no file of its name has appeared meanwhile.
bool WriteImage(MsgLog& log, OutputSet& out, const D64Image& image, const std::string& path, bool exists) {
  if (exists && !out.Overwrite()) return log.ReportError("d64 exists");
  const std::string failure = Concat("Error saving d64 file ", path);
  if (image.ReadOnly()) return log.ReportError(failure + ": the image file is read-only");
  // An image is read, changed and written back: a device or a pipe cannot be one.
  std::error_code ec;
  if (std::filesystem::exists(path, ec) && !RegularFileExists(path))
    return log.ReportError(failure + ": Not a regular file");
  std::string bytes(image.Data().begin(), image.Data().end());
  if (!out.Add(log, path, std::move(bytes), {failure, failure}, exists)) return false;
  return log.ReportInfo(Concat("Writing d64 file ", path));
}

// A file chain may not run past what C64 memory holds (plus a PRG's address).
size_t MaxFileBytes(FileType kind) { return ProgramFile::kMaxSize + (kind == FileType::Prg ? 2 : 0); }

bool WriteFileInto(D64Image& image, SectorPosition pos, std::string_view name, FileType kind,
                   const std::vector<uint8_t>& bytes) {
  if (bytes.empty()) return false;
  const size_t blocks = (bytes.size() + kBytesPerBlock - 1) / kBytesPerBlock;
  if (static_cast<size_t>(image.FreeBlocks()) < blocks) return false;
  // The layout order never uses the last track, so the free count alone
  // can promise blocks that cannot be had.
  const std::vector<TrackSector> sectors = image.CollectFreeSectors(static_cast<int>(blocks));
  if (sectors.size() != blocks || !image.WriteChainData(sectors, bytes)) return false;
  FillDirEntry(image, pos, name, kind, sectors.front(), static_cast<uint16_t>(blocks));
  return true;
}

// Freeing stops at a bad link or a loop; what the walk reached is freed.
void FreeFile(D64Image& image, const DirEntry& entry) {
  image.FreeSectors(image.Chain(entry.start).sectors, false);
  ClearDirEntry(image, entry.pos);
}

// The outcome that follows "Saving NAME: "; `ok` tells Info from Error.
const char* PutOutcome(D64Image& image, const D64FileSpec& spec, const std::vector<uint8_t>& bytes, bool& ok) {
  ok = false;
  if (HasWildcards(spec.name)) return "Filename can't contain wildcards";
  // A REL file needs side sectors, which are not written yet: without them
  // the entry would be a broken file.
  if (spec.kind == FileType::Rel) return "Error";
  std::vector<SectorPosition> positions;
  if (!image.DirectoryPositions(positions)) return "Error";
  // Only 16 bytes are stored, so a longer name must find what it stored.
  const std::string name = spec.name.substr(0, kMaxNameLength);
  const std::optional<DirEntry> existing = FindDirEntry(image, positions, name, spec.kind);
  const bool replace = spec.command == DiskCommand::Replace;
  if (existing && !replace) return "A file of this name already exists in the image";
  if (existing && existing->locked) return "File is locked";
  const D64Image before = image;
  if (existing) {
    FreeFile(image, *existing);
    if (!WriteFileInto(image, existing->pos, name, spec.kind, bytes)) {
      image = before;
      return "Error replacing file";
    }
    ok = true;
    return "Replaced";
  }
  const std::optional<SectorPosition> pos = image.FreeDirectoryEntry();
  if (!pos) {
    image = before;
    return "Directory is full";
  }
  if (!WriteFileInto(image, *pos, name, spec.kind, bytes)) {
    image = before;
    return "Error";
  }
  ok = true;
  return "Ok";
}

}  // namespace

std::vector<uint8_t> ImageFileBytes(const ProgramFile& file, FileType kind) {
  const uint8_t* data = file.Data();
  size_t size = file.Size();
  uint16_t address = file.load_address;
  if (file.load_address_pending && size >= 2) {
    address = static_cast<uint16_t>(data[0] | (data[1] << 8));
    data += 2;
    size -= 2;
  }
  const size_t header = kind == FileType::Prg ? 2 : 0;
  std::vector<uint8_t> bytes(header + size);
  if (header != 0) {
    bytes[0] = static_cast<uint8_t>(address & 0xFF);
    bytes[1] = static_cast<uint8_t>(address >> 8);
  }
  std::copy_n(data, size, bytes.begin() + static_cast<long>(header));
  return bytes;
}

bool LoadFile(MsgLog& log, const D64Image& image, const D64FileSpec& spec, ProgramFile& out) {
  if (spec.name.empty()) return log.ReportError("No filename specified");
  std::vector<SectorPosition> positions;
  if (!image.DirectoryPositions(positions)) return log.ReportError("Error loading d64 image");
  std::optional<DirEntry> entry;
  if (HasWildcards(spec.name)) {
    log.ReportInfo(Concat("Searching for ", spec.name));
    entry = FindDirEntry(image, positions, spec.name, spec.kind);
    if (!entry) return log.ReportError("No matching file found");
    log.ReportInfo(Concat("Found ", entry->name));
  } else {
    entry = FindDirEntry(image, positions, spec.name, spec.kind);
    if (!entry) return log.ReportError("File not found");
  }
  std::vector<uint8_t> bytes;
  if (!image.ReadChainData(entry->start, MaxFileBytes(entry->kind), bytes)) {
    return log.ReportError(Concat("Could not load file: ", entry->name));
  }
  out.Clear();
  out.name = entry->name;
  out.type = entry->kind;
  out.load_address_pending = entry->kind == FileType::Prg;
  if (entry->kind == FileType::Rel) {
    out.record_length = entry->record_length;
    if (entry->record_length != 0) out.record_count = static_cast<uint16_t>(bytes.size() / entry->record_length);
  }
  out.SetData(std::move(bytes));
  return log.ReportInfo(Concat("Loaded: ", entry->name));
}

bool PutFile(MsgLog& log, D64Image& image, const D64FileSpec& spec, const std::vector<uint8_t>& bytes) {
  if (image.ReadOnly()) return log.ReportError("D64 image is read-only");
  if (spec.name.empty()) return log.ReportError("No filename specified");
  std::string text = Concat("Saving ", spec.name);
  text += ": ";
  bool ok = false;
  text += PutOutcome(image, spec, bytes, ok);
  return ok ? log.ReportInfo(text) : log.ReportError(text);
}

std::string ResolveImagePath(const D64FileSpec& spec) {
  for (const HiPath& path : ImagePathCandidates(spec)) {
    if (RegularFileExists(path.Text())) return path.Text();
  }
  return spec.image_path.Text();
}

bool LoadFromImage(MsgLog& log, const std::string& image_path, const D64FileSpec& spec, ProgramFile& out) {
  if (!CheckImageType(log, image_path)) return false;
  D64Image image;
  if (!ReadImage(log, image, image_path, true)) return false;
  return LoadFile(log, image, spec, out);
}

bool LoadFromImage(MsgLog& log, std::string_view text, ProgramFile& out) {
  D64FileSpec spec;
  return ParseImageSpec(log, text, spec) && LoadFromImage(log, ResolveImagePath(spec), spec, out);
}

bool SaveToImage(MsgLog& log, OutputSet& out, const std::string& image_path, const D64FileSpec& spec,
                 const ProgramFile& file, std::string_view disk_id) {
  if (!CheckImageType(log, image_path)) return false;
  D64Image image;
  const bool exists = RegularFileExists(image_path);
  if (exists ? !ReadImage(log, image, image_path, false) : !CreateImage(log, image, image_path, disk_id)) {
    return false;
  }
  if (!PutFile(log, image, spec, ImageFileBytes(file, spec.kind))) return false;
  if (!image.Modified()) return true;
  return WriteImage(log, out, image, image_path, exists);
}

bool SaveToImage(MsgLog& log, OutputSet& out, std::string_view text, const ProgramFile& file,
                 std::string_view disk_id) {
  D64FileSpec spec;
  return ParseImageSpec(log, text, spec) && SaveToImage(log, out, ResolveImagePath(spec), spec, file, disk_id);
}

}  // namespace vantrel
