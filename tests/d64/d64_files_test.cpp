#include "d64/d64_files.h"

#include <sys/stat.h>

#include <filesystem>

#include <gtest/gtest.h>

#include "d64/d64_test_support.h"
#include "test_support.h"

namespace vantrel {
namespace {

using test::ReadBytes;
using test::Transcript;

class D64Files : public ::testing::Test {
 protected:
  std::string Save(const std::string& name, const ProgramFile& file, bool overwrite = true) {
    MsgLog log;
    SaveToImage(log, image_ + "::" + name, file, "64", overwrite);
    return Transcript(log);
  }
  std::string Load(const std::string& text, ProgramFile& out) {
    MsgLog log;
    LoadFromImage(log, text, out);
    return Transcript(log);
  }

  test::ScratchDir dir_;
  std::string image_ = dir_.File("new.d64");
};

TEST_F(D64Files, SaveCreatesTheImageAndLoadGivesTheFileBack) {
  const ProgramFile prg = test::MakePrg(0x0801, 600);
  EXPECT_EQ(Save("MYPROG", prg, false), "Info: Image file not found; creating new one\n"
                                        "Info: Saving MYPROG: Ok\nInfo: Writing d64 file " + image_ + "\n");
  const std::vector<uint8_t> disk = ReadBytes(image_);
  ASSERT_EQ(disk.size(), 174848u);
  EXPECT_EQ(std::string(disk.begin() + test::kBam + 0x90, disk.begin() + test::kBam + 0x94), "NEW\xA0");
  EXPECT_EQ(std::string(disk.begin() + test::kBam + 0xA2, disk.begin() + test::kBam + 0xA4), "64");
  ProgramFile out;
  EXPECT_EQ(Load(image_ + "::MYPROG", out), "Info: Loading d64 image " + image_ + "\nInfo: Loaded: MYPROG\n");
  EXPECT_EQ(out.type, FileType::Prg);
  EXPECT_TRUE(out.load_address_pending);
  EXPECT_EQ(out.Bytes(), test::PrgBytes(prg));
  EXPECT_EQ(out.TakeLoadAddress(), 0x0801);
}

TEST_F(D64Files, ReplaceNeedsThePrefixAndTheOverwritePermission) {
  Save("MYPROG", test::MakePrg(0x0801, 3000, 1));
  const std::vector<uint8_t> before = ReadBytes(image_);
  EXPECT_EQ(Save("MYPROG", test::MakePrg(0x0801, 10, 2)),
            "Info: Loading d64 image " + image_ + "\nError: Saving MYPROG: A file of this name already exists in the image\n");
  EXPECT_EQ(Save("@:MYPROG", test::MakePrg(0x0801, 10, 2), false),
            "Info: Loading d64 image " + image_ + "\nInfo: Saving MYPROG: Replaced\nError: d64 exists\n");
  EXPECT_EQ(ReadBytes(image_), before);
  EXPECT_EQ(Save("@0:MYPROG", test::MakePrg(0x1000, 10, 2)),
            "Info: Loading d64 image " + image_ + "\nInfo: Saving MYPROG: Replaced\nInfo: Writing d64 file " + image_ + "\n");
  ProgramFile out;
  Load(image_ + "::MYPROG", out);
  EXPECT_EQ(out.Bytes(), test::PrgBytes(test::MakePrg(0x1000, 10, 2)));
  // The 12 blocks of the old file are free again; the new one takes 1.
  D64Image disk;
  ASSERT_EQ(disk.ReadImageFile(image_, true), ImageFileStatus::Ok);
  EXPECT_EQ(disk.FreeBlocks(), 663);
}

TEST_F(D64Files, RefusedSavesLeaveTheImageAlone) {
  Save("ROCKET", test::MakePrg(0x0801, 100));
  std::vector<uint8_t> locked = ReadBytes(image_);
  locked[test::kDir + 2] |= 0x40;
  test::WriteBytes(image_, locked);
  const std::string loading = "Info: Loading d64 image " + image_ + "\n";
  struct Row {
    const char* name;
    std::string transcript;
  };
  const Row rows[] = {
      {"@:ROCKET", loading + "Error: Saving ROCKET: File is locked\n"},
      {"ROCK*", loading + "Error: Saving ROCK*: Filename can't contain wildcards\n"},
      {"DATA,REL", loading + "Error: Saving DATA: Error\n"},
      {"0:ROCKET", "Error: Incorrect D64::C64 filename syntax\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(Save(row.name, test::MakePrg(0x0801, 5)), row.transcript);
    EXPECT_EQ(ReadBytes(image_), locked);
  }
  // Read-only by its mode bits, which also binds root.
  chmod(image_.c_str(), 0444);
  EXPECT_EQ(Save("OTHER", test::MakePrg(0x0801, 5)), loading + "Error: D64 image is read-only\n");
  EXPECT_EQ(ReadBytes(image_), locked);
  ProgramFile out;
  EXPECT_EQ(Load(image_ + "::ROCKET", out), loading + "Info: Loaded: ROCKET\n");
}

TEST_F(D64Files, LookupMessages) {
  Save("ROCKET", test::MakePrg(0x0801, 100));
  Save("DATA,S", test::MakePrg(0x0801, 100));
  const std::string loading = "Info: Loading d64 image " + image_ + "\n";
  struct Row {
    std::string text;
    std::string transcript;
  };
  const Row rows[] = {
      {image_ + "::ROCK*", loading + "Info: Searching for ROCK*\nInfo: Found ROCKET\nInfo: Loaded: ROCKET\n"},
      {image_ + "::rocket", loading + "Error: File not found\n"},
      {image_ + "::X*", loading + "Info: Searching for X*\nError: No matching file found\n"},
      {image_ + "::DATA", loading + "Error: File not found\n"},
      {image_ + "::DATA,S", loading + "Info: Loaded: DATA\n"},
      {dir_.File("games.prg::ROCKET"), "Error: d64 image type not specified\n"},
      {dir_.File("missing::ROCKET"), "Error: d64 image not found: " + dir_.File("missing.d64") + "\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    ProgramFile out;
    EXPECT_EQ(Load(row.text, out), row.transcript);
  }
  ProgramFile seq;
  Load(image_ + "::DATA,S", seq);
  EXPECT_EQ(seq.type, FileType::Seq);
  EXPECT_EQ(seq.Bytes(), test::MakePrg(0x0801, 100).Bytes());  // no load address on a SEQ
}

TEST_F(D64Files, UpperCaseImageExtensionIsFound) {
  const std::string upper = dir_.File("Poker4.D64");
  std::filesystem::copy_file(test::CorpusPath("card-games/Poker4.D64"), upper);
  chmod(upper.c_str(), 0644);
  ProgramFile out;
  EXPECT_EQ(Load(dir_.File("Poker4::START POKER 4"), out),
            "Info: Loading d64 image " + upper + "\nInfo: Loaded: START POKER 4\n");
  MsgLog log;
  EXPECT_TRUE(SaveToImage(log, dir_.File("Poker4::EXTRA"), test::MakePrg(0x0801, 10), "64", true));
  EXPECT_FALSE(test::FileExists(dir_.File("Poker4.d64")));
  EXPECT_EQ(Load(dir_.File("Poker4::EXTRA"), out), "Info: Loading d64 image " + upper + "\nInfo: Loaded: EXTRA\n");
}

// Each file of the real images against its separate .prg copy.
TEST(D64Corpus, FilesLoadAsTheirPrgCopies) {
  struct Row {
    const char* image;
    const char* name;
    const char* prg;
  };
  const Row rows[] = {
      {"BlackJack", "START BLACK JACK", "BlackJack/start-black-jack.prg"},
      {"BlackJack", "BLACK JACK", "BlackJack/black-jack.prg"},
      {"BlackJack", "CARD SYMBOLS", "BlackJack/card-symbols.prg"},
      {"BlackJack", "CARD ROUTINES", "BlackJack/card-routines.prg"},
      {"Briscola", "START BRISCOLA", "Briscola/start-briscola.prg"},
      {"Briscola", "BRISCOLA", "Briscola/briscola.prg"},
      {"Briscola-en", "START BRISCOLA E", "Briscola-en/start-briscola-en.prg"},
      {"Briscola-en", "BRISCOLA EN", "Briscola-en/briscola-en.prg"},
      {"Briscola-en", "CARD SYMBOLS", "Briscola-en/card-symbols.prg"},
      {"Briscola-it", "START BRISCOLA I", "Briscola-it/start-briscola-i.prg"},
      {"Briscola-it", "BRISCOLA IT", "Briscola-it/briscola-it.prg"},
      {"Poker4", "START POKER 4", "Poker4/start-poker-4.prg"},
      {"Poker4", "POKER 4", "Poker4/poker-4.prg"},
      {"Poker4", "\x81PIC A POKER 4", "Poker4/pic-a-poker-4.prg"},
      {"Poker4", "?PRG B*", "Poker4/prg-b-poker-4.prg"},
      {"Poker4-en", "POKER 4 EN", "Poker4-en/poker-4-en.prg"},
      {"Poker4-en", ".PRG A POKER 4", "Poker4-en/prg-a-poker-4.prg"},
      {"Poker4-it", "START POKER 4 IT", "Poker4-it/start-poker-4-it.prg"},
      {"Poker4-it", "POKER 4 IT", "Poker4-it/poker-4-it.prg"},
      {"Test-clipping", "CARD ROUTINES 2", "Test/card-routines-clipping.prg"},
      {"Test-clipping", "TEST CLIPPING", "Test/test-clipping.prg"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.image) + " " + row.name);
    MsgLog log;
    ProgramFile out;
    const std::string image = test::CorpusPath(std::string("card-games/") + row.image + ".D64");
    ASSERT_TRUE(LoadFromImage(log, image + "::" + row.name, out)) << Transcript(log);
    EXPECT_EQ(out.Bytes(), ReadBytes(test::CorpusPath(std::string("card-games/prg/") + row.prg)));
  }
}

TEST(D64Corpus, AddingAFileKeepsTheOthers) {
  test::ScratchDir dir;
  for (const char* name : {"BlackJack", "Poker4"}) {
    SCOPED_TRACE(name);
    const std::string image = dir.File(std::string(name) + ".d64");
    std::filesystem::copy_file(test::CorpusPath(std::string("card-games/") + name + ".D64"), image);
    chmod(image.c_str(), 0644);
    D64Image before;
    ASSERT_EQ(before.ReadImageFile(image, true), ImageFileStatus::Ok);
    MsgLog log;
    const ProgramFile added = test::MakePrg(0xC000, 5000);
    ASSERT_TRUE(SaveToImage(log, image + "::ADDED", added, "64", true)) << Transcript(log);
    D64Image after;
    ASSERT_EQ(after.ReadImageFile(image, true), ImageFileStatus::Ok);
    EXPECT_EQ(after.FreeBlocks(), before.FreeBlocks() - 20);
    std::vector<SectorPosition> positions;
    ASSERT_TRUE(before.DirectoryPositions(positions));
    for (SectorPosition pos : positions) {
      if (before.PositionAt(pos)[2] == 0) continue;
      std::vector<uint8_t> old_bytes, new_bytes;
      const TrackSector start{before.PositionAt(pos)[3], before.PositionAt(pos)[4]};
      ASSERT_TRUE(before.ReadChainData(start, 70000, old_bytes));
      ASSERT_TRUE(after.ReadChainData(start, 70000, new_bytes));
      EXPECT_EQ(old_bytes, new_bytes);
    }
    ProgramFile out;
    ASSERT_TRUE(LoadFromImage(log, image + "::ADDED", out));
    EXPECT_EQ(out.Bytes(), test::PrgBytes(added));
  }
}

}  // namespace
}  // namespace vantrel
