#include "d64/program_load.h"

#include <gtest/gtest.h>

#include "image/image_test_helpers.h"
#include "test_support.h"

namespace vantrel {
namespace {

using test::WriteBytes;
using Bytes = std::vector<uint8_t>;

TEST(ProgramLoad, ThroughLocator) {
  test::ScratchDir dir;
  FileLocator locator;
  locator.SetPrimary(HiPath(dir.Path() + "/"));
  MsgLog log;
  ProgramFile f;
  WriteBytes(dir.File("game.prg"), {0x01, 0x08, 0x00, 0x00});
  ASSERT_TRUE(LoadProgramFile(log, locator, "game.prg", FileType::Prg, f));
  EXPECT_EQ(f.name, "game");
  EXPECT_EQ(f.load_address, 0x0801);
  EXPECT_EQ(f.Size(), 2u);
  // Keep-the-type mode: the whole file is data, the type comes from the name.
  ASSERT_TRUE(LoadProgramFile(log, locator, "game.prg", FileType::Unspecified, f));
  EXPECT_EQ(f.type, FileType::Prg);
  EXPECT_EQ(f.Size(), 4u);
  WriteBytes(dir.File("notes.Seq"), {0x41});
  ASSERT_TRUE(LoadProgramFile(log, locator, "notes.Seq", FileType::Unspecified, f));
  EXPECT_EQ(f.type, FileType::Seq);
  EXPECT_TRUE(test::Texts(log).empty());

  WriteBytes(dir.File("one.prg"), {0x01});
  WriteBytes(dir.File("disk.d64"), Bytes(174848, 0));
  for (const char* path : {"", "missing.prg", "one.prg", "games::ROCKET", "disk::\"ROCKET\""})
    EXPECT_FALSE(LoadProgramFile(log, locator, path, FileType::Prg, f));
  EXPECT_EQ(test::Texts(log), (std::vector<std::string>{
                                  "No filename specified",
                                  "File not found: missing.prg",
                                  "Error loading file " + dir.File("one.prg"),
                                  ".d64 file not found: games.d64",
                                  "File not found",
                              }));
}

}  // namespace
}  // namespace vantrel
