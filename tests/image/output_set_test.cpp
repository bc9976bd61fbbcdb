// The output set: nothing reaches the file system before the commit, and a
// commit that fails anywhere leaves every path as it was. The program and
// hex writers stage through it.
#include "image/output_set.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <thread>

#include "image/binary_writers.h"
#include "image_test_helpers.h"
#include "test_support.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::WriteFile;

class OutputSetTest : public ::testing::Test {
 protected:
  OutputSetTest() { log_.SetEcho(false); }
  OutputNote Note(const std::string& path) { return {"Can't open " + path, "Error saving " + path}; }
  bool Add(const std::string& path, const std::string& bytes, bool replace) {
    return out_.Add(log_, path, bytes, Note(path), replace);
  }
  std::string LastError() const {
    const auto errors = test::Texts(log_);
    return errors.empty() ? "" : errors.back();
  }

  test::ScratchDir dir_;
  MsgLog log_;
  OutputSet out_;
};

TEST_F(OutputSetTest, NothingIsWrittenBeforeTheCommit) {
  const std::string a = dir_.File("a.prg"), b = dir_.File("b.txt");
  ASSERT_TRUE(Add(a, "AAA", false));
  ASSERT_TRUE(Add(b, "BBB", false));
  EXPECT_EQ(test::EntriesIn(dir_.Path()), 0u);
  out_.Discard();
  EXPECT_TRUE(out_.Commit(log_));
  EXPECT_EQ(test::EntriesIn(dir_.Path()), 0u);

  ASSERT_TRUE(Add(a, "AAA", false));
  ASSERT_TRUE(Add(b, "BBB", false));
  ASSERT_TRUE(out_.Commit(log_));
  EXPECT_EQ(ReadFile(a), "AAA");
  EXPECT_EQ(ReadFile(b), "BBB");
  EXPECT_EQ(test::EntriesIn(dir_.Path()), 2u);
}

TEST_F(OutputSetTest, ChecksBeforeStaging) {
  const std::string old = dir_.File("old"), sub = dir_.File("sub"), dangling = dir_.File("dangling");
  WriteFile(old, "old");
  fs::create_directory(sub);
  fs::create_symlink(dir_.File("nowhere"), dangling);
  const struct {
    std::string path;
    bool replace;
    std::string error;
  } rows[] = {
      {"", true, "No save filename specified"},
      {old, false, "File already exists: " + old},
      {sub, true, "Can't open " + sub + ": Is a directory"},
      {dangling, true, "Can't open " + dangling + ": Not a regular file"},
      {dir_.File("missing/x"), true, "Can't open " + dir_.File("missing/x") + ": No such file or directory"},
      {old + "/x", true, "Can't open " + old + "/x: Not a directory"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.path);
    EXPECT_FALSE(Add(row.path, "x", row.replace));
    EXPECT_EQ(LastError(), row.error);
  }
  ASSERT_TRUE(Add(old, "new", true));
  EXPECT_FALSE(Add(old, "again", true));
  EXPECT_EQ(LastError(), "Two outputs of this run name the same file: " + old);
  ASSERT_TRUE(out_.Commit(log_));
  EXPECT_EQ(ReadFile(old), "new");
  EXPECT_TRUE(fs::is_symlink(dangling));
}

// A failure at any step of any output puts back every output already placed:
// replaced files keep their old bytes, new files vanish, no temporary stays.
TEST_F(OutputSetTest, AFailedCommitRestoresEveryPath) {
  const std::string existing = dir_.File("game.prg"), fresh = dir_.File("game.lst");
  for (WriteFault fault : {WriteFault::ShortWrite, WriteFault::FailedClose, WriteFault::FailedRename}) {
    SCOPED_TRACE(static_cast<int>(fault));
    WriteFile(existing, std::string(5000, 'x'));
    ASSERT_TRUE(Add(existing, "new program", true));
    ASSERT_TRUE(Add(fresh, "listing", false));
    InjectWriteFaultForTesting(fault);
    EXPECT_FALSE(out_.Commit(log_));
    EXPECT_TRUE(LastError().starts_with("Error saving " + existing + ": ")) << LastError();
    EXPECT_EQ(ReadFile(existing), std::string(5000, 'x'));
    EXPECT_EQ(test::EntriesIn(dir_.Path()), 1u);
  }
  // The second output's name is taken after the check: the first output,
  // already in place, goes back too.
  ASSERT_TRUE(Add(existing, "new program", true));
  ASSERT_TRUE(Add(fresh, "listing", false));
  WriteFile(fresh, "someone else's");
  EXPECT_FALSE(out_.Commit(log_));
  EXPECT_EQ(LastError(), "File already exists: " + fresh);
  EXPECT_EQ(ReadFile(existing), std::string(5000, 'x'));
  EXPECT_EQ(ReadFile(fresh), "someone else's");
  EXPECT_EQ(test::EntriesIn(dir_.Path()), 2u);
}

TEST_F(OutputSetTest, ReplacingKeepsLinksAndPermissions) {
  const std::string file = dir_.File("file"), link = dir_.File("link");
  WriteFile(file, "old");
  ASSERT_EQ(chmod(file.c_str(), 0640), 0);
  fs::create_symlink(file, link);
  ASSERT_TRUE(Add(link, "new", true));
  ASSERT_TRUE(out_.Commit(log_));
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(ReadFile(file), "new");
  struct stat st {};
  ASSERT_EQ(stat(file.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
}

// Devices and pipes are written into as they are, never replaced by a file.
TEST_F(OutputSetTest, StreamsAreWrittenAsTheyAre) {
  EXPECT_EQ(PlaceOf("-"), OutputPlace::Console);
  EXPECT_EQ(PlaceOf("CON"), OutputPlace::Console);
  EXPECT_EQ(PlaceOf("/dev/null"), OutputPlace::Stream);
  EXPECT_EQ(PlaceOf(dir_.File("con.txt")), OutputPlace::File);
  const std::string fifo = dir_.File("fifo");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  std::string received;
  std::thread reader([&] { received = ReadFile(fifo); });
  ASSERT_TRUE(Add(fifo, "through the pipe", false));
  ASSERT_TRUE(Add("/dev/null", "gone", false));
  const bool committed = out_.Commit(log_);
  reader.join();
  EXPECT_TRUE(committed);
  EXPECT_EQ(received, "through the pipe");
  EXPECT_TRUE(fs::is_fifo(fifo));

  testing::internal::CaptureStdout();
  ASSERT_TRUE(Add("-", "to standard output\n", false));
  out_.AddConsole("and more\n");
  EXPECT_TRUE(out_.Commit(log_));
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "to standard output\nand more\n");
}

// A run killed while writing leaves its temporary file; the next run that
// writes the same output removes it, but not one of a run still going.
TEST_F(OutputSetTest, StaleTemporariesAreRemoved) {
  const pid_t child = fork();
  if (child == 0) _exit(0);
  ASSERT_GT(child, 0);
  waitpid(child, nullptr, 0);
  const std::string stale = dir_.File(TemporaryPrefix("out.prg") + std::to_string(child) + "-abcdefgh");
  const std::string live = dir_.File(TemporaryPrefix("out.prg") + std::to_string(getppid()) + "-abcdefgh");
  WriteFile(stale, "half");
  WriteFile(live, "half");
  ASSERT_TRUE(Add(dir_.File("out.prg"), "whole", false));
  ASSERT_TRUE(out_.Commit(log_));
  EXPECT_FALSE(test::FileExists(stale));
  EXPECT_TRUE(test::FileExists(live));
  EXPECT_EQ(ReadFile(dir_.File("out.prg")), "whole");
}

using test::ReadBytes;
using Bytes = std::vector<uint8_t>;
using Strings = std::vector<std::string>;

class WritersTest : public ::testing::Test {
 protected:
  WritersTest() { log_.SetEcho(false); }

  Strings Errors() const { return test::Texts(log_); }
  Strings Infos() const { return test::Texts(log_, MessageLevel::Info); }
  void Use(uint16_t address, uint8_t value) {
    image_.Write(address, value);
    image_.MarkUsed(address);
  }

  // Commits what the writers staged; false when that failed.
  bool Commit() { return out_.Commit(log_); }

  test::ScratchDir dir_;
  MsgLog log_;
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
  const std::string prg = dir_.File("demo.prg"), bin = dir_.File("demo.bin");
  EXPECT_FALSE(SavePrg(log_, out_, prg, image_));
  EXPECT_FALSE(SaveBin(log_, out_, bin, image_));
  Use(0xc000, 0xa9);
  Use(0xc002, 0x60);
  ASSERT_TRUE(SavePrg(log_, out_, prg, image_));
  ASSERT_TRUE(SaveBin(log_, out_, bin, image_));
  ASSERT_TRUE(Commit());
  EXPECT_EQ(ReadBytes(prg), (Bytes{0x00, 0xc0, 0xa9, 0x00, 0x60}));
  EXPECT_EQ(ReadBytes(bin), (Bytes{0xa9, 0x00, 0x60}));

  // The checks of the path are those of a program file's.
  EXPECT_FALSE(SavePrg(log_, out_, "Con", image_));
  EXPECT_FALSE(SaveBin(log_, out_, "con", image_));
  EXPECT_EQ(Errors(), (Strings{"No program to save", "No program to save", "Can't output .prg files to con",
                               "Can't output .bin files to con"}));
  EXPECT_TRUE(Infos().empty());
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
