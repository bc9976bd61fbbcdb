// Disk images on the command line: save a program into a new image and load
// it back out, work on whole disks, and change one image from many runs at
// once.
#include <gtest/gtest.h>

#include "d64/d64_test_support.h"
#include "image/image_test_helpers.h"
#include "test_support.h"

namespace vantrel {
namespace {

struct Step {
  std::vector<std::string> args;
  int status;
  std::string output;
};

// One run per step; -quiet leaves the listing alone on the console. A step
// that fails leaves `image` as it was.
void RunSteps(const test::ScratchDir& dir, const std::string& image, const std::vector<Step>& steps) {
  for (const Step& step : steps) {
    SCOPED_TRACE(step.args.front() + " " + step.args.back());
    const std::string before = test::ReadFile(dir.File(image));
    std::vector<std::string> args = step.args;
    args.push_back("-quiet");
    const test::RunResult r = test::RunVantrel(dir.Path(), args);
    EXPECT_EQ(r.status, step.status);
    EXPECT_EQ(r.output, step.output);
    if (step.status != 0) {
      EXPECT_EQ(test::ReadFile(dir.File(image)), before);
    }
  }
}

TEST(D64Cli, WholeDiskOperations) {
  test::ScratchDir dir;
  test::WriteFile(dir.File("a.prg"), std::string("\x01\x08", 2) + std::string(10, 'A'));   // 1 block
  test::WriteFile(dir.File("b.prg"), std::string("\x00\xc0", 2) + std::string(300, 'B'));  // 2 blocks
  test::WriteFile(dir.File("data.seq"), "HELLO");
  // 10 PRINT "HI" as the C64 stores it at $0801.
  test::WriteFile(dir.File("x.prg"), std::string("\x01\x08\x0c\x08\x0a\x00\x99\x20\x22\x48\x49\x22\x00\x00\x00", 15));
  RunSteps(dir, "work.d64", {
      {{"work.d64", "-new:\"work disk,ab\"", "-add", "a.prg", "b.prg", "data.seq", "-dir"}, 0,
       "0 \"work disk       \" ab 2a\n"
       "1    \"a\"                prg\n"
       "2    \"b\"                prg\n"
       "1    \"data\"             seq\n"
       "660 blocks free.\n"},
      {{"work.d64", "-scratch:a", "-rename:c=b", "-add:\"Back\\slash\"=x.prg", "-dir"}, 0,
       "0 \"work disk       \" ab 2a\n"
       "1    \"Back\\slash\"       prg\n"
       "2    \"c\"                prg\n"
       "1    \"data\"             seq\n"
       "660 blocks free.\n"},
      {{"work.d64", "-scratch:nothere", "-add:x.prg"}, 1, "Error: Scratching nothere: File not found\n"},
      {{"work.d64", "-rename:data=c"}, 1, "Error: Renaming data=c: A file of this name already exists in the image\n"},
      {{"work.d64", "-add:x.prg", "-add:\"@:c\"=missing.prg"}, 1, "Error: Adding missing.prg: File not found\n"},
      {{"work.d64", "-new"}, 1, "Error: Formatting work.d64: the image exists; -ovr lets -new erase it\n"},
      {{"work.d64", "-prg"}, 1, "Error: -prg is not valid for a whole disk image: name a file in it, as work.d64::\"NAME\"\n"},
      {{"work.d64::\"Back\\slash\"", "-prg:back"}, 0, ""},  // back.prg beside the image
      // 16 byte columns of " xx", a bar, 16 character columns.
      {{"work.d64::#3", "-bin:data", "-hex:con"}, 0,
       "0000: 48 45 4c 4c 4f" + std::string(11 * 3, ' ') + "|HELLO" + std::string(11, ' ') + "\n"},
      {{"work.d64::data", "-prg"}, 1, "Error: \"data\" is a SEQ file, which has no load address: only -bin and -hex can take it\n"},
      {{"work.d64", "-extract"}, 0, ""},
      {{"work.d64::$"}, 0, "0 \"work disk       \" ab 2a\n"
                          "1    \"Back\\slash\"       prg\n"
                          "2    \"c\"                prg\n"
                          "1    \"data\"             seq\n"
                          "660 blocks free.\n"},
  });
  EXPECT_EQ(test::ReadFile(dir.File("back.prg")), test::ReadFile(dir.File("x.prg")));
  EXPECT_EQ(test::ReadFile(dir.File("data.bin")), "HELLO");
  EXPECT_EQ(test::ReadFile(dir.File("work/Back\\slash.prg")), test::ReadFile(dir.File("x.prg")));
  EXPECT_EQ(test::ReadFile(dir.File("work/c.prg")), test::ReadFile(dir.File("b.prg")));
  EXPECT_EQ(test::ReadFile(dir.File("work/data.seq")), "HELLO");
  EXPECT_EQ(test::EntriesIn(dir.File("work")), 3u);
}

// Every container takes the same forms: image::"NAME" for D64, D71, D81
// and T64, a .p00 wherever a .prg goes, and -p00 as an output.
TEST(D64Cli, OtherContainers) {
  test::ScratchDir dir;
  test::WriteFile(dir.File("game.txt"), "10 PRINT \"HI\"\n");
  // 10 PRINT "HI" as the C64 stores it at $0801, in a T64 archive named "GAME".
  const std::string body("\x0c\x08\x0a\x00\x99\x20\x22\x48\x49\x22\x00\x00\x00", 13);
  std::vector<uint8_t> prg{0x01, 0x08};
  prg.insert(prg.end(), body.begin(), body.end());
  test::WriteBytes(dir.File("tape.t64"), test::TapeArchive({{"GAME", prg}}));
  RunSteps(dir, "tape.t64", {
      {{"game.txt", "-d64:work::\"GAME\""}, 0, ""},
      {{"game.txt", "-d64:disk.d81::game", "-p00:game"}, 0, ""},
      {{"work::\"G*\"", "-prg:back.prg"}, 0, ""},
      {{"game.txt", "-d64:disk.d71::game"}, 0, ""},
      {{"disk.d81::game", "-txt:from81"}, 0, ""},
      {{"disk.d71::game", "-txt:from71"}, 0, ""},
      {{"game.p00", "-txt:from00"}, 0, ""},
      {{"tape.t64::\"g*\"", "-txt:from64"}, 0, ""},
      {{"tape.t64"}, 0, "0 \"game tape       \" t64\n1    \"game\"             prg\n"},
      {{"disk.d81"}, 0, "0 \"disk            \" 64 3d\n1    \"game\"             prg\n3159 blocks free.\n"},
      {{"disk.d81", "-rename:play=game", "-add:game.p00", "-dir"}, 0,  // as the file the .p00 holds
       "0 \"disk            \" 64 3d\n1    \"play\"             prg\n1    \"game\"             prg\n"
       "3158 blocks free.\n"},
      {{"disk.d81", "-scratch:play", "-dir"}, 0,
       "0 \"disk            \" 64 3d\n1    \"game\"             prg\n3159 blocks free.\n"},
      {{"tape.t64", "-add:game.p00"}, 1,
       "Error: T64 archive tape.t64 can't be changed: -new, -add, -scratch and -rename are for disk images\n"},
      {{"game.txt", "-d64:tape.t64::game"}, 1,
       "Error: T64 archive tape.t64 can't be changed: save to a .d64, .d71 or .d81 image\n"},
  });
  EXPECT_EQ(test::ReadFile(dir.File("back.prg")), std::string("\x01\x08", 2) + body);
  EXPECT_EQ(test::ReadFile(dir.File("disk.d81")).size(), 819200u);
  EXPECT_EQ(test::ReadFile(dir.File("disk.d71")).size(), 349696u);
  EXPECT_EQ(test::ReadFile(dir.File("game.p00")), std::string("C64File\0GAME", 12) + std::string(12, '\xa0') +
                                                     std::string("\0\0\x01\x08", 4) + body);
  for (const char* text : {"from81.txt", "from71.txt", "from00.txt", "from64.txt"})
    EXPECT_EQ(test::ReadFile(dir.File(text)), "10 PRINT \"HI\"\n") << text;
}

// Runs saving into one image at once each wait for the one before, so
// every file lands, whether the image exists or is being made.
TEST(D64Cli, ConcurrentSavesAllLand) {
  test::ScratchDir dir;
  for (int i = 0; i < 8; ++i) {
    const std::string n = std::to_string(i);
    test::WriteFile(dir.File("p" + n + ".txt"), std::string("10 PRINT ") += n + "\n");
  }
  for (int runs : {2, 8}) {
    SCOPED_TRACE(runs);
    std::string script = "cd '" + dir.Path() + "' && for round in 1 2 3 4 5 6 7 8 9 10; do rm -f disk.d64; ";
    for (int i = 0; i < runs; ++i)
      script += "'" VANTREL_BINARY "' p" + std::to_string(i) + ".txt -d64:disk.d64::p" + std::to_string(i) + " -ovr -q & ";
    script += "wait; '" VANTREL_BINARY "' disk.d64 -q | grep -c prg; done";
    std::string expected;
    for (int round = 0; round < 10; ++round) expected += std::to_string(runs) + "\n";
    EXPECT_EQ(test::RunShell(script).output, expected);
  }
  EXPECT_EQ(test::EntriesIn(dir.Path()), 9u);  // no lock or temporary file left
}

}  // namespace
}  // namespace vantrel
