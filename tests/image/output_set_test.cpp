// The output set: nothing reaches the file system before the commit, and a
// commit that fails anywhere leaves every path as it was.
#include "image/output_set.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <thread>

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

}  // namespace
}  // namespace vantrel
