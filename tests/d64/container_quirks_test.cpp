// Hand-made images and containers with the faults real ones carry: each
// gives a clear message and fails, or loads the right bytes with a Warning.
// Byte layouts from the 1581 user's guide and the T64 and PC64 documents.
#include <gtest/gtest.h>

#include "d64/d64_test_support.h"
#include "d64/program_load.h"
#include "test_support.h"

namespace vantrel {
namespace {

// $0801 and `size` bytes of a pattern.
std::vector<uint8_t> Prg(size_t size) {
  std::vector<uint8_t> prg{0x01, 0x08};
  for (size_t i = 0; i < size; ++i) prg.push_back(static_cast<uint8_t>(i * 13 + 5));
  return prg;
}

// A D81 whose directory (40/3, linked to `dir_link`) holds "A", a PRG at
// 1/0 linked to `link`; 40 sectors a track.
std::vector<uint8_t> D81(TrackSector link, uint8_t dir_link) {
  constexpr size_t kDir = (39 * 40 + 3) * 256;
  std::vector<uint8_t> d(819200, 0);
  d[kDir - 3 * 256] = 40, d[kDir - 3 * 256 + 1] = 3;
  d[kDir] = dir_link == 0 ? 0 : 40, d[kDir + 1] = dir_link == 0 ? 0xFF : dir_link;
  d[kDir + 2] = 0x82, d[kDir + 3] = 1, d[kDir + 5] = 'A';
  std::fill_n(d.begin() + kDir + 6, 15, 0xA0);
  d[0] = link.track, d[1] = link.sector, d[2] = 0x01, d[3] = 0x08, d[4] = 0x60;
  return d;
}

// A PC64 header naming "GAME", then `body`.
std::vector<uint8_t> Pc64(const std::vector<uint8_t>& body) {
  std::vector<uint8_t> b(26 + body.size(), 0);
  const std::string head = std::string("C64File", 8) + "GAME";
  std::copy(head.begin(), head.end(), b.begin());
  std::copy(body.begin(), body.end(), b.begin() + 26);
  return b;
}

TEST(ContainerQuirks, MessagesAndBytes) {
  const std::string end_warning = "Warning: T64 archive @tape.t64: file \"game\" gives the end address ";
  const std::string tape_loaded = "Info: Loading t64 archive @tape.t64\nInfo: Loaded: game\n";
  const struct {
    const char* what;
    const char* file;  // an image's "a", an archive's "game" is loaded
    std::vector<uint8_t> bytes;
    std::string messages;  // "@" stands for the folder
    std::vector<uint8_t> loaded;  // empty: the load fails
  } rows[] = {
      {"unknown D81 size", "x.d81", std::vector<uint8_t>(1000, 0),
       "Error: Error loading d81 image @x.d81: its size fits no .d81 image (819200, 822400 bytes)\n", {}},
      {"truncated D71", "x.d71", std::vector<uint8_t>(349695, 0),
       "Error: Error loading d71 image @x.d71: its size fits no .d71 image (349696, 351062 bytes)\n", {}},
      {"42 tracks and error bytes, no file", "x.d64", std::vector<uint8_t>(206114, 0),
       "Info: Loading d64 image @x.d64\nError: File not found\n", {}},
      {"D81 directory loops", "x.d81", D81({0, 4}, 3),
       "Info: Loading d81 image @x.d81\nError: Error loading d81 image: The directory chain loops or leaves the "
       "directory track\n", {}},
      {"D81 file runs off the disk", "x.d81", D81({81, 0}, 0),
       "Info: Loading d81 image @x.d81\nError: Could not load file: a: a sector link points off the disk\n", {}},
      {"D81", "x.d81", D81({0, 4}, 0), "Info: Loading d81 image @x.d81\nInfo: Loaded: a\n", {0x01, 0x08, 0x60}},
      {"T64 as written", "tape.t64", test::TapeArchive({{"GAME", Prg(100)}}), tape_loaded, Prg(100)},
      {"T64 end address past the data", "tape.t64", test::TapeArchive({{"GAME", Prg(100), 0xC3C6}}),
       end_warning + "$C3C6, but its data holds 100 bytes; those are taken\n" + tape_loaded, Prg(100)},
      {"T64 end address before the start", "tape.t64", test::TapeArchive({{"GAME", Prg(40), 0x0001}}),
       end_warning + "$0001, but its data holds 40 bytes; those are taken\n" + tape_loaded, Prg(40)},
      {"T64 cut short", "tape.t64", test::TapeArchive({{"GAME", Prg(60), 0x0865}}),
       end_warning + "$0865, but its data holds 60 bytes; those are taken\n" + tape_loaded, Prg(60)},
      {"T64 header counts no file", "tape.t64", test::TapeArchive({{"GAME", Prg(100)}}, 0),
       "Warning: T64 archive @tape.t64: the header counts 0 files, the directory holds 1\n" + tape_loaded, Prg(100)},
      {"T64 shorter than its header", "tape.t64", std::vector<uint8_t>(40, 'C'),
       "Error: Error loading t64 archive @tape.t64: it is shorter than a T64 header (64 bytes)\n", {}},
      {"T64 without signature", "tape.t64", std::vector<uint8_t>(200, 0),
       "Error: Error loading t64 archive @tape.t64: no T64 signature\n", {}},
      {"S00 file", "data.s00", Pc64({'H', 'I'}), "Info: Loaded @data.s00: C64 name \"game\"\n", {'H', 'I'}},
      {"P00 without header", "bad.p00", std::vector<uint8_t>(30, 1),
       "Error: Error loading file @bad.p00: no PC64 header (\"C64File\")\n", {}},
      {"P00 without load address", "short.p00", Pc64({}),
       "Error: Error loading file @short.p00: the program has no load address\n", {}},
  };
  test::ScratchDir dir;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    const std::string path = dir.File(row.file);
    test::WriteBytes(path, row.bytes);
    MsgLog log;
    ProgramFile out;
    FileLocator locator;
    const std::string extension = path.substr(path.size() - 3);
    const bool pc64 = extension == "p00" || extension == "s00";
    const bool ok = pc64 ? LoadProgramFile(log, locator, path, FileType::Prg, out)
                         : LoadFromImage(log, path + (extension == "t64" ? "::game" : "::a"), out);
    EXPECT_EQ(ok, !row.loaded.empty());
    std::string expected = row.messages;
    for (size_t at; (at = expected.find('@')) != std::string::npos;) expected.replace(at, 1, dir.Path() + "/");
    EXPECT_EQ(test::Transcript(log), expected);
    if (ok) {
      EXPECT_EQ(out.Bytes(), row.loaded);
    }
  }
}

}  // namespace
}  // namespace vantrel
