#include "d64/disk_job.h"

#include <functional>
#include <set>

#include "d64/c64_names.h"
#include "d64/d64_directory.h"
#include "d64/d64_file_spec.h"
#include "d64/d64_files.h"
#include "d64/d64_listing.h"
#include "d64/pc64_file.h"
#include "d64/t64_archive.h"
#include "image/program_io.h"
#include "text/hi_path.h"
#include "text/input_file.h"
#include "text/text_ops.h"

namespace vantrel {

namespace {

constexpr const char* kDefaultDiskId = "64";

// -new: "NAME[,ID]", as the drive's N: command; without a name the disk
// is named after the image file. A missing image is made with it; an
// existing one is erased only with -ovr, as any output is replaced.
bool FormatDisk(MsgLog& log, const OutputSet& out, ImageForChange& opened, const std::string& text) {
  const size_t comma = text.find(',');
  std::string name = PetsciiFromTyped(StripPair(text.substr(0, comma), '"', '"'));
  if (name.empty()) name = PetsciiFromTyped(LowerCopy(HiPath(opened.path).FileName()).substr(0, kMaxC64NameLength));
  const std::string id = comma == std::string::npos ? kDefaultDiskId : PetsciiFromTyped(text.substr(comma + 1));
  const std::string what = "Formatting " + opened.path + ": ";
  if (name.size() > kMaxC64NameLength) return log.ReportError(what + "a disk name has 16 characters at most");
  if (id.size() > 2) return log.ReportError(what + "a disk id has 2 characters at most");
  if (opened.existed && !out.Overwrite()) return log.ReportError(what + "the image exists; -ovr lets -new erase it");
  if (!opened.image.Format(name, id)) return log.ReportError(what + ReadOnlyImageText());
  return log.ReportInfo(what + "Ok");
}

bool ParseName(MsgLog& log, const std::string& what, const std::string& text, D64FileSpec& spec) {
  if (!ParseC64Name(text, 0, spec)) return log.ReportError(what + "Incorrect C64 filename syntax");
  if (spec.name.empty()) return log.ReportError(what + kNoFilenameText);
  return true;
}

// S:NAME scratches every file the name or pattern matches; a locked one
// among them refuses the whole scratch, and is named.
bool Scratch(MsgLog& log, D64Image& image, const std::string& text) {
  const std::string what = "Scratching " + text + ": ";
  D64FileSpec spec;
  if (!ParseName(log, what, text, spec)) return false;
  if (image.ReadOnly()) return log.ReportError(what + ReadOnlyImageText());
  std::vector<DirEntry> entries;
  if (!ReadDirectory(image, entries)) return log.ReportError(what + BrokenDirectoryText());
  std::vector<DirEntry> matched;
  if (spec.position > 0) {
    if (const auto entry = FindDirEntry(entries, spec)) matched.push_back(*entry);
  } else {
    for (const DirEntry& entry : entries)
      if ((!spec.kind_given || entry.kind == spec.kind) && MatchesPattern(spec.petscii, entry.name))
        matched.push_back(entry);
  }
  if (matched.empty()) return log.ReportError(what + "File not found");
  for (const DirEntry& entry : matched)
    if (entry.locked) return log.ReportError(what + QuotedName(entry.name) + " is locked");
  for (const DirEntry& entry : matched) {
    FreeFile(image, entry);
    ClearDirEntry(image, entry.pos);
  }
  return log.ReportInfo(what + CountOf(matched.size(), "file") + " scratched");
}

// R:NEW=OLD gives a file a new name; nothing else of it changes.
bool Rename(MsgLog& log, D64Image& image, const std::string& text) {
  const std::string what = "Renaming " + text + ": ";
  const size_t equals = text.find('=');
  if (equals == std::string::npos) return log.ReportError(what + "write the new name, \"=\" and the old name");
  D64FileSpec to, from;
  if (!ParseName(log, what, text.substr(0, equals), to) || !ParseName(log, what, text.substr(equals + 1), from))
    return false;
  if (image.ReadOnly()) return log.ReportError(what + ReadOnlyImageText());
  const std::string refusal = NewNameRefusal(to.petscii);
  if (!refusal.empty()) return log.ReportError(what + refusal);
  if (from.position == 0 && HasWildcards(from.petscii))
    return log.ReportError(what + kWildcardNameText);
  std::vector<DirEntry> entries;
  if (!ReadDirectory(image, entries)) return log.ReportError(what + BrokenDirectoryText());
  const std::optional<DirEntry> entry = FindDirEntry(entries, from);
  if (!entry) return log.ReportError(what + "File not found");
  for (const DirEntry& other : entries)
    if (other.name == to.petscii && other.pos != entry->pos)
      return log.ReportError(what + kNameTakenText);
  RenameDirEntry(image, entry->pos, to.petscii);
  return log.ReportInfo(what + "Ok");
}

// Without a name the file is named after the host file, less an extension
// that names a C64 file kind (which then is its kind).
bool NameAfterHostFile(const std::string& host, D64FileSpec& spec) {
  const HiPath path(host);
  const FileType kind = FileTypeFromExtension(path.Extension());
  spec.name = path.FileName();
  if (kind == FileType::Unspecified && !path.Extension().empty()) spec.name += "." + path.Extension();
  spec.petscii = PetsciiFromTyped(spec.name);
  spec.kind = kind == FileType::Unspecified ? FileType::Prg : kind;
  return !spec.name.empty();
}

// A PC64 file goes on the disk as the file it holds: its kind, its bytes
// without the header, and its C64 name unless NAME= gives one.
bool AddPc64(MsgLog& log, D64Image& image, const std::string& host, FileType kind, D64FileSpec spec, bool named) {
  ProgramFile file;
  if (!ReadPc64File(log, host, kind, file)) return false;
  if (!named) {
    spec.name = file.name;
    spec.petscii = PetsciiFromTyped(file.name);
  }
  spec.kind = kind;
  return PutFile(log, image, spec, file.Bytes());
}

// "[NAME=]hostfile": the host file's bytes as they are, load address and all.
bool Add(MsgLog& log, D64Image& image, const std::string& text) {
  const size_t equals = text.find('=');
  const std::string host = equals == std::string::npos ? text : text.substr(equals + 1);
  const std::string what = "Adding " + host + ": ";
  D64FileSpec spec;
  if (equals == std::string::npos) {
    NameAfterHostFile(host, spec);
  } else {
    if (!ParseName(log, what, text.substr(0, equals), spec)) return false;
    if (!spec.kind_given) {
      const FileType kind = FileTypeFromExtension(HiPath(host).Extension());
      if (kind != FileType::Unspecified) spec.kind = kind;
    }
  }
  if (const std::optional<FileType> kind = Pc64Kind(HiPath(host).Extension()); kind && RegularFileExists(host))
    return AddPc64(log, image, host, *kind, spec, equals != std::string::npos);
  std::string content;
  switch (ReadInputFile(host, kMaxDiskFileBytes, content)) {
    case ReadStatus::Ok:
      break;
    case ReadStatus::Missing:
      return log.ReportError(what + "File not found");
    case ReadStatus::TooLarge:
      return log.ReportError(what + "larger than a disk holds");
    case ReadStatus::Failed:
      return log.ReportError(what + "the file can't be read");
  }
  return PutFile(log, image, spec, std::vector<uint8_t>(content.begin(), content.end()));
}

bool ApplyChanges(MsgLog& log, const OutputSet& out, ImageForChange& opened, const DiskJob& job) {
  bool ok = true;
  if (job.format) ok = FormatDisk(log, out, opened, *job.format) && ok;
  for (const std::string& text : job.scratch) ok = Scratch(log, opened.image, text) && ok;
  for (const std::string& text : job.rename) ok = Rename(log, opened.image, text) && ok;
  for (const std::string& text : job.add) ok = Add(log, opened.image, text) && ok;
  return ok;
}

bool StageListing(MsgLog& log, OutputSet& out, std::string text, const std::string& path) {
  if (path == "-" || IsConsoleName(path)) {
    out.AddConsole(std::move(text));
    return true;
  }
  log.ReportInfo("==> Saving the directory listing: " + path);
  return out.Add(log, path, std::move(text), {"Can't open file " + path + " for writing", "Error saving file " + path});
}

std::string ExtractedName(const DirEntry& entry, std::set<std::string>& taken) {
  std::string kind = LowerCopy(KindName(entry.type_byte));
  if (kind == "???") kind = "unknown";
  const std::string place = std::to_string(entry.index);
  std::string base = HostNameOf(entry.name);
  std::string name = (base.empty() ? "#" + place : base) + "." + kind;
  if (!taken.insert(name).second) {
    name = base + " #" + place + "." + kind;
    taken.insert(name);
  }
  return name;
}

// `read` gives a file's bytes, or false after saying why it gives none.
using FileReader = std::function<bool(const DirEntry&, std::vector<uint8_t>&)>;

bool StageExtraction(MsgLog& log, OutputSet& out, const std::vector<DirEntry>& entries, std::string folder,
                     const FileReader& read) {
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  if (!out.AddFolder(log, folder, "Can't make folder " + folder)) return false;
  std::set<std::string> taken;
  int extracted = 0;
  for (const DirEntry& entry : entries) {
    // Separator lines of a listing: a DEL entry with no blocks holds nothing.
    if (entry.kind == FileType::Del && entry.blocks == 0) continue;
    std::vector<uint8_t> bytes;
    if (!read(entry, bytes)) continue;
    const std::string path = folder + "/" + ExtractedName(entry, taken);
    log.ReportInfo("Extracting " + QuotedName(entry.name) + " to " + path);
    if (!out.Add(log, path, std::string(bytes.begin(), bytes.end()),
                 {"Can't open file " + path + " for writing", "Error saving file " + path}))
      return false;
    ++extracted;
  }
  return log.ReportInfo(CountOf(static_cast<size_t>(extracted), "file") + " extracted to " + folder);
}

bool ReadDiskFile(MsgLog& log, const D64Image& image, const DirEntry& entry, std::vector<uint8_t>& bytes) {
  if (!CheckReadErrors(log, image, entry, false)) return false;
  const ChainRead read = image.ReadChainData(entry.start, kMaxDiskFileBytes, bytes);
  if (read == ChainRead::Ok) return true;
  log.ReportWarning("File " + QuotedName(entry.name) + " not extracted: " + ChainReadReason(read));
  return false;
}

// A tape archive is read only here: its listing and its files.
bool RunTapeJob(MsgLog& log, OutputSet& out, const std::string& path, const DiskJob& job) {
  if (job.ChangesImage())
    return log.ReportError("T64 archive " + path + " can't be changed: -new, -add, -scratch and -rename are for disk images");
  TapeArchive archive;
  if (!ReadTapeArchive(log, path, archive)) return false;
  if (job.listing && !StageListing(log, out, TapeListing(archive), *job.listing)) return false;
  if (!job.extract) return true;
  std::vector<DirEntry> entries;
  for (const TapeFile& file : archive.files) entries.push_back(file.entry);
  return StageExtraction(log, out, entries, *job.extract, [&archive](const DirEntry& entry, std::vector<uint8_t>& bytes) {
    bytes = TapeFileBytes(archive, archive.files[static_cast<size_t>(entry.index - 1)]);
    return true;
  });
}

}  // namespace

bool RunDiskJob(MsgLog& log, OutputSet& out, const std::string& image_path, const DiskJob& job) {
  if (IsTapeArchivePath(image_path)) return RunTapeJob(log, out, image_path, job);
  ImageForChange opened;
  if (job.ChangesImage()) {
    if (!OpenForChange(log, out, image_path, kDefaultDiskId, opened)) return false;
    if (!ApplyChanges(log, out, opened, job)) return false;
  } else if (!OpenForReading(log, image_path, opened.image)) {
    return false;
  }
  const D64Image& image = opened.image;
  std::vector<DirEntry> entries;
  if ((job.listing || job.extract) && !ReadDirectoryOrReport(log, image, entries)) return false;
  if (job.listing && !StageListing(log, out, DirectoryListing(image, entries), *job.listing)) return false;
  auto read = [&log, &image](const DirEntry& entry, std::vector<uint8_t>& bytes) {
    return ReadDiskFile(log, image, entry, bytes);
  };
  if (job.extract && !StageExtraction(log, out, entries, *job.extract, read)) return false;
  return !opened.image.Modified() || StageImage(log, out, opened, true);
}

}  // namespace vantrel
