#include "image/binary_writers.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <functional>

#include "image/output_file.h"
#include "image/safe_write.h"
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

  struct Writer {
    std::function<bool()> save;
    std::string error;
  };
  // Every writer, told to overwrite `path`, with the error a failed write gives.
  std::vector<Writer> Writers(const std::string& path) {
    return {
        {[=, this] { return SavePrg(log_, path, file_, true); }, "Error saving .prg file"},
        {[=, this] { return SaveBin(log_, path, file_, true); }, "Error saving .bin file"},
        {[=, this] { return SavePrg(loader_, path, image_, true); }, "Error saving file " + path},
        {[=, this] { return SaveBin(loader_, path, image_, true); }, "Error saving file " + path},
        {[=, this] { return SaveHex(loader_, path, true, AddressRange::Reset(), image_); }, "Error saving .hex file"},
        {[=, this] { return SaveTextOutput(log_, path, true, std::string(10000, 'x')); }, "Error writing " + path},
    };
  }

  test::ScratchDir dir_;
  SourceLoaderMsgLog log_;
  FileLocator locator_;
  SourceLoader loader_;
  MemoryImage image_;
  ProgramFile file_ = test::MakePrg(0x0801, {0x0b, 0x08, 0x0a, 0x00, 0x9e});
};

TEST_F(WritersTest, BasicSide) {
  const std::string prg = dir_.File("game.prg"), bin = dir_.File("game.bin"), old = dir_.File("old");
  ASSERT_TRUE(SavePrg(log_, prg, file_, false));
  ASSERT_TRUE(SaveBin(log_, bin, file_, false));
  EXPECT_EQ(ReadBytes(prg), (Bytes{0x01, 0x08, 0x0b, 0x08, 0x0a, 0x00, 0x9e}));
  EXPECT_EQ(ReadBytes(bin), (Bytes{0x0b, 0x08, 0x0a, 0x00, 0x9e}));
  EXPECT_EQ(Infos(), (Strings{"==> Saving in .prg format: " + prg, "==> Saving in .bin format: " + bin}));

  test::WriteFile(old, "old");
  for (bool prg_side : {true, false}) {
    auto save = [&](const std::string& path, const ProgramFile& f) {
      return prg_side ? SavePrg(log_, path, f, false) : SaveBin(log_, path, f, false);
    };
    const std::string ext = prg_side ? ".prg" : ".bin";
    EXPECT_FALSE(save("CON", file_));
    EXPECT_FALSE(save("", file_));
    EXPECT_FALSE(save(old, file_));
    EXPECT_FALSE(save(dir_.File("empty"), ProgramFile()));
    EXPECT_FALSE(save(dir_.File("missing/x"), file_));
    EXPECT_FALSE(save(dir_.Path(), file_));
    const std::string saving = "Error saving " + ext + " file";
    const Strings errors = Errors();
    ASSERT_GE(errors.size(), 6u);
    EXPECT_EQ(Strings(errors.end() - 6, errors.end()),
              (Strings{"Can't output " + ext + " files to con", "No save filename specified",
                       "File already exists: " + old, saving, saving, saving}));
  }
  EXPECT_EQ(ReadFile(old), "old");
  EXPECT_EQ(test::EntriesIn(dir_.Path()), 3u);
  EXPECT_FALSE(test::FileExists("CON"));
}

TEST_F(WritersTest, AssemblerSide) {
  const std::string prg = dir_.File("demo.prg"), bin = dir_.File("demo.bin"), old = dir_.File("old");
  EXPECT_FALSE(SavePrg(loader_, prg, image_, true));
  EXPECT_FALSE(SaveBin(loader_, bin, image_, true));
  Use(0xc000, 0xa9);
  Use(0xc002, 0x60);
  ASSERT_TRUE(SavePrg(loader_, prg, image_, false));
  ASSERT_TRUE(SaveBin(loader_, bin, image_, false));
  EXPECT_EQ(ReadBytes(prg), (Bytes{0x00, 0xc0, 0xa9, 0x00, 0x60}));
  EXPECT_EQ(ReadBytes(bin), (Bytes{0xa9, 0x00, 0x60}));

  test::WriteFile(old, "old");
  EXPECT_FALSE(SavePrg(loader_, "Con", image_, true));
  EXPECT_FALSE(SaveBin(loader_, "con", image_, true));
  EXPECT_FALSE(SavePrg(loader_, old, image_, false));
  EXPECT_FALSE(SaveBin(loader_, dir_.File("missing/a.bin"), image_, true));
  EXPECT_EQ(Errors(), (Strings{"No program to save", "No program to save", "Can't output .prg files to con",
                               "Can't output .bin files to con", "Error saving file " + old,
                               "Error saving file " + dir_.File("missing/a.bin")}));
  EXPECT_TRUE(Infos().empty());
  EXPECT_EQ(ReadFile(old), "old");
  EXPECT_FALSE(test::FileExists("Con") || test::FileExists("con"));
}

TEST_F(WritersTest, Hex) {
  Use(0x0811, 0x41);
  const std::string hex = dir_.File("game.hex"), line = "0811: 41" + std::string(45, ' ') + "|A" + std::string(15, ' ');
  ASSERT_TRUE(SaveHex(loader_, hex, false, AddressRange::Reset(), image_));
  EXPECT_EQ(ReadFile(hex), line + "\n");
  EXPECT_EQ(Infos(), Strings{"==> Saving in hex format: " + hex});

  Use(0x0801, 0x41);  // outside the range asked for
  testing::internal::CaptureStdout();
  EXPECT_TRUE(SaveHex(loader_, "CON", false, AddressRange(0x0811, 0x0811), image_));
  EXPECT_EQ(testing::internal::GetCapturedStdout(), line + "\n");
  EXPECT_EQ(Infos().back(), "==> Exporting hex format");

  EXPECT_FALSE(SaveHex(loader_, hex, false, AddressRange::Reset(), image_));
  EXPECT_FALSE(SaveHex(loader_, "", true, AddressRange::Reset(), image_));
  EXPECT_FALSE(SaveHex(loader_, hex, true, AddressRange(0xc000, AddressRange::kAllOnes), image_));
  EXPECT_FALSE(SaveHex(loader_, dir_.File("missing/a.hex"), true, AddressRange::Reset(), image_));
  image_.Clear();
  EXPECT_FALSE(SaveHex(loader_, hex, true, AddressRange::Reset(), image_));
  EXPECT_EQ(Errors(), (Strings{"File already exists: " + hex, "No save filename specified", "Data range is empty",
                               "Error saving .hex file", "Data range is empty"}));
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
  for (const auto& row : rows) {
    SCOPED_TRACE(row.range.Text());
    ASSERT_TRUE(SaveHex(loader_, hex, true, row.range, image_));
    const std::string text = ReadFile(hex);
    EXPECT_EQ(static_cast<size_t>(std::count(text.begin(), text.end(), '\n')), row.lines);
    EXPECT_EQ(text.substr(0, 5), row.first);
    EXPECT_EQ(text.substr(text.rfind('\n', text.size() - 2) + 1, 5), row.last);
  }
}

TEST_F(WritersTest, TextOutput) {
  const std::string path = dir_.File("out.txt");
  ASSERT_TRUE(SaveTextOutput(log_, path, false, "10 PRINT\n"));
  EXPECT_FALSE(SaveTextOutput(log_, path, false, "20 END\n"));
  EXPECT_FALSE(SaveTextOutput(log_, dir_.File("missing/out.txt"), true, "x"));
  EXPECT_FALSE(SaveTextOutput(log_, dir_.Path(), true, "x"));
  EXPECT_EQ(Errors(), (Strings{"File already exists: " + path,
                               "Can't open file " + dir_.File("missing/out.txt") + " for writing",
                               "Can't open file " + dir_.Path() + " for writing"}));
  EXPECT_EQ(ReadFile(path), "10 PRINT\n");
  testing::internal::CaptureStdout();
  EXPECT_TRUE(SaveTextOutput(log_, "con", false, "20 END\n"));
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "20 END\n");
}

// A write failing halfway, at the close or at the rename leaves the old file
// as it was and no temporary file beside it.
TEST_F(WritersTest, FailedWriteKeepsTheOldFile) {
  Use(0x0801, 0x41);
  const std::string path = dir_.File("target");
  const std::string old(5000, '\x55');
  for (const auto& w : Writers(path)) {
    for (WriteFault fault : {WriteFault::ShortWrite, WriteFault::FailedClose, WriteFault::FailedRename}) {
      SCOPED_TRACE(w.error + " / fault " + std::to_string(static_cast<int>(fault)));
      test::WriteFile(path, old);
      InjectWriteFaultForTesting(fault);
      EXPECT_FALSE(w.save());
      EXPECT_EQ(Errors().back(), w.error);
      EXPECT_EQ(ReadFile(path), old);
      EXPECT_EQ(test::EntriesIn(dir_.Path()), 1u);
    }
    EXPECT_TRUE(w.save());
    EXPECT_NE(ReadFile(path), old);
  }
}

// A FIFO, a link to one or a link to nothing is refused and left as it is;
// through a link to a regular file that file is replaced, the link kept.
TEST_F(WritersTest, OnlyRegularFilesAreReplaced) {
  namespace fs = std::filesystem;
  Use(0x0801, 0x41);
  const std::string fifo = dir_.File("fifo"), to_fifo = dir_.File("to-fifo"), dangling = dir_.File("dangling");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  fs::create_symlink(fifo, to_fifo);
  fs::create_symlink(dir_.File("nowhere"), dangling);
  for (const std::string& target : {fifo, to_fifo, dangling}) {
    for (const auto& w : Writers(target)) {
      SCOPED_TRACE(w.error);
      ASSERT_FALSE(w.save());
      EXPECT_EQ(Errors().back(), w.error);
    }
  }
  EXPECT_TRUE(fs::is_fifo(fifo));
  EXPECT_TRUE(fs::is_symlink(to_fifo) && fs::is_symlink(dangling));
  EXPECT_EQ(test::EntriesIn(dir_.Path()), 3u);

  const std::string file = dir_.File("file"), link = dir_.File("link");
  fs::create_symlink(file, link);
  for (const auto& w : Writers(link)) {
    SCOPED_TRACE(w.error);
    test::WriteFile(file, "old");
    EXPECT_TRUE(w.save());
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_NE(ReadFile(file), "old");
  }
}

}  // namespace
}  // namespace vantrel
