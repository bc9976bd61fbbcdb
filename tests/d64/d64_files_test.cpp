#include "d64/d64_files.h"

#include <sys/stat.h>

#include <filesystem>

#include <gtest/gtest.h>

#include "d64/d64_test_support.h"
#include "image/image_test_helpers.h"
#include "image/output_set.h"
#include "test_support.h"

namespace vantrel {
namespace {

using test::ReadBytes;
using test::Transcript;

class D64Files : public ::testing::Test {
 protected:
  std::string Save(const std::string& name, const ProgramFile& file, bool overwrite = true) {
    MsgLog log;
    test::SaveNow(log, image_ + "::" + name, file, overwrite);
    return Transcript(log);
  }
  std::string Load(const std::string& text, ProgramFile& out) {
    MsgLog log;
    LoadFromImage(log, text, out);
    return Transcript(log);
  }

  test::ScratchDir dir_;
  std::string image_ = dir_.File("new.d64");
  std::string loading_ = "Info: Loading d64 image " + image_ + "\n";
};

TEST_F(D64Files, SaveCreatesTheImageAndReplacesOnlyWhenAsked) {
  const ProgramFile first = test::MakePrg(0x0801, 3000, 1);  // 12 blocks
  EXPECT_EQ(Save("MYPROG", first, false), "Info: Image file not found; creating new one\n"
                                          "Info: Saving MYPROG: Ok\nInfo: Writing d64 file " + image_ + "\n");
  const std::vector<uint8_t> disk = ReadBytes(image_);
  EXPECT_EQ(std::string(disk.begin() + test::kBam + 0x90, disk.begin() + test::kBam + 0xA4),
            "NEW\xA0\xA0\xA0\xA0\xA0\xA0\xA0\xA0\xA0\xA0\xA0\xA0\xA0\xA0\xA0" "64");
  ProgramFile out;
  EXPECT_EQ(Load(image_ + "::MYPROG", out), loading_ + "Info: Loaded: MYPROG\n");
  EXPECT_TRUE(out.load_address_pending);
  EXPECT_EQ(out.Bytes(), test::PrgBytes(first));

  const ProgramFile second = test::MakePrg(0x1000, 10, 2);
  EXPECT_EQ(Save("MYPROG", second), loading_ + "Error: Saving MYPROG: A file of this name already exists in the image\n");
  EXPECT_EQ(Save("@:MYPROG", second, false), loading_ + "Info: Saving MYPROG: Replaced\nError: d64 exists\n");
  EXPECT_EQ(ReadBytes(image_), disk);
  EXPECT_EQ(Save("@0:MYPROG", second), loading_ + "Info: Saving MYPROG: Replaced\nInfo: Writing d64 file " + image_ + "\n");
  Load(image_ + "::MYPROG", out);
  EXPECT_EQ(out.Bytes(), test::PrgBytes(second));
  D64Image image;
  ASSERT_EQ(image.ReadImageFile(image_, true), ImageFileStatus::Ok);
  EXPECT_EQ(image.FreeBlocks(), 663);  // the old 12 blocks are free again
}

TEST_F(D64Files, RefusedSavesLeaveTheImageAlone) {
  Save("ROCKET", test::MakePrg(0x0801, 100));
  std::vector<uint8_t> locked = ReadBytes(image_);
  locked[test::kDir + 2] |= 0x40;
  test::WriteBytes(image_, locked);
  const std::pair<const char*, std::string> rows[] = {
      {"@:ROCKET", loading_ + "Error: Saving ROCKET: File is locked\n"},
      {"ROCK*", loading_ + "Error: Saving ROCK*: Filename can't contain wildcards\n"},
      {"@:ROCKET,S", loading_ + "Error: Saving ROCKET: File type mismatch: it is a PRG file\n"},
      {"DATA,REL", loading_ + "Error: Saving DATA: REL files can't be written\n"},
      {"0:ROCKET", "Error: Incorrect D64::C64 filename syntax\n"},
      // Names that a later lookup would not find again.
      {"ABCDEFGHIJKLMNOPQ", loading_ + "Error: Saving ABCDEFGHIJKLMNOPQ: Name is longer than 16 characters\n"},
      {"A{$a0}B", loading_ + "Error: Saving A{$a0}B: Name can't contain {$a0}\n"},
      {"#1", loading_ + "Error: Saving #1: #N selects a file by its place: replace it with @:#N\n"},
  };
  for (const auto& [name, transcript] : rows) {
    SCOPED_TRACE(name);
    EXPECT_EQ(Save(name, test::MakePrg(0x0801, 5)), transcript);
    EXPECT_EQ(ReadBytes(image_), locked);
  }
  // Read-only by the owner write bit, which binds root too.
  chmod(image_.c_str(), 0444);
  EXPECT_EQ(Save("OTHER", test::MakePrg(0x0801, 5)), loading_ + "Error: D64 image is read-only\n");
  EXPECT_EQ(ReadBytes(image_), locked);
  ProgramFile out;
  EXPECT_EQ(Load(image_ + "::ROCKET", out), loading_ + "Info: Loaded: ROCKET\n");
}

// A save that cannot be written leaves the image byte-identical and nothing
// beside it; a path no image can be at creates nothing.
TEST_F(D64Files, FailedImageWritesLeaveItAlone) {
  Save("ROCKET", test::MakePrg(0x0801, 100));
  const std::vector<uint8_t> disk = ReadBytes(image_);
  const std::pair<WriteFault, const char*> faults[] = {{WriteFault::ShortWrite, "No space left on device"},
                                                       {WriteFault::FailedClose, "Input/output error"},
                                                       {WriteFault::FailedRename, "Invalid cross-device link"}};
  for (const auto& [fault, reason] : faults) {
    SCOPED_TRACE(reason);
    InjectWriteFaultForTesting(fault);
    EXPECT_EQ(Save("OTHER", test::MakePrg(0x0801, 5)), loading_ + "Info: Saving OTHER: Ok\nInfo: Writing d64 file " +
                                                           image_ + "\nError: Error saving d64 file " + image_ + ": " +
                                                           reason + "\n");
    EXPECT_EQ(ReadBytes(image_), disk);
    EXPECT_EQ(test::EntriesIn(dir_.Path()), 1u);
  }
  const std::string fifo = dir_.File("fifo.d64"), folder = dir_.File("folder.d64");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  std::filesystem::create_directory(folder);
  const std::pair<std::string, const char*> targets[] = {{fifo, "Not a regular file"},
                                                         {folder, "Not a regular file"},
                                                         {dir_.File("missing/new.d64"), "No such file or directory"}};
  for (const auto& [path, reason] : targets) {
    SCOPED_TRACE(path);
    MsgLog log;
    EXPECT_FALSE(test::SaveNow(log, path + "::OTHER", test::MakePrg(0x0801, 5), true));
    EXPECT_EQ(Transcript(log), "Info: Image file not found; creating new one\nInfo: Saving OTHER: Ok\n"
                               "Error: Error saving d64 file " + path + ": " + reason + "\n");
    ProgramFile out;
    EXPECT_EQ(Load(path + "::OTHER", out), "Error: d64 image not found: " + path + "\n");
  }
  EXPECT_TRUE(std::filesystem::is_fifo(fifo) && std::filesystem::is_empty(folder));
  EXPECT_EQ(test::EntriesIn(dir_.Path()), 3u);
}

TEST_F(D64Files, LookupMessages) {
  Save("ROCKET", test::MakePrg(0x0801, 100));
  Save("DATA,S", test::MakePrg(0x0801, 100));
  const std::pair<std::string, std::string> rows[] = {
      {image_ + "::ROCK*", loading_ + "Info: Searching for ROCK*\nInfo: Found ROCKET\nInfo: Loaded: ROCKET\n"},
      {image_ + "::rocket", loading_ + "Error: File not found\nInfo: Did you mean \"ROCKET\"? Letter case counts: "
                                        "a-z are the letters a C64 shows after power-up, A-Z their shifted forms\n"},
      {image_ + "::X*", loading_ + "Info: Searching for X*\nError: No matching file found\n"},
      {image_ + "::DATA,P", loading_ + "Error: File not found\nInfo: \"DATA\" is a SEQ file\n"},
      {image_ + "::#2", loading_ + "Info: Loaded: DATA\n"},
      {image_ + "::#3", loading_ + "Error: No file at place 3 of the directory, which lists 2\n"},
      {dir_.File("games.prg::ROCKET"), "Error: d64 image type not specified\n"},
      {dir_.File("missing::ROCKET"), "Error: d64 image not found: " + dir_.File("missing.d64") + "\n"},
  };
  for (const auto& [text, transcript] : rows) {
    SCOPED_TRACE(text);
    ProgramFile out;
    EXPECT_EQ(Load(text, out), transcript);
  }
  ProgramFile seq;
  EXPECT_EQ(Load(image_ + "::DATA", seq), loading_ + "Info: Loaded: DATA\n");
  EXPECT_EQ(seq.type, FileType::Seq);
  EXPECT_EQ(seq.Bytes(), test::MakePrg(0x0801, 100).Bytes());  // a SEQ has no load address
}

struct CorpusFile {
  const char* image;
  const char* name;
  const char* prg;
};

// Files of the real images that also exist as separate .prg files, named
// as a C64 user types them: lower case here.
constexpr CorpusFile kCorpusFiles[] = {
    {"BlackJack", "start black jack", "BlackJack/start-black-jack.prg"},
    {"BlackJack", "black jack", "BlackJack/black-jack.prg"},
    {"BlackJack", "card routines", "BlackJack/card-routines.prg"},
    {"Briscola", "briscola", "Briscola/briscola.prg"},
    {"Briscola-en", "start briscola e", "Briscola-en/start-briscola-en.prg"},
    {"Briscola-it", "briscola it", "Briscola-it/briscola-it.prg"},
    {"Poker4", "poker 4", "Poker4/poker-4.prg"},
    {"Poker4", "{$81}pic a poker 4 ", "Poker4/pic-a-poker-4.prg"},  // a colour code, a trailing blank
    {"Poker4", "?prg b*", "Poker4/prg-b-poker-4.prg"},
    {"Poker4-en", ".prg a poker 4 ", "Poker4-en/prg-a-poker-4.prg"},
    {"Poker4-it", "poker 4 it", "Poker4-it/poker-4-it.prg"},
    {"Test-clipping", "card routines 2", "Test/card-routines-clipping.prg"},
};

void ExpectCorpusFiles(const std::string& image_name, const std::string& image_path) {
  for (const CorpusFile& row : kCorpusFiles) {
    if (row.image != image_name) continue;
    SCOPED_TRACE(row.name);
    MsgLog log;
    ProgramFile out;
    ASSERT_TRUE(LoadFromImage(log, image_path + "::" + row.name, out)) << Transcript(log);
    EXPECT_EQ(out.Bytes(), ReadBytes(test::CorpusPath(std::string("card-games/prg/") + row.prg)));
  }
}

TEST(D64Corpus, FilesLoadAsTheirPrgCopies) {
  for (const char* image : {"BlackJack", "Briscola", "Briscola-en", "Briscola-it", "Poker4", "Poker4-en",
                            "Poker4-it", "Test-clipping"}) {
    ExpectCorpusFiles(image, test::CorpusPath(std::string("card-games/") + image + ".D64"));
  }
}

// Saved under its own name without extension: "Poker4.D64" is found
// through the upper-case extension and kept, not shadowed by a new .d64.
TEST(D64Corpus, AddingAFileKeepsTheOthers) {
  test::ScratchDir dir;
  for (const char* image : {"BlackJack", "Poker4"}) {
    SCOPED_TRACE(image);
    const std::string copy = dir.File(std::string(image) + ".D64");
    std::filesystem::copy_file(test::CorpusPath(std::string("card-games/") + image + ".D64"), copy);
    chmod(copy.c_str(), 0644);
    MsgLog log;
    const ProgramFile added = test::MakePrg(0xC000, 5000);
    ASSERT_TRUE(test::SaveNow(log, dir.File(image) + "::ADDED", added, true)) << Transcript(log);
    EXPECT_FALSE(test::FileExists(dir.File(std::string(image) + ".d64")));
    ExpectCorpusFiles(image, copy);
    ProgramFile out;
    ASSERT_TRUE(LoadFromImage(log, dir.File(image) + "::ADDED", out));
    EXPECT_EQ(out.Bytes(), test::PrgBytes(added));
  }
}

}  // namespace
}  // namespace vantrel
