#include "image/binary_writers.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "image_test_helpers.h"
#include "test_support.h"

namespace vantrel {
namespace {

using test::ReadBytes;
using test::ReadFile;
using Bytes = std::vector<uint8_t>;
using Strings = std::vector<std::string>;

class WritersTest : public ::testing::Test {
 protected:
  WritersTest() : loader_(log_, locator_) { log_.SetEcho(false); }

  Strings Errors() const { return test::Texts(log_); }
  Strings Infos() const { return test::Texts(log_, MessageLevel::Info); }
  void Use(uint16_t address, uint8_t value) {
    image_.Write(address, value);
    image_.MarkUsed(address);
  }

  // Commits what the writers staged; false when that failed.
  bool Commit() { return out_.Commit(log_); }

  test::ScratchDir dir_;
  SourceLoaderMsgLog log_;
  FileLocator locator_;
  SourceLoader loader_;
  MemoryImage image_;
  ProgramFile file_ = test::MakePrg(0x0801, {0x0b, 0x08, 0x0a, 0x00, 0x9e});
  OutputSet out_;
};

TEST_F(WritersTest, BasicSide) {
  const std::string prg = dir_.File("game.prg"), bin = dir_.File("game.bin"), old = dir_.File("old");
  ASSERT_TRUE(SavePrg(log_, out_, prg, file_));
  ASSERT_TRUE(SaveBin(log_, out_, bin, file_));
  EXPECT_FALSE(test::FileExists(prg));  // staged until the commit
  ASSERT_TRUE(Commit());
  EXPECT_EQ(ReadBytes(prg), (Bytes{0x01, 0x08, 0x0b, 0x08, 0x0a, 0x00, 0x9e}));
  EXPECT_EQ(ReadBytes(bin), (Bytes{0x0b, 0x08, 0x0a, 0x00, 0x9e}));
  EXPECT_EQ(Infos(), (Strings{"==> Saving in .prg format: " + prg, "==> Saving in .bin format: " + bin}));

  test::WriteFile(old, "old");
  for (bool prg_side : {true, false}) {
    auto save = [&](const std::string& path, const ProgramFile& f) {
      return prg_side ? SavePrg(log_, out_, path, f) : SaveBin(log_, out_, path, f);
    };
    const std::string ext = prg_side ? ".prg" : ".bin";
    EXPECT_FALSE(save("CON", file_));
    EXPECT_FALSE(save("", file_));
    EXPECT_FALSE(save(old, file_));
    EXPECT_FALSE(save(dir_.File("empty"), ProgramFile()));
    EXPECT_FALSE(save(dir_.File("missing/x"), file_));
    EXPECT_FALSE(save(dir_.Path(), file_));
    const Strings errors = Errors();
    ASSERT_GE(errors.size(), 6u);
    EXPECT_EQ(Strings(errors.end() - 6, errors.end()),
              (Strings{"Can't output " + ext + " files to con", "No save filename specified",
                       "File already exists: " + old,
                       "Error saving " + ext + " file " + dir_.File("empty") + ": the program is empty",
                       "Can't open file " + dir_.File("missing/x") + " for writing: No such file or directory",
                       "Can't open file " + dir_.Path() + " for writing: Is a directory"}));
  }
  EXPECT_TRUE(out_.Empty());
  EXPECT_EQ(ReadFile(old), "old");
  EXPECT_EQ(test::EntriesIn(dir_.Path()), 3u);
  EXPECT_FALSE(test::FileExists("CON"));
}

TEST_F(WritersTest, AssemblerSide) {
  const std::string prg = dir_.File("demo.prg"), bin = dir_.File("demo.bin"), old = dir_.File("old");
  EXPECT_FALSE(SavePrg(log_, out_, prg, image_));
  EXPECT_FALSE(SaveBin(log_, out_, bin, image_));
  Use(0xc000, 0xa9);
  Use(0xc002, 0x60);
  ASSERT_TRUE(SavePrg(log_, out_, prg, image_));
  ASSERT_TRUE(SaveBin(log_, out_, bin, image_));
  ASSERT_TRUE(Commit());
  EXPECT_EQ(ReadBytes(prg), (Bytes{0x00, 0xc0, 0xa9, 0x00, 0x60}));
  EXPECT_EQ(ReadBytes(bin), (Bytes{0xa9, 0x00, 0x60}));

  test::WriteFile(old, "old");
  EXPECT_FALSE(SavePrg(log_, out_, "Con", image_));
  EXPECT_FALSE(SaveBin(log_, out_, "con", image_));
  EXPECT_FALSE(SavePrg(log_, out_, old, image_));
  EXPECT_FALSE(SaveBin(log_, out_, dir_.File("missing/a.bin"), image_));
  EXPECT_EQ(Errors(), (Strings{"No program to save", "No program to save", "Can't output .prg files to con",
                               "Can't output .bin files to con", "File already exists: " + old,
                               "Can't open file " + dir_.File("missing/a.bin") +
                                   " for writing: No such file or directory"}));
  EXPECT_TRUE(Infos().empty());
  EXPECT_EQ(ReadFile(old), "old");
  EXPECT_FALSE(test::FileExists("Con") || test::FileExists("con"));
}

TEST_F(WritersTest, Hex) {
  Use(0x0811, 0x41);
  const std::string hex = dir_.File("game.hex"), line = "0811: 41" + std::string(45, ' ') + "|A" + std::string(15, ' ');
  ASSERT_TRUE(SaveHex(log_, out_, hex, AddressRange::Reset(), image_));
  ASSERT_TRUE(Commit());
  EXPECT_EQ(ReadFile(hex), line + "\n");
  EXPECT_EQ(Infos(), Strings{"==> Saving in hex format: " + hex});

  Use(0x0801, 0x41);  // outside the range asked for
  testing::internal::CaptureStdout();
  EXPECT_TRUE(SaveHex(log_, out_, "CON", AddressRange(0x0811, 0x0811), image_));
  EXPECT_TRUE(Commit());
  EXPECT_EQ(testing::internal::GetCapturedStdout(), line + "\n");
  EXPECT_EQ(Infos().back(), "==> Exporting hex format");

  EXPECT_FALSE(SaveHex(log_, out_, hex, AddressRange::Reset(), image_));
  EXPECT_FALSE(SaveHex(log_, out_, "", AddressRange::Reset(), image_));
  EXPECT_FALSE(SaveHex(log_, out_, hex, AddressRange(0xc000, AddressRange::kAllOnes), image_));
  EXPECT_FALSE(SaveHex(log_, out_, dir_.File("missing/a.hex"), AddressRange::Reset(), image_));
  image_.Clear();
  EXPECT_FALSE(SaveHex(log_, out_, hex, AddressRange::Reset(), image_));
  EXPECT_EQ(Errors(), (Strings{"File already exists: " + hex, "No save filename specified", "Data range is empty",
                               "Can't open file " + dir_.File("missing/a.hex") +
                                   " for writing: No such file or directory",
                               "Data range is empty"}));
  EXPECT_EQ(test::EntriesIn(dir_.Path()), 1u);
}

TEST_F(WritersTest, HexRangeChoice) {
  Use(0x0801, 0x01);
  Use(0xc7ff, 0x02);
  const struct {
    AddressRange range;
    const char *first, *last;
    size_t lines;
  } rows[] = {
      {AddressRange::Reset(), "0801:", "c7f1:", 3072},
      {AddressRange(0x0900, 0x08ff), "0801:", "c7f1:", 3072},                 // end below start
      {AddressRange(0xc000, AddressRange::kAllOnes), "c000:", "c7f0:", 128},  // start alone
      {AddressRange(0xd000, 0xd010), "d000:", "d010:", 2},
      {AddressRange(0, 0xffff), "0000:", "fff0:", 4096},  // a range that ends on the last byte
  };
  const std::string hex = dir_.File("out.hex");
  out_.SetOverwrite(true);
  for (const auto& row : rows) {
    SCOPED_TRACE(row.range.Text());
    ASSERT_TRUE(SaveHex(log_, out_, hex, row.range, image_));
    ASSERT_TRUE(Commit());
    const std::string text = ReadFile(hex);
    EXPECT_EQ(static_cast<size_t>(std::count(text.begin(), text.end(), '\n')), row.lines);
    EXPECT_EQ(text.substr(0, 5), row.first);
    EXPECT_EQ(text.substr(text.rfind('\n', text.size() - 2) + 1, 5), row.last);
  }
}

}  // namespace
}  // namespace vantrel
