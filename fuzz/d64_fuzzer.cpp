// D64 images, loaded and saved. The input is a control byte, a file name
// ending in a zero byte, and the image bytes from track 17 on: the
// directory track and the tracks files start on come first, so short
// inputs reach them, and the rest of the 174848 bytes stays zero.
// A failed save must leave the image file byte-identical.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "d64/d64_files.h"
#include "d64/d64_geometry.h"
#include "fuzz_support.h"
#include "image/output_set.h"
#include "image/program_file.h"
#include "log/msg_log.h"

namespace {

using namespace vantrel;

constexpr size_t kTrack17 = 16 * 21 * kSectorSize;  // tracks 1-16 hold 21 sectors each

std::string ImageFrom(const uint8_t* data, size_t size) {
  std::string image(kD64ImageSize, '\0');
  for (size_t i = 0; i < std::min(size, kD64ImageSize); ++i)
    image[(kTrack17 + i) % kD64ImageSize] = static_cast<char>(data[i]);
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
  if (size == 0) return 0;
  fuzz::InScratch here;
  const uint8_t control = data[0];
  const uint8_t* rest = data + 1;
  const size_t rest_size = size - 1;
  const uint8_t* end = static_cast<const uint8_t*>(std::memchr(rest, 0, rest_size));
  const size_t name_size = end == nullptr ? rest_size : static_cast<size_t>(end - rest);
  const std::string name(reinterpret_cast<const char*>(rest), name_size);
  const size_t image_at = end == nullptr ? rest_size : name_size + 1;
  const std::string image = ImageFrom(rest + image_at, rest_size - image_at);
  fuzz::WriteInput("img.d64", image);

  MsgLog log;
  ProgramFile out;
  LoadFromImage(log, "img.d64::" + name, out);
  LoadFromImage(log, "img.d64::*", out);
  const ProgramFile program = ProgramOf(control);
  OutputSet outputs((control & 0x80) != 0);
  const bool saved = SaveToImage(log, outputs, "img.d64::" + name, program, "64") && outputs.Commit(log);
  if (!saved && fuzz::ReadBack("img.d64") != image) std::abort();
  OutputSet fresh(true);
  if (SaveToImage(log, fresh, "new.d64::" + name, program, "64")) fresh.Commit(log);
  fuzz::RemoveAllBut({});
  return 0;
}
