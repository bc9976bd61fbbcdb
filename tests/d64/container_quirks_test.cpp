// Hand-made images and containers with the faults real ones carry: each
// gives a clear message and fails, or loads the right bytes with a Warning.
// Byte layouts from the 1581 user's guide and the T64 and PC64 documents.
#include <gtest/gtest.h>

#include "d64/d64_test_support.h"
#include "image/program_io.h"
#include "test_support.h"

namespace vantrel {
namespace {

constexpr size_t kD81Dir = (39 * 40 + 3) * 256;  // 40/3: 40 sectors a track

std::vector<uint8_t> Body(size_t n) {
  std::vector<uint8_t> body(n);
  for (size_t i = 0; i < n; ++i) body[i] = static_cast<uint8_t>(i * 13 + 5);
  return body;
}

// A D81 whose directory holds "A", a PRG at 1/0 (`link` is that sector's link).
std::vector<uint8_t> D81(uint8_t link_track, uint8_t link_sector, uint8_t dir_link_sector) {
  std::vector<uint8_t> d(819200, 0);
  d[kD81Dir - 3 * 256] = 40, d[kD81Dir - 3 * 256 + 1] = 3;
  d[kD81Dir] = dir_link_sector == 0 ? 0 : 40, d[kD81Dir + 1] = dir_link_sector == 0 ? 0xFF : dir_link_sector;
  d[kD81Dir + 2] = 0x82, d[kD81Dir + 3] = 1, d[kD81Dir + 4] = 0;
  d[kD81Dir + 5] = 'A';
  std::fill_n(d.begin() + kD81Dir + 6, 15, 0xA0);
  d[0] = link_track, d[1] = link_sector, d[2] = 0x01, d[3] = 0x08, d[4] = 0x60;
  return d;
}

// A T64 of one program at $0801: `end` as the header gives it, `count` files.
std::vector<uint8_t> Tape(uint16_t end, uint16_t count, size_t body_size) {
  std::vector<uint8_t> t(64 + 32, 0);
  const std::string signature = "C64 tape image file";
  std::copy(signature.begin(), signature.end(), t.begin());
  t[0x22] = 1, t[0x24] = static_cast<uint8_t>(count);
  uint8_t* slot = &t[64];
  slot[0] = 1, slot[1] = 0x82, slot[2] = 0x01, slot[3] = 0x08, slot[4] = end & 0xFF, slot[5] = end >> 8;
  slot[8] = 96;
  const std::string name = "GAME            ";
  std::copy(name.begin(), name.end(), slot + 16);
  const std::vector<uint8_t> body = Body(body_size);
  t.insert(t.end(), body.begin(), body.end());
  return t;
}

TEST(ContainerQuirks, DiskImages) {
  const struct {
    const char* what;
    const char* file;
    std::vector<uint8_t> bytes;
    std::string message;
  } rows[] = {
      {"unknown D81 size", "x.d81", std::vector<uint8_t>(1000, 0),
       "Error: Error loading d81 image @x.d81: its size fits no .d81 image (819200, 822400 bytes)\n"},
      {"truncated D71", "x.d71", std::vector<uint8_t>(349695, 0),
       "Error: Error loading d71 image @x.d71: its size fits no .d71 image (349696, 351062 bytes)\n"},
      {"D81 directory loops", "x.d81", D81(0, 4, 3),
       "Info: Loading d81 image @x.d81\nError: Error loading d81 image: The directory chain loops or leaves the "
       "directory track\n"},
      {"D81 file runs off the disk", "x.d81", D81(81, 0, 0),
       "Info: Loading d81 image @x.d81\nError: Could not load file: a: a sector link points off the disk\n"},
  };
  test::ScratchDir dir;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    const std::string path = dir.File(row.file);
    test::WriteBytes(path, row.bytes);
    MsgLog log;
    ProgramFile out;
    EXPECT_FALSE(LoadFromImage(log, path + "::a", out));
    std::string expected = row.message;
    for (size_t at; (at = expected.find('@')) != std::string::npos;) expected.replace(at, 1, dir.Path() + "/");
    EXPECT_EQ(test::Transcript(log), expected);
  }
  // The good D81: one block, "A" (typed as "a") at $0801.
  test::WriteBytes(dir.File("ok.d81"), D81(0, 4, 0));
  MsgLog log;
  ProgramFile out;
  ASSERT_TRUE(LoadFromImage(log, dir.File("ok.d81") + "::a", out));
  EXPECT_EQ(out.Bytes(), (std::vector<uint8_t>{0x01, 0x08, 0x60}));
}

TEST(ContainerQuirks, TapeArchives) {
  const std::string warning_end = "Warning: T64 archive @: file \"game\" gives the end address $C3C6, but its data "
                                  "holds 100 bytes; those are taken\n";
  const struct {
    const char* what;
    std::vector<uint8_t> bytes;
    size_t loaded;  // body bytes, or 0 for a failed load
    std::string messages;
  } rows[] = {
      {"as written", Tape(0x0801 + 100, 1, 100), 100, ""},
      {"end address past the data", Tape(0xC3C6, 1, 100), 100, warning_end},
      {"end address before the start", Tape(0x0001, 1, 40), 40,
       "Warning: T64 archive @: file \"game\" gives the end address $0001, but its data holds 40 bytes; those are "
       "taken\n"},
      {"header counts no file", Tape(0x0801 + 100, 0, 100), 100,
       "Warning: T64 archive @: the header counts 0 files, the directory holds 1\n"},
      {"cut short", Tape(0x0801 + 100, 1, 60), 60,
       "Warning: T64 archive @: file \"game\" gives the end address $0865, but its data holds 60 bytes; those are "
       "taken\n"},
      {"shorter than the header", std::vector<uint8_t>(40, 'C'), 0,
       "Error: Error loading t64 archive @: it is shorter than a T64 header (64 bytes)\n"},
      {"no signature", std::vector<uint8_t>(200, 0), 0, "Error: Error loading t64 archive @: no T64 signature\n"},
  };
  test::ScratchDir dir;
  const std::string path = dir.File("tape.t64");
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    test::WriteBytes(path, row.bytes);
    MsgLog log;
    ProgramFile out;
    EXPECT_EQ(LoadFromImage(log, path + "::game", out), row.loaded != 0);
    std::string expected = row.messages;
    if (row.loaded != 0) expected += "Info: Loading t64 archive @\nInfo: Loaded: game\n";
    for (size_t at; (at = expected.find('@')) != std::string::npos;) expected.replace(at, 1, path);
    EXPECT_EQ(test::Transcript(log), expected);
    if (row.loaded == 0) continue;
    std::vector<uint8_t> prg{0x01, 0x08};
    const std::vector<uint8_t> body = Body(row.loaded);
    prg.insert(prg.end(), body.begin(), body.end());
    EXPECT_EQ(out.Bytes(), prg);
  }
}

// A PC64 header naming "GAME", then `body`.
std::vector<uint8_t> Pc64(const std::vector<uint8_t>& body) {
  std::vector<uint8_t> b(26 + body.size(), 0);
  const std::string head = std::string("C64File", 8) + "GAME";
  std::copy(head.begin(), head.end(), b.begin());
  std::copy(body.begin(), body.end(), b.begin() + 26);
  return b;
}

TEST(ContainerQuirks, Pc64Files) {
  const struct {
    const char* what;
    const char* file;
    std::vector<uint8_t> bytes;
    FileType type;
    std::string message;
  } rows[] = {
      {"program", "game.p00", Pc64({0x01, 0x08, 0x60}),
       FileType::Prg, "Info: Loaded @game.p00: C64 name \"game\"\n"},
      {"sequential file", "data.s00", Pc64({'H', 'I'}),
       FileType::Seq, "Info: Loaded @data.s00: C64 name \"game\"\n"},
      {"no header", "bad.p00", std::vector<uint8_t>(30, 1), FileType::Unspecified,
       "Error: Error loading file @bad.p00: no PC64 header (\"C64File\")\n"},
      {"program without address", "short.p00", Pc64({}), FileType::Unspecified,
       "Error: Error loading file @short.p00: the program has no load address\n"},
  };
  test::ScratchDir dir;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    test::WriteBytes(dir.File(row.file), row.bytes);
    MsgLog log;
    ProgramFile out;
    FileLocator locator;
    EXPECT_EQ(LoadProgramFile(log, locator, dir.File(row.file), FileType::Prg, out), row.type != FileType::Unspecified);
    std::string expected = row.message;
    expected.replace(expected.find('@'), 1, dir.Path() + "/");
    EXPECT_EQ(test::Transcript(log), expected);
    if (row.type == FileType::Unspecified) continue;
    EXPECT_EQ(out.type, row.type);
    EXPECT_EQ(out.name, "game");
    EXPECT_EQ(out.Bytes(), std::vector<uint8_t>(row.bytes.begin() + 26, row.bytes.end()));
  }
}

}  // namespace
}  // namespace vantrel
