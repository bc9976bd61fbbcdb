// d64/d64_files.h: loading a file out of a D64 image and saving one into
// it (creating the image when it is missing), with the messages a run
// shows for each step, and opening an image for a change: locked, read,
// and its BAM made to hold every file's sectors.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "d64/d64_directory.h"
#include "d64/d64_file_spec.h"
#include "d64/d64_image.h"
#include "image/output_set.h"
#include "image/program_file.h"
#include "log/msg_log.h"

namespace vantrel {

// Loads the file `spec` names from the image at `image_path` (already found
// by the caller). A PRG keeps its load address as the first two data bytes
// (`load_address_pending`), as a host .prg file is read; files of other
// kinds are their bytes alone.
bool LoadFromImage(MsgLog& log, const std::string& image_path, const D64FileSpec& spec, ProgramFile& out);
// The same from the whole image::"NAME" text, the image taken as named.
bool LoadFromImage(MsgLog& log, std::string_view text, ProgramFile& out);

// Saves `file` (its bytes and load address) under `spec`'s name into the
// image at `image_path`; a missing image is created with `disk_id`. The new
// image is staged in `out`; an existing image may be replaced only when
// `out` allows overwriting.
bool SaveToImage(MsgLog& log, OutputSet& out, const std::string& image_path, const D64FileSpec& spec,
                 const ProgramFile& file, std::string_view disk_id);
bool SaveToImage(MsgLog& log, OutputSet& out, std::string_view text, const ProgramFile& file,
                 std::string_view disk_id);

// The first of the candidate image paths that exists; the parsed image path
// itself when none does.
std::string ResolveImagePath(const D64FileSpec& spec);

// An image read to be changed. The lock on it is held by the output set
// until the new image is in place (or the run has failed).
struct ImageForChange {
  std::string path;
  D64Image image;
  bool existed = false;
};
// Locks and reads the image, or formats a new one in memory when the file
// is missing (named after the file, with `disk_id`). Sectors that files use
// but the BAM calls free are marked used, with a Warning.
bool OpenForChange(MsgLog& log, OutputSet& out, const std::string& path, std::string_view disk_id,
                   ImageForChange& opened);
// Stages the changed image, whose bytes move into `out` (so this comes
// last); `replace_existing` allows replacing the file.
bool StageImage(MsgLog& log, OutputSet& out, ImageForChange& opened, bool replace_existing);

// Reads the image at `path` for reading only, with the messages of a load.
bool OpenForReading(MsgLog& log, const std::string& path, D64Image& image);
// The directory's entries; false after reporting a damaged directory.
bool ReadDirectoryOrReport(MsgLog& log, const D64Image& image, std::vector<DirEntry>& entries);
// The reasons a change is refused for, after "Saving NAME: " and the like.
std::string BrokenDirectoryText();
std::string ReadOnlyImageText();

// The steps on an image in memory, for callers that hold one.
bool LoadFile(MsgLog& log, const D64Image& image, const D64FileSpec& spec, ProgramFile& out);
// Reports "Saving NAME: " and the outcome; the image is unchanged on failure.
bool PutFile(MsgLog& log, D64Image& image, const D64FileSpec& spec, const std::vector<uint8_t>& bytes);
// Frees the sectors of an entry's file; the entry itself stays.
void FreeFile(D64Image& image, const DirEntry& entry);
// The bytes a file of `kind` holds on disk: a PRG starts with its load address.
std::vector<uint8_t> ImageFileBytes(const ProgramFile& file, FileType kind);
// Why an entry's bytes could not be read, after "Could not load file: NAME".
std::string ChainReadReason(ChainRead status);
// Reports the read errors the image's error bytes give the sectors of the
// entry's file: a Warning for a sector the drive reads but flags, an Error
// (and false) for one it cannot read at all.
bool CheckReadErrors(MsgLog& log, const D64Image& image, const DirEntry& entry, bool error_stops);
// The blocks the largest disk (a D81) can hold at most, in bytes.
inline constexpr size_t kMaxDiskFileBytes = 3160 * kBytesPerBlock;

}  // namespace vantrel
