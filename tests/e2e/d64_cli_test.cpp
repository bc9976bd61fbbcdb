// Disk images on the command line: save a program into a new image, load it
// back out, and read a real image made by another tool.
#include <gtest/gtest.h>

#include "test_support.h"

namespace vantrel {
namespace {

TEST(D64Cli, SavesIntoANewImageAndLoadsBack) {
  test::ScratchDir dir;
  test::WriteFile(dir.File("game.txt"), "10 PRINT \"HI\"\n");
  auto saved = test::RunVantrel(dir.Path(), {"game.txt", "-d64:work::\"GAME\""});
  EXPECT_EQ(saved.status, 0) << saved.output;
  auto loaded = test::RunVantrel(dir.Path(), {"work::\"G*\"", "-prg:back.prg"});
  EXPECT_EQ(loaded.status, 0) << loaded.output;
  // 10 PRINT "HI" as the C64 stores it at $0801.
  EXPECT_EQ(test::ReadFile(dir.File("back.prg")),
            std::string("\x01\x08\x0c\x08\x0a\x00\x99\x20\x22\x48\x49\x22\x00\x00\x00", 15));
}

TEST(D64Cli, LoadsFromACorpusImageByPattern) {
  test::ScratchDir dir;
  const std::string image = test::ReadFile(test::CorpusPath("card-games/Poker4-en.D64"));
  ASSERT_EQ(image.size(), 174848u);
  test::WriteFile(dir.File("poker.D64"), image);
  auto r = test::RunVantrel(dir.Path(), {"poker::\"start*\"", "-prg:start.prg"});
  EXPECT_EQ(r.status, 0) << r.output;
  EXPECT_EQ(test::ReadFile(dir.File("start.prg")),
            test::ReadFile(test::CorpusPath("card-games/prg/Poker4-en/start-poker-4-en.prg")));
}

}  // namespace
}  // namespace vantrel
