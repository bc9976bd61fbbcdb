// d64/pc64_file.h: the PC64 one-file containers (.P00 for a program,
// .S00, .U00, .R00 for SEQ, USR and REL files; the digits count up for
// twins): a 26-byte header with the C64 name, then the file's bytes.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "image/output_set.h"
#include "image/program_file.h"
#include "log/msg_log.h"

namespace vantrel {

// The kind an extension such as "p00" or "S01" names; none for others.
std::optional<FileType> Pc64Kind(std::string_view extension);

// Reads the container at `path` into `out`: its C64 name (shown as typed)
// in `out.name`, a program's load address pending in front of its bytes.
bool ReadPc64File(MsgLog& log, const std::string& path, FileType kind, ProgramFile& out);

// Stages a .p00 of the program under the C64 name `petscii_name`.
bool SaveP00(MsgLog& log, OutputSet& out, const std::string& path, const ProgramFile& file,
             std::string_view petscii_name);
// The C64 name a .p00 of this host name gets: the file name as typed.
std::string P00NameFor(const std::string& path);

}  // namespace vantrel
