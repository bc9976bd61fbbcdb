// Disk images and containers, loaded, listed and saved. The input is a
// control byte, a format byte, a file name ending in a zero byte, and the
// container's bytes. For disk images those start two tracks before the
// directory track (the directory and the tracks files start on come first,
// so short inputs reach them) and the rest of the image stays zero; a T64
// or P00 is the bytes as they are. A failed save must leave the image file
// byte-identical.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "d64/d64_files.h"
#include "d64/disk_format.h"
#include "d64/disk_job.h"
#include "d64/program_load.h"
#include "fuzz_support.h"
#include "image/output_set.h"
#include "image/program_file.h"
#include "log/msg_log.h"

namespace {

using namespace vantrel;

struct Container {
  const char* extension;
  FormatId format;
  bool error_bytes;
  bool disk;  // else a T64 or P00, taken as it is
};

constexpr Container kContainers[] = {
    {"d64", FormatId::D64, false, true},        {"d64", FormatId::D64, true, true},
    {"d64", FormatId::D64Speed40, false, true}, {"d64", FormatId::D64Tracks42, true, true},
    {"d71", FormatId::D71, false, true},        {"d81", FormatId::D81, false, true},
    {"t64", FormatId::D64, false, false},       {"p00", FormatId::D64, false, false},
};

std::string ImageFrom(const Container& container, const uint8_t* data, size_t size) {
  if (!container.disk) return std::string(reinterpret_cast<const char*>(data), size);
  const DiskFormat& format = FormatOf(container.format);
  const size_t image_size = ImageSize(format, container.error_bytes);
  const size_t start = static_cast<size_t>(FirstSectorIndex(format, format.dir_track - 1)) * kSectorSize;
  std::string image(image_size, '\0');
  for (size_t i = 0; i < std::min(size, image_size); ++i)
    image[(start + i) % image_size] = static_cast<char>(data[i]);
  return image;
}

// The control byte's low bits give the size in blocks, so saves can
// also run out of room.
ProgramFile ProgramOf(uint8_t control) {
  ProgramFile file;
  file.type = FileType::Prg;
  file.load_address = 0x0801;
  std::vector<uint8_t> bytes((control & 0x7F) * kBytesPerBlock + 1);
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i * 7 + i / 254);
  file.SetData(std::move(bytes));
  return file;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  fuzz::InScratch here;
  const uint8_t control = data[0];
  const Container& container = kContainers[data[1] % std::size(kContainers)];
  const uint8_t* rest = data + 2;
  const size_t rest_size = size - 2;
  const uint8_t* end = static_cast<const uint8_t*>(std::memchr(rest, 0, rest_size));
  const size_t name_size = end == nullptr ? rest_size : static_cast<size_t>(end - rest);
  const std::string name(reinterpret_cast<const char*>(rest), name_size);
  const size_t image_at = end == nullptr ? rest_size : name_size + 1;
  const std::string image = ImageFrom(container, rest + image_at, rest_size - image_at);
  const std::string path = std::string("img.") + container.extension;
  fuzz::WriteInput(path, image);

  MsgLog log;
  ProgramFile out;
  if (std::string(container.extension) == "p00") {
    FileLocator locator;
    LoadProgramFile(log, locator, path, FileType::Prg, out);
    fuzz::RemoveAllBut({});
    return 0;
  }
  LoadFromImage(log, path + "::" + name, out);
  LoadFromImage(log, path + "::*", out);
  OutputSet listing(true);
  DiskJob job;
  job.listing = "list.txt";
  job.extract = "files";
  RunDiskJob(log, listing, path, job);
  const ProgramFile program = ProgramOf(control);
  OutputSet outputs((control & 0x80) != 0);
  const bool saved = SaveToImage(log, outputs, path + "::" + name, program, "64") && outputs.Commit(log);
  if (!saved && fuzz::ReadBack(path) != image) std::abort();
  OutputSet fresh(true);
  if (container.disk && SaveToImage(log, fresh, std::string("new.") + container.extension + "::" + name, program, "64"))
    fresh.Commit(log);
  fuzz::RemoveAllBut({});
  return 0;
}
