// The runs on disk images that are not a program conversion: a whole image
// as the input (its directory, extraction, scratch, rename, adding files),
// and a file out of an image that has no load address (SEQ, USR, REL...).
#include "app/converter.h"
#include "image/binary_writers.h"

namespace vantrel {

namespace {

std::string KindWord(FileType type) {
  switch (type) {
    case FileType::Del:
      return "a DEL file";
    case FileType::Seq:
      return "a SEQ file";
    case FileType::Usr:
      return "a USR file";
    case FileType::Rel:
      return "a REL file";
    case FileType::Prg:
      return "a PRG file";
    case FileType::Unspecified:
      break;
  }
  return "not a program file";
}

}  // namespace

void Converter::RunDiskImage() {
  ReportStart("Starting Vantrel on ");
  CheckDiskImageOptions();
  if (Failed()) return;
  DiskJob job = options_.disk;
  // An image alone is looked at: its directory, as LOAD"$",8 and LIST show it.
  if (!job.ChangesImage() && !job.listing && !job.extract) job.listing = "-";
  RunDiskJob(*log_, outputs_, image_path_.Text(), job);
}

void Converter::CheckDiskImageOptions() {
  const ConverterOptions& o = options_;
  const std::pair<bool, const char*> outputs[] = {
      {!o.prg.Empty(), "-prg"}, {!o.p00.Empty(), "-p00"}, {!o.bin.Empty(), "-bin"}, {!o.lst.Empty(), "-lst"},
      {!o.dis.Empty(), "-dis"}, {!o.hex.Empty(), "-hex"},
      {!o.sym.Empty(), "-sym"}, {!o.rft.Empty(), "-rft"}, {!o.txt.Empty(), "-txt"}, {!o.lbl.Empty(), "-lbl"},
      {!o.vice.Empty(), "-vice"}, {!o.asm_source.Empty(), "-asm"}, {!o.d64.empty(), "-d64"}, {!o.pref.Empty(), "-pref"},
  };
  for (const auto& [given, word] : outputs) {
    if (given)
      log_->ReportError(std::string(word) + " is not valid for a whole disk image: name a file in it, as " +
                        image_path_.Text() + "::\"NAME\"");
  }
}

// Only the outputs that need no load address can take such a file.
void Converter::WriteDataFile(const ProgramFile& file) {
  data_file_ = true;
  const ConverterOptions& o = options_;
  const bool program_outputs = !o.prg.Empty() || !o.p00.Empty() || !o.txt.Empty() || !o.lbl.Empty() ||
                               !o.lst.Empty() || !o.dis.Empty() || !o.sym.Empty() || !o.vice.Empty() || !o.asm_source.Empty() ||
                               !o.d64.empty();
  if (program_outputs) {
    log_->ReportError("\"" + file.name + "\" is " + KindWord(file.type) +
                      ", which has no load address: only -bin and -hex can take it");
    return;
  }
  if (!o.bin.Empty()) SaveBin(*log_, outputs_, o.bin.Text(), file);
  if (!o.hex.Empty()) StageHex(*log_, outputs_, o.hex.Text(), file);
}

}  // namespace vantrel
