#include "d64/program_load.h"

#include <optional>
#include <vector>

#include "d64/c64_names.h"
#include "d64/d64_file_spec.h"
#include "d64/d64_files.h"
#include "d64/pc64_file.h"
#include "image/program_io.h"
#include "text/input_file.h"

namespace vantrel {

bool LoadProgramFile(MsgLog& log, const FileLocator& locator, const std::string& path, FileType type,
                     ProgramFile& out) {
  out.Clear();
  if (path.empty()) return log.ReportError(kNoFilenameText);
  if (IsImageSpec(path)) {
    D64FileSpec spec;
    if (!ParseImageSpec(log, path, spec)) return false;
    const std::vector<HiPath> candidates = ImagePathCandidates(spec);
    for (const HiPath& candidate : candidates) {
      const HiPath found = locator.Find(candidate);
      if (!found.Empty()) return LoadFromImage(log, found.Text(), spec, out);
    }
    return log.ReportError(".d64 file not found: " + candidates.front().Text());
  }
  const HiPath found = IsStandardInput(path) ? HiPath(path) : locator.Find(HiPath(path));
  if (found.Empty()) return log.ReportError(FileNotFoundText(path));
  out.name = found.FileName();
  if (const std::optional<FileType> kind = Pc64Kind(found.Extension()))
    return ReadPc64File(log, found.Text(), *kind, out);
  out.type = type == FileType::Unspecified ? FileTypeFromExtension(found.Extension()) : type;
  if (!ReadProgramFile(found.Text(), type, out)) return log.ReportError("Error loading file " + found.Text());
  return true;
}

}  // namespace vantrel
