// d64/program_load.h: loading the input program, or an embedded file,
// from a host file or out of a disk image, whichever its name asks for.
#pragma once

#include <string>

#include "image/program_file.h"
#include "log/msg_log.h"
#include "text/file_locator.h"

namespace vantrel {

// Loads the input program: a host file found through the locator, or a file
// inside a disk image. Unspecified `type` keeps the type the name gives.
bool LoadProgramFile(MsgLog& log, const FileLocator& locator, const std::string& path, FileType type,
                     ProgramFile& out);

}  // namespace vantrel
