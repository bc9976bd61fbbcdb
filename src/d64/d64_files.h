// d64/d64_files.h: loading a program file out of a D64 image and saving one
// into it (creating the image when it is missing), with the messages a run
// shows for each step.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/msg_log.h"
#include "d64/d64_file_spec.h"
#include "d64/d64_image.h"
#include "image/output_set.h"
#include "image/program_file.h"

namespace vantrel {

// Loads the file `spec` names from the image at `image_path` (already found
// by the caller). A PRG keeps its load address as the first two data bytes
// (`load_address_pending`), as a host .prg file is read.
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

// The steps on an image in memory, for callers that hold one.
bool LoadFile(MsgLog& log, const D64Image& image, const D64FileSpec& spec, ProgramFile& out);
// Reports "Saving NAME: " and the outcome; the image is unchanged on failure.
bool PutFile(MsgLog& log, D64Image& image, const D64FileSpec& spec, const std::vector<uint8_t>& bytes);
// The bytes a file of `kind` holds on disk: a PRG starts with its load address.
std::vector<uint8_t> ImageFileBytes(const ProgramFile& file, FileType kind);

}  // namespace vantrel
