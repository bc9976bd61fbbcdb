// image/program_io.h: program files on the host file system: reading and
// writing them in the layout their C64 type asks for.
#pragma once

#include <string>
#include <string_view>

#include "image/program_file.h"

namespace vantrel {

// "PRG" -> Prg and so on, any case; anything else is Unspecified.
FileType FileTypeFromExtension(std::string_view extension);

// Reads a host file in the layout of `type`: PRG starts with the load
// address, REL with record count and length; any other type is all data.
// The file's type field is left to the caller. Reports nothing.
bool ReadProgramFile(const std::string& path, FileType type, ProgramFile& out);

// The bytes a host file of `type` holds for `file`; empty when the file
// has no data.
std::string ProgramFileHostBytes(const ProgramFile& file, FileType type);

}  // namespace vantrel
