#include "image/binary_writers.h"

#include "image/hex_dump.h"
#include "image/program_io.h"
#include "text/text_ops.h"

namespace vantrel {

namespace {

// A .bin holds program bytes only, never a load address still in front.
ProgramFile WithoutPendingAddress(const ProgramFile& file) {
  ProgramFile copy = file;
  if (copy.type == FileType::Prg && copy.load_address_pending) copy.TakeLoadAddress();
  return copy;
}

bool ReportTooLarge(MsgLog& log) { return log.ReportError("Program is too large to fit in memory"); }

bool RefuseConsole(MsgLog& log, const char* kind) {
  return log.ReportError(std::string("Can't output ") + kind + " files to con");
}

// An -range end left open (or beyond 16 bits) runs to the end of the used range.
AddressRange HexRange(const AddressRange& requested, const AddressRange& used) {
  AddressRange range = requested.IsEmpty() ? used : requested;
  if (range.start > 0xFFFF || range.end > 0xFFFF) range.end = used.end & 0xFFFF;
  return range;
}

bool StageProgram(MsgLog& log, OutputSet& out, const std::string& path, const ProgramFile& file, FileType type,
                  const std::string& write_failure) {
  if (file.Size() == 0) return log.ReportError(write_failure + ": the program is empty");
  return out.Add(log, path, ProgramFileHostBytes(file, type), NoteFor(path, write_failure));
}

}  // namespace

bool ExtractUsed(MsgLog& log, const MemoryImage& image, ProgramFile& out) {
  if (image.Used().IsEmpty()) return log.ReportError("No program to save");
  if (!image.Extract(image.Used(), out)) return ReportTooLarge(log);
  return true;
}

bool SavePrg(MsgLog& log, OutputSet& out, const std::string& path, const ProgramFile& file) {
  if (IsConsoleName(path)) return RefuseConsole(log, ".prg");
  log.ReportInfo("==> Saving in .prg format: " + path);
  return StageProgram(log, out, path, file, FileType::Prg, "Error saving .prg file " + path);
}

bool SaveBin(MsgLog& log, OutputSet& out, const std::string& path, const ProgramFile& file) {
  if (IsConsoleName(path)) return RefuseConsole(log, ".bin");
  log.ReportInfo("==> Saving in .bin format: " + path);
  return StageProgram(log, out, path, WithoutPendingAddress(file), FileType::Unspecified,
                      "Error saving .bin file " + path);
}

bool SavePrg(MsgLog& log, OutputSet& out, const std::string& path, const MemoryImage& image) {
  ProgramFile file;
  if (!ExtractUsed(log, image, file)) return false;
  if (IsConsoleName(path)) return RefuseConsole(log, ".prg");
  return StageProgram(log, out, path, file, FileType::Prg, "Error saving file " + path);
}

bool SaveBin(MsgLog& log, OutputSet& out, const std::string& path, const MemoryImage& image) {
  ProgramFile file;
  if (!ExtractUsed(log, image, file)) return false;
  if (IsConsoleName(path)) return RefuseConsole(log, ".bin");
  return StageProgram(log, out, path, file, FileType::Unspecified, "Error saving file " + path);
}

bool SaveHex(MsgLog& log, OutputSet& out, const std::string& path, const AddressRange& range,
             const MemoryImage& image) {
  const AddressRange chosen = HexRange(range, image.Used());
  if (chosen.IsEmpty()) return log.ReportError("Data range is empty");
  ProgramFile file;
  if (!image.Extract(chosen, file)) return ReportTooLarge(log);
  log.ReportInfo(PlaceOf(path) == OutputPlace::Console ? "==> Exporting hex format" : "==> Saving in hex format: " + path);
  return StageHex(log, out, path, file);
}

bool StageHex(MsgLog& log, OutputSet& out, const std::string& path, const ProgramFile& file) {
  return out.Add(log, path, HexDump(file, true, true), NoteFor(path, "Error saving .hex file " + path));
}

}  // namespace vantrel
