// image/binary_writers.h: the .prg, .bin and .hex outputs, staged in the
// run's output set. The BASIC run saves its extracted program file; the
// assembler run saves straight from the memory image; both share the hex
// writer.
#pragma once

#include <string>

#include "image/address_range.h"
#include "image/memory_image.h"
#include "image/output_set.h"
#include "image/program_file.h"
#include "log/msg_log.h"

namespace vantrel {

// BASIC side: load address and bytes.
bool SavePrg(MsgLog& log, OutputSet& out, const std::string& path, const ProgramFile& file);
// BASIC side: the bytes alone.
bool SaveBin(MsgLog& log, OutputSet& out, const std::string& path, const ProgramFile& file);

// Assembler side: the image's used range.
bool SavePrg(MsgLog& log, OutputSet& out, const std::string& path, const MemoryImage& image);
bool SaveBin(MsgLog& log, OutputSet& out, const std::string& path, const MemoryImage& image);

// The image's used range as a program file; false after reporting why
// there is none.
bool ExtractUsed(MsgLog& log, const MemoryImage& image, ProgramFile& out);

// Both runs: a hex dump of `range` (the -range option; an empty range means
// the image's used range), to the console for the name "con".
bool SaveHex(MsgLog& log, OutputSet& out, const std::string& path, const AddressRange& range,
             const MemoryImage& image);
// A file's hex dump, staged without a progress message.
bool StageHex(MsgLog& log, OutputSet& out, const std::string& path, const ProgramFile& file);

}  // namespace vantrel
