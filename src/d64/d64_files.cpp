#include "d64/d64_files.h"

#include <algorithm>
#include <filesystem>
#include <optional>

#include "d64/c64_names.h"
#include "d64/image_lock.h"
#include "d64/t64_archive.h"
#include "text/text_ops.h"

namespace vantrel {

namespace {

// Built with += : g++ 12 warns falsely on "literal" + std::string here.
std::string Concat(std::string_view head, std::string_view tail) {
  std::string text(head);
  text += tail;
  return text;
}

// "d64", "d71", "d81": what messages call the image, as its name does.
std::string ImageWord(const std::string& path) { return LowerCopy(HiPath(path).Extension()); }

bool CheckImageType(MsgLog& log, const std::string& path) {
  if (IsTapeArchivePath(path))
    return log.ReportError("T64 archive " + path + " can't be changed: save to a .d64, .d71 or .d81 image");
  if (!IsDiskImageExtension(HiPath(path).Extension())) return log.ReportError("d64 image type not specified");
  return true;
}

bool ReadImage(MsgLog& log, D64Image& image, const std::string& path, bool read_only) {
  const std::string word = ImageWord(path);
  switch (image.ReadImageFile(path, read_only)) {
    case ImageFileStatus::NotFound:
      return log.ReportError(word + " image not found: " + path);
    case ImageFileStatus::Unreadable:
      return log.ReportError(Concat("Error loading ", word) + " image " + path + ": the file can't be read");
    case ImageFileStatus::WrongSize:
      return log.ReportError(Concat("Error loading ", word) + " image " + path + ": its size fits no ." + word +
                             " image (" + KnownSizes(word) + " bytes)");
    case ImageFileStatus::Ok:
      break;
  }
  return log.ReportInfo(Concat("Loading ", word) + " image " + path);
}

// A new image has the format its extension names, in its standard size.
bool CreateImage(MsgLog& log, D64Image& image, const std::string& path, std::string_view disk_id) {
  log.ReportInfo("Image file not found; creating new one");
  image = D64Image(*NewImageFormat(HiPath(path).Extension()));
  const std::string name = PetsciiFromTyped(LowerCopy(HiPath(path).FileName()));
  if (!image.Format(name, disk_id)) return log.ReportError("Could not format the disk");
  return true;
}

void ReportClaims(MsgLog& log, const std::string& path, const std::vector<FreeMarkedSectors>& claims) {
  for (const FreeMarkedSectors& claim : claims) {
    const std::string owner = claim.directory ? std::string("the directory") : Concat("file ", QuotedName(claim.file_name));
    log.ReportWarning(Concat("The BAM of ", path) + " shows " + CountOf(claim.count, "sector") + " of " + owner +
                      " as free; " + (claim.count == 1 ? "it is" : "they are") + " marked used");
  }
}

void ReportRecount(MsgLog& log, const std::string& path, const std::vector<int>& tracks) {
  if (tracks.empty()) return;
  std::string list;
  for (int track : tracks) list += (list.empty() ? "" : ", ") + std::to_string(track);
  log.ReportWarning(Concat("The BAM of ", path) + " gives wrong free counts for " +
                    (tracks.size() == 1 ? "track " : "tracks ") + list + "; they are set from its bitmaps");
}

// A file chain may not run past what C64 memory holds (plus a PRG's address).
size_t MaxFileBytes(FileType kind) { return ProgramFile::kMaxSize + (kind == FileType::Prg ? 2 : 0); }

std::string DiskFull(size_t needed, int free) {
  return "Disk full: " + CountOf(needed, "block") + " needed, " + std::to_string(free) + " free";
}

// Writes the file's blocks in the 1541's order; empty on success, else why not.
std::string WriteBlocks(D64Image& image, const std::vector<uint8_t>& bytes, TrackSector& start, uint16_t& blocks) {
  const size_t needed = (bytes.size() + kBytesPerBlock - 1) / kBytesPerBlock;
  const int free = image.FreeBlocks();
  if (static_cast<size_t>(free) < needed) return DiskFull(needed, free);
  const std::vector<TrackSector> sectors = image.AllocateFileSectors(static_cast<int>(needed));
  if (sectors.size() != needed || !image.WriteChainData(sectors, bytes)) return DiskFull(needed, free);
  start = sectors.front();
  blocks = static_cast<uint16_t>(needed);
  return {};
}

std::optional<DirEntry> FirstNamed(const std::vector<DirEntry>& entries, std::string_view petscii,
                                   std::optional<FileType> kind) {
  for (const DirEntry& entry : entries)
    if (entry.name == petscii && (!kind || entry.kind == *kind)) return entry;
  return std::nullopt;
}

// The first file the name (or pattern) would match if letter case did not count.
std::optional<DirEntry> OtherCase(const std::vector<DirEntry>& entries, std::string_view petscii) {
  const std::string folded = FoldedLetters(petscii);
  for (const DirEntry& entry : entries)
    if (!MatchesPattern(petscii, entry.name) && MatchesPattern(folded, FoldedLetters(entry.name))) return entry;
  return std::nullopt;
}

std::string LetterCaseHint(const DirEntry& other) {
  return Concat("Did you mean ", QuotedName(other.name)) +
         "? Letter case counts: a-z are the letters a C64 shows after power-up, A-Z their shifted forms";
}

std::string NoFileAt(int32_t position) {
  return "No file at place " + std::to_string(position) + " of the directory";
}

std::string TypeMismatch(const DirEntry& entry) {
  return Concat("File type mismatch: it is a ", KindName(entry.type_byte)) + " file";
}

struct Outcome {
  bool ok = false;
  std::string text;
};

Outcome Refused(std::string text) { return {false, std::move(text)}; }

Outcome ReplaceFile(D64Image& image, const DirEntry& target, FileType kind, const std::vector<uint8_t>& bytes) {
  if (target.locked) return Refused("File is locked");
  if (target.kind != kind) return Refused(TypeMismatch(target));
  const D64Image before = image;
  FreeFile(image, target);
  TrackSector start;
  uint16_t blocks = 0;
  const std::string failure = WriteBlocks(image, bytes, start, blocks);
  if (!failure.empty()) {
    image = before;
    return Refused(failure);
  }
  RefillDirEntry(image, target.pos, kind, start, blocks);
  return {true, "Replaced"};
}

// Room is checked before anything changes, so a refusal leaves the image as it was.
Outcome AddFile(D64Image& image, std::string_view name, FileType kind, const std::vector<uint8_t>& bytes) {
  const size_t needed = (bytes.size() + kBytesPerBlock - 1) / kBytesPerBlock;
  if (static_cast<size_t>(image.FreeBlocks()) < needed) return Refused(DiskFull(needed, image.FreeBlocks()));
  const std::optional<SectorPosition> pos = image.FreeDirectoryEntry();
  if (!pos) return Refused("Directory is full");
  TrackSector start;
  uint16_t blocks = 0;
  const std::string failure = WriteBlocks(image, bytes, start, blocks);
  if (!failure.empty()) return Refused(failure);
  FillDirEntry(image, *pos, name, kind, start, blocks);
  return {true, "Ok"};
}

// The outcome that follows "Saving NAME: ".
Outcome PutOutcome(MsgLog& log, D64Image& image, const D64FileSpec& spec, const std::vector<uint8_t>& bytes) {
  const bool replace = spec.command == DiskCommand::Replace;
  if (spec.position > 0 && !replace) return Refused("#N selects a file by its place: replace it with @:#N");
  if (spec.position == 0) {
    const std::string refusal = NewNameRefusal(spec.petscii);
    if (!refusal.empty()) return Refused(refusal);
  }
  // A REL file needs side sectors, which are not written: without them
  // the entry would be a broken file.
  if (spec.kind == FileType::Rel) return Refused("REL files can't be written");
  if (bytes.empty()) return Refused("The file is empty");
  std::vector<DirEntry> entries;
  if (!ReadDirectory(image, entries)) return Refused(BrokenDirectoryText());
  // Like the 1541, no second file of a name, whatever its kind; a replace
  // takes the first file of the name and kind, which is the one it loads.
  if (spec.position > 0) {
    const std::optional<DirEntry> target = FindDirEntry(entries, spec);
    if (!target) return Refused(NoFileAt(spec.position));
    return ReplaceFile(image, *target, spec.kind, bytes);
  }
  if (replace) {
    if (const auto target = FirstNamed(entries, spec.petscii, spec.kind))
      return ReplaceFile(image, *target, spec.kind, bytes);
  }
  if (const auto other = FirstNamed(entries, spec.petscii, std::nullopt)) {
    if (!replace) return Refused(kNameTakenText);
    return Refused(TypeMismatch(*other));
  }
  Outcome outcome = AddFile(image, spec.petscii, spec.kind, bytes);
  for (const DirEntry& other : entries) {
    if (!outcome.ok || !SameLettersAnyCase(other.name, spec.petscii)) continue;
    log.ReportWarning(LetterCaseHint(other));
    break;
  }
  return outcome;
}

bool ReportNotFound(MsgLog& log, const std::vector<DirEntry>& entries, const D64FileSpec& spec) {
  if (spec.position > 0) {
    return log.ReportError(NoFileAt(spec.position) + ", which lists " + std::to_string(entries.size()));
  }
  log.ReportError(NotFoundText(spec.petscii));
  if (const auto other = OtherCase(entries, spec.petscii)) log.ReportInfo(LetterCaseHint(*other));
  else if (const auto named = FirstNamed(entries, spec.petscii, std::nullopt))
    log.ReportInfo(Concat(QuotedName(named->name), " is a ") + std::string(KindName(named->type_byte)) + " file");
  return false;
}

}  // namespace

std::string BrokenDirectoryText() { return "The directory chain loops or leaves the directory track"; }

std::string ReadOnlyImageText() { return "D64 image is read-only"; }

bool ReadDirectoryOrReport(MsgLog& log, const D64Image& image, std::vector<DirEntry>& entries) {
  if (ReadDirectory(image, entries)) return true;
  return log.ReportError(Concat("Error loading ", image.Layout().extension) + " image: " + BrokenDirectoryText());
}

bool OpenForReading(MsgLog& log, const std::string& path, D64Image& image) {
  return CheckImageType(log, path) && ReadImage(log, image, path, true);
}

std::string ChainReadReason(ChainRead status) {
  switch (status) {
    case ChainRead::Ok:
      break;
    case ChainRead::BadLink:
      return "a sector link points off the disk";
    case ChainRead::Loop:
      return "its sector chain loops";
    case ChainRead::BadEnd:
      return "its last sector has no valid byte count";
    case ChainRead::TooLong:
      return "it is larger than C64 memory";
  }
  return {};
}

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

void FreeFile(D64Image& image, const DirEntry& entry) {
  // Freeing stops at a bad link or a loop; what the walk reached is freed.
  image.FreeSectors(image.Chain(entry.start).sectors, false);
  if (entry.kind == FileType::Rel) image.FreeSectors(image.Chain(entry.side_sectors).sectors, false);
}

namespace {

// The number the drive's error channel gives for an image error byte
// (codes 2-11 are errors 20-29, code 15 is 74).
int DriveErrorNumber(uint8_t code) { return code == 0x0F ? 74 : code + 18; }

std::string SectorList(const D64Image& image, const std::vector<TrackSector>& sectors) {
  std::string text;
  for (TrackSector ts : sectors) {
    text += text.empty() ? "" : ", ";
    text += "track " + std::to_string(ts.track) + " sector " + std::to_string(ts.sector) + " (" +
            std::to_string(DriveErrorNumber(image.ErrorCode(ts))) + " READ ERROR)";
  }
  return text;
}

}  // namespace

bool CheckReadErrors(MsgLog& log, const D64Image& image, const DirEntry& entry, bool error_stops) {
  if (!image.HasErrorBytes()) return true;
  const SectorErrors errors = image.ErrorsIn(image.Chain(entry.start).sectors);
  const std::string name = QuotedName(entry.name);
  if (!errors.flagged.empty())
    log.ReportWarning(Concat("File ", name) + ": the drive reports " + SectorList(image, errors.flagged) +
                      "; the bytes are taken as the image holds them");
  if (errors.unreadable.empty()) return true;
  const std::string text = Concat("File ", name) + ": the drive can't read " + SectorList(image, errors.unreadable);
  return error_stops ? log.ReportError(text) : (log.ReportWarning(text + "; not extracted"), false);
}

bool LoadFile(MsgLog& log, const D64Image& image, const D64FileSpec& spec, ProgramFile& out) {
  if (spec.name.empty()) return log.ReportError(kNoFilenameText);
  std::vector<DirEntry> entries;
  if (!ReadDirectoryOrReport(log, image, entries)) return false;
  const bool pattern = spec.position == 0 && HasWildcards(spec.petscii);
  if (pattern) log.ReportInfo(Concat("Searching for ", spec.name));
  const std::optional<DirEntry> entry = FindDirEntry(entries, spec);
  if (!entry) return ReportNotFound(log, entries, spec);
  const std::string shown = TypedFromPetscii(entry->name);
  if (pattern) log.ReportInfo(Concat("Found ", shown));
  if (!CheckReadErrors(log, image, *entry, true)) return false;
  std::vector<uint8_t> bytes;
  const ChainRead read = image.ReadChainData(entry->start, MaxFileBytes(entry->kind), bytes);
  if (read != ChainRead::Ok) return log.ReportError(Concat("Could not load file: ", shown) + ": " + ChainReadReason(read));
  out.Clear();
  out.name = shown;
  out.type = entry->kind;
  out.load_address_pending = entry->kind == FileType::Prg;
  if (entry->kind == FileType::Rel) {
    out.record_length = entry->record_length;
    if (entry->record_length != 0) out.record_count = static_cast<uint16_t>(bytes.size() / entry->record_length);
  }
  out.SetData(std::move(bytes));
  return log.ReportInfo(Concat("Loaded: ", shown));
}

bool PutFile(MsgLog& log, D64Image& image, const D64FileSpec& spec, const std::vector<uint8_t>& bytes) {
  if (image.ReadOnly()) return log.ReportError(ReadOnlyImageText());
  if (spec.name.empty()) return log.ReportError(kNoFilenameText);
  const Outcome outcome = PutOutcome(log, image, spec, bytes);
  const std::string text = Concat("Saving ", spec.name) + ": " + outcome.text;
  return outcome.ok ? log.ReportInfo(text) : log.ReportError(text);
}

std::string ResolveImagePath(const D64FileSpec& spec) {
  for (const HiPath& path : ImagePathCandidates(spec)) {
    if (RegularFileExists(path.Text())) return path.Text();
  }
  return spec.image_path.Text();
}

bool LoadFromImage(MsgLog& log, const std::string& image_path, const D64FileSpec& spec, ProgramFile& out) {
  if (IsTapeArchivePath(image_path)) return LoadFromTape(log, image_path, spec, out);
  D64Image image;
  return OpenForReading(log, image_path, image) && LoadFile(log, image, spec, out);
}

bool LoadFromImage(MsgLog& log, std::string_view text, ProgramFile& out) {
  D64FileSpec spec;
  return ParseImageSpec(log, text, spec) && LoadFromImage(log, ResolveImagePath(spec), spec, out);
}

bool OpenForChange(MsgLog& log, OutputSet& out, const std::string& path, std::string_view disk_id,
                   ImageForChange& opened) {
  opened.path = path;
  if (!CheckImageType(log, path)) return false;
  std::unique_ptr<ImageLock> lock = ImageLock::Acquire(log, path);
  if (!lock) return false;
  out.Hold(std::move(lock));
  opened.existed = RegularFileExists(path);
  if (!opened.existed) return CreateImage(log, opened.image, path, disk_id);
  if (!ReadImage(log, opened.image, path, false)) return false;
  if (opened.image.ReadOnly()) return true;  // every change is refused later, with its reason
  std::vector<DirEntry> entries;
  if (!ReadDirectory(opened.image, entries)) return true;  // the change reports it
  ReportClaims(log, path, ClaimUsedSectors(opened.image, entries));
  ReportRecount(log, path, opened.image.RecountBam());
  return true;
}

// An image read from an existing file replaces it; a new one is only put
// in place when no file of its name has appeared meanwhile.
bool StageImage(MsgLog& log, OutputSet& out, ImageForChange& opened, bool replace_existing) {
  const std::string& path = opened.path;
  if (opened.existed && !replace_existing) return log.ReportError("d64 exists");
  const std::string failure = Concat("Error saving d64 file ", path);
  if (opened.image.ReadOnly()) return log.ReportError(failure + ": the image file is read-only");
  // An image is read, changed and written back: a device or a pipe cannot be one.
  std::error_code ec;
  if (std::filesystem::exists(path, ec) && !RegularFileExists(path))
    return log.ReportError(failure + ": Not a regular file");
  opened.image.RecountBam();
  if (!out.Add(log, path, opened.image.TakeBytes(), {failure, failure}, opened.existed)) return false;
  return log.ReportInfo(Concat("Writing d64 file ", path));
}

bool SaveToImage(MsgLog& log, OutputSet& out, const std::string& image_path, const D64FileSpec& spec,
                 const ProgramFile& file, std::string_view disk_id) {
  ImageForChange opened;
  if (!OpenForChange(log, out, image_path, disk_id, opened)) return false;
  if (!PutFile(log, opened.image, spec, ImageFileBytes(file, spec.kind))) return false;
  if (!opened.image.Modified()) return true;
  return StageImage(log, out, opened, out.Overwrite());
}

bool SaveToImage(MsgLog& log, OutputSet& out, std::string_view text, const ProgramFile& file,
                 std::string_view disk_id) {
  D64FileSpec spec;
  return ParseImageSpec(log, text, spec) && SaveToImage(log, out, ResolveImagePath(spec), spec, file, disk_id);
}

}  // namespace vantrel
