// image/output_file.h: the rules every output writer shares: the check of
// the save path (empty name, console, overwrite) and the text output that
// goes either to the console or, through a safe write, to a file.
#pragma once

#include <string>
#include <string_view>

#include "app/msg_log.h"

namespace vantrel {

// True when writing to `path` may go on. The console name passes at once; an
// existing file needs `overwrite`.
bool CheckSavePath(MsgLog& log, const std::string& path, bool overwrite);

// True when the directory the path names a file in exists and the path
// itself is not a directory.
bool CanCreateFileAt(const std::string& path);

// Writes a whole text output: to standard output for the console name, else
// to the file, replacing it only when every byte was written.
bool SaveTextOutput(MsgLog& log, const std::string& path, bool overwrite, std::string_view text);

// Writes to standard output, as text outputs named "con" do; false when the
// text did not all get out (a full disk, a closed stream).
bool WriteToConsole(std::string_view text);

}  // namespace vantrel
