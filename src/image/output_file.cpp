#include "image/output_file.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "image/safe_write.h"
#include "text/text_ops.h"

namespace vantrel {

bool CheckSavePath(MsgLog& log, const std::string& path, bool overwrite) {
  if (path.empty()) return log.ReportError("No save filename specified");
  if (IsConsoleName(path)) return true;
  if (RegularFileExists(path) && !overwrite) return log.ReportError("File already exists: " + path);
  return true;
}

bool CanCreateFileAt(const std::string& path) {
  namespace fs = std::filesystem;
  std::error_code ec;
  if (path.empty() || fs::is_directory(path, ec)) return false;
  fs::path dir = fs::path(path).parent_path();
  return dir.empty() || fs::is_directory(dir, ec);
}

bool WriteToConsole(std::string_view text) {
  // An earlier failed message must not be taken for this text's failure.
  std::clearerr(stdout);
  const bool written = std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
  return std::fflush(stdout) == 0 && written && !std::ferror(stdout);
}

bool SaveTextOutput(MsgLog& log, const std::string& path, bool overwrite, std::string_view text) {
  if (!CheckSavePath(log, path, overwrite)) return false;
  const bool console = IsConsoleName(path);
  if (!console && !CanCreateFileAt(path)) return log.ReportError("Can't open file " + path + " for writing");
  std::string reason;
  if (!(console ? WriteToConsole(text) : WriteFileSafely(path, text, reason)))
    return log.ReportError("Error writing " + path);
  return true;
}

}  // namespace vantrel
