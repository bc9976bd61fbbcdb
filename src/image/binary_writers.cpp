#include "image/binary_writers.h"

#include "image/hex_dump.h"
#include "image/output_file.h"
#include "image/program_io.h"
#include "image/safe_write.h"
#include "text/text_ops.h"

namespace vantrel {

namespace {

// A .bin holds program bytes only, never a load address still in front.
ProgramFile WithoutPendingAddress(const ProgramFile& file) {
  ProgramFile copy = file;
  if (copy.type == FileType::Prg && copy.load_address_pending) copy.TakeLoadAddress();
  return copy;
}

// The used range as a program file; false after reporting why there is none.
bool ExtractUsed(SourceLoader& loader, const MemoryImage& image, ProgramFile& out) {
  if (image.Used().IsEmpty()) return loader.Error("No program to save");
  if (!image.Extract(image.Used(), out)) return loader.Error("Program is too large to fit in memory");
  return true;
}

// An -range end left open (or beyond 16 bits) runs to the end of the used range.
AddressRange HexRange(const AddressRange& requested, const AddressRange& used) {
  AddressRange range = requested.IsEmpty() ? used : requested;
  if (range.start > 0xFFFF || range.end > 0xFFFF) range.end = used.end & 0xFFFF;
  return range;
}

}  // namespace

bool SavePrg(MsgLog& log, const std::string& path, const ProgramFile& file, bool overwrite) {
  if (IsConsoleName(path)) return log.ReportError("Can't output .prg files to con");
  if (!CheckSavePath(log, path, overwrite)) return false;
  log.ReportInfo("==> Saving in .prg format: " + path);
  if (!WriteProgramFile(path, FileType::Prg, overwrite, file)) return log.ReportError("Error saving .prg file");
  return true;
}

bool SaveBin(MsgLog& log, const std::string& path, const ProgramFile& file, bool overwrite) {
  if (IsConsoleName(path)) return log.ReportError("Can't output .bin files to con");
  if (!CheckSavePath(log, path, overwrite)) return false;
  log.ReportInfo("==> Saving in .bin format: " + path);
  const ProgramFile bytes = WithoutPendingAddress(file);
  if (!WriteProgramFile(path, FileType::Unspecified, overwrite, bytes))
    return log.ReportError("Error saving .bin file");
  return true;
}

bool SavePrg(SourceLoader& loader, const std::string& path, const MemoryImage& image, bool overwrite) {
  ProgramFile file;
  if (!ExtractUsed(loader, image, file)) return false;
  if (IsConsoleName(path)) return loader.Log().ReportError("Can't output .prg files to con");
  if (!WriteProgramFile(path, FileType::Prg, overwrite, file))
    return loader.Log().ReportError("Error saving file " + path);
  return true;
}

bool SaveBin(SourceLoader& loader, const std::string& path, const MemoryImage& image, bool overwrite) {
  ProgramFile file;
  if (!ExtractUsed(loader, image, file)) return false;
  if (IsConsoleName(path)) return loader.Log().ReportError("Can't output .bin files to con");
  if (!WriteProgramFile(path, FileType::Unspecified, overwrite, file))
    return loader.Log().ReportError("Error saving file " + path);
  return true;
}

bool SaveHex(SourceLoader& loader, const std::string& path, bool overwrite, const AddressRange& range,
             const MemoryImage& image) {
  const AddressRange chosen = HexRange(range, image.Used());
  if (chosen.IsEmpty()) return loader.Error("Data range is empty");
  ProgramFile file;
  if (!image.Extract(chosen, file)) return loader.Error("Program is too large to fit in memory");
  MsgLog& log = loader.Log();
  const bool console = IsConsoleName(path);
  if (console) {
    log.ReportInfo("==> Exporting hex format");
  } else {
    if (!CheckSavePath(log, path, overwrite)) return false;
    log.ReportInfo("==> Saving in hex format: " + path);
  }
  const std::string dump = HexDump(file, true, true);
  std::string reason;
  if (!(console ? WriteToConsole(dump) : WriteFileSafely(path, dump, reason)))
    return log.ReportError("Error saving .hex file");
  return true;
}

}  // namespace vantrel
