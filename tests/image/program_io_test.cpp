#include "image/program_io.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "test_support.h"

namespace vantrel {
namespace {

using test::ReadBytes;
using test::ScratchDir;
using test::WriteBytes;

const char kRealPrg[] = "card-games/prg/Poker4-en/start-poker-4-en.prg";

std::vector<std::string> Errors(const MsgLog& log) {
  std::vector<std::string> out;
  for (const MsgLogMsg& m : log.Messages())
    if (m.level == static_cast<int32_t>(MessageLevel::Error)) out.push_back(m.text);
  return out;
}

TEST(ReadProgramFile, HeaderRules) {
  struct Row {
    const char* what;
    FileType type;
    std::vector<uint8_t> bytes;
    bool ok;
    size_t data_size;
  };
  std::vector<uint8_t> rel_two(3 + 2 * 64, 0x55);
  rel_two[0] = 2, rel_two[1] = 0, rel_two[2] = 64;
  std::vector<uint8_t> rel_three = rel_two;
  rel_three[0] = 3;
  const Row rows[] = {
      {"PRG of two bytes", FileType::Prg, {0x01, 0x08}, true, 0},
      {"PRG of one byte", FileType::Prg, {0x01}, false, 0},
      {"empty PRG", FileType::Prg, {}, false, 0},
      {"REL, 2 records of 64", FileType::Rel, rel_two, true, 128},
      {"REL, 3 records claimed", FileType::Rel, rel_three, false, 0},
      {"REL header only", FileType::Rel, {0x00, 0x00, 0x10}, true, 0},
      {"REL short header", FileType::Rel, {0x00, 0x00}, false, 0},
      {"SEQ keeps every byte", FileType::Seq, {0x01, 0x08, 0x41}, true, 3},
      {"empty SEQ", FileType::Seq, {}, false, 0},
  };
  ScratchDir dir;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    WriteBytes(dir.File("f"), row.bytes);
    ProgramFile f;
    ASSERT_EQ(ReadProgramFile(dir.File("f"), row.type, f), row.ok);
    if (row.ok) {
      EXPECT_EQ(f.Size(), row.data_size);
    }
  }
}

TEST(ReadProgramFile, Fields) {
  ProgramFile f;
  ASSERT_TRUE(ReadProgramFile(test::CorpusPath(kRealPrg), FileType::Prg, f));
  EXPECT_EQ(f.load_address, 0x0801);
  EXPECT_FALSE(f.load_address_pending);
  EXPECT_EQ(f.Size(), 439u);
  EXPECT_EQ(f.Data()[0], 0x18);  // the first line's link, $0818

  ScratchDir dir;
  WriteBytes(dir.File("r"), {0x02, 0x00, 0x01, 0xaa, 0xbb});
  ASSERT_TRUE(ReadProgramFile(dir.File("r"), FileType::Rel, f));
  EXPECT_EQ(f.record_count, 2);
  EXPECT_EQ(f.record_length, 1);
  EXPECT_EQ(f.Bytes(), (std::vector<uint8_t>{0xaa, 0xbb}));

  EXPECT_FALSE(ReadProgramFile(dir.File("missing"), FileType::Seq, f));
  EXPECT_FALSE(ReadProgramFile(dir.Path(), FileType::Seq, f));
}

TEST(WriteProgramFile, LayoutPerType) {
  ProgramFile f;
  f.load_address = 0xc000;
  f.record_count = 2;
  f.record_length = 1;
  f.SetData({0xaa, 0xbb});
  ScratchDir dir;
  ASSERT_TRUE(WriteProgramFile(dir.File("p"), FileType::Prg, false, f));
  EXPECT_EQ(ReadBytes(dir.File("p")), (std::vector<uint8_t>{0x00, 0xc0, 0xaa, 0xbb}));
  ASSERT_TRUE(WriteProgramFile(dir.File("r"), FileType::Rel, false, f));
  EXPECT_EQ(ReadBytes(dir.File("r")), (std::vector<uint8_t>{0x02, 0x00, 0x01, 0xaa, 0xbb}));
  ASSERT_TRUE(WriteProgramFile(dir.File("s"), FileType::Seq, false, f));
  EXPECT_EQ(ReadBytes(dir.File("s")), (std::vector<uint8_t>{0xaa, 0xbb}));

  // A pending address is already in the data and is not written twice.
  f.load_address_pending = true;
  ASSERT_TRUE(WriteProgramFile(dir.File("p"), FileType::Prg, true, f));
  EXPECT_EQ(ReadBytes(dir.File("p")), (std::vector<uint8_t>{0xaa, 0xbb}));
}

TEST(WriteProgramFile, RealProgramRoundTrips) {
  ProgramFile f;
  ASSERT_TRUE(ReadProgramFile(test::CorpusPath(kRealPrg), FileType::Prg, f));
  ScratchDir dir;
  ASSERT_TRUE(WriteProgramFile(dir.File("copy.prg"), FileType::Prg, false, f));
  EXPECT_EQ(ReadBytes(dir.File("copy.prg")), ReadBytes(test::CorpusPath(kRealPrg)));
}

TEST(WriteProgramFile, Refusals) {
  ScratchDir dir;
  ProgramFile empty;
  EXPECT_FALSE(WriteProgramFile(dir.File("e"), FileType::Prg, true, empty));
  EXPECT_FALSE(test::FileExists(dir.File("e")));

  ProgramFile f;
  f.SetData({0x01});
  WriteBytes(dir.File("old"), {0x42, 0x43});
  EXPECT_FALSE(WriteProgramFile(dir.File("old"), FileType::Seq, false, f));
  EXPECT_EQ(ReadBytes(dir.File("old")), (std::vector<uint8_t>{0x42, 0x43}));
  EXPECT_FALSE(WriteProgramFile(dir.File("nodir/x"), FileType::Seq, true, f));
  EXPECT_FALSE(WriteProgramFile(dir.Path(), FileType::Seq, true, f));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
}

class LoadProgramFileTest : public ::testing::Test {
 protected:
  LoadProgramFileTest() { locator_.SetPrimary(HiPath(dir_.Path() + "/")); }

  bool Load(const std::string& path, FileType type) { return LoadProgramFile(log_, locator_, path, type, file_); }

  ScratchDir dir_;
  FileLocator locator_;
  MsgLog log_;
  ProgramFile file_;
};

TEST_F(LoadProgramFileTest, HostFiles) {
  WriteBytes(dir_.File("game.prg"), {0x01, 0x08, 0x00, 0x00});
  ASSERT_TRUE(Load("game.prg", FileType::Prg));
  EXPECT_EQ(file_.name, "game");
  EXPECT_EQ(file_.type, FileType::Prg);
  EXPECT_EQ(file_.load_address, 0x0801);
  EXPECT_EQ(file_.Size(), 2u);

  // Keep-the-type mode: the whole file is data, the type comes from the name.
  ASSERT_TRUE(Load("game.prg", FileType::Unspecified));
  EXPECT_EQ(file_.type, FileType::Prg);
  EXPECT_EQ(file_.Size(), 4u);
  EXPECT_EQ(file_.load_address, 0);

  WriteBytes(dir_.File("notes.SEQ"), {0x41});
  ASSERT_TRUE(Load("notes.SEQ", FileType::Unspecified));
  EXPECT_EQ(file_.type, FileType::Seq);
  WriteBytes(dir_.File("sprite.bin"), {0x41});
  ASSERT_TRUE(Load("sprite.bin", FileType::Unspecified));
  EXPECT_EQ(file_.type, FileType::Unspecified);
  EXPECT_TRUE(Errors(log_).empty());
}

TEST_F(LoadProgramFileTest, Errors) {
  WriteBytes(dir_.File("one.prg"), {0x01});
  WriteBytes(dir_.File("disk.d64"), std::vector<uint8_t>(174848, 0));
  EXPECT_FALSE(Load("", FileType::Prg));
  EXPECT_FALSE(Load("missing.prg", FileType::Prg));
  EXPECT_FALSE(Load("one.prg", FileType::Prg));
  EXPECT_FALSE(Load("games::ROCKET", FileType::Prg));
  EXPECT_FALSE(Load("disk::\"ROCKET\"", FileType::Prg));
  EXPECT_EQ(Errors(log_), (std::vector<std::string>{
                              "No filename specified",
                              "File not found: missing.prg",
                              "Error loading file " + dir_.File("one.prg"),
                              ".d64 file not found: games.d64",
                              "Loading from .d64 images is not supported yet",
                          }));
  EXPECT_EQ(file_.Size(), 0u);
}

TEST(FileTypeFromExtension, Names) {
  EXPECT_EQ(FileTypeFromExtension("del"), FileType::Del);
  EXPECT_EQ(FileTypeFromExtension("Seq"), FileType::Seq);
  EXPECT_EQ(FileTypeFromExtension("PRG"), FileType::Prg);
  EXPECT_EQ(FileTypeFromExtension("usr"), FileType::Usr);
  EXPECT_EQ(FileTypeFromExtension("rel"), FileType::Rel);
  EXPECT_EQ(FileTypeFromExtension("prgx"), FileType::Unspecified);
  EXPECT_EQ(FileTypeFromExtension(""), FileType::Unspecified);
}

}  // namespace
}  // namespace vantrel
