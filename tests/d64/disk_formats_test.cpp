// Every disk format and container against the Debian tools: images that
// cc1541 and cbmconvert write are read with every file byte-identical to
// cbmconvert's extraction, and what Vantrel writes reads back in
// cbmconvert (and passes cc1541 -V, which validates 35- and 40-track D64
// only). Skipped where the tools are not installed.
#include <cstdlib>
#include <filesystem>
#include <map>
#include <tuple>

#include <gtest/gtest.h>

#include "d64/d64_test_support.h"
#include "test_support.h"

namespace vantrel {
namespace {

using Files = std::map<std::string, std::vector<uint8_t>>;

class DiskFormats : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!test::HaveTool("cc1541") || !test::HaveTool("cbmconvert")) GTEST_SKIP() << "cc1541 or cbmconvert missing";
    // One block, a track change, and (for 40 tracks) more than 35 tracks hold.
    for (const auto& [name, size] : {std::pair{"one", 1}, {"two", 5000}, {"big", 176000}})
      test::WriteBytes(dir_.File(std::string(name) + ".prg"), test::PrgBytes(test::MakePrg(0x0801, size, size)));
  }
  bool Run(const std::string& command) {
    const std::string line = "cd '" + dir_.Path() + "' && " + command + " >'" + dir_.File("tool.out") + "' 2>&1";
    return std::system(line.c_str()) == 0;
  }
  std::string ToolOutput() { return test::ReadFile(dir_.File("tool.out")); }
  // cbmconvert's extraction of `container` (its input option: -d, -t, -p).
  Files Cbmconvert(const std::string& option, const std::string& container) {
    std::filesystem::remove_all(dir_.File("cbm"));
    std::filesystem::create_directory(dir_.File("cbm"));
    EXPECT_TRUE(Run("cd cbm && cbmconvert -N " + option + " ../" + container)) << ToolOutput();
    return Folder("cbm");
  }
  Files Vantrel(const std::string& container) {
    std::filesystem::remove_all(dir_.File("own"));
    const test::RunResult run = test::RunVantrel(dir_.Path(), {container, "-extract:own"});
    EXPECT_EQ(run.status, 0) << run.output;
    return Folder("own");
  }
  Files Folder(const std::string& name) {
    Files files;
    for (const auto& entry : std::filesystem::directory_iterator(dir_.File(name)))
      files[entry.path().filename().string()] = test::ReadBytes(entry.path().string());
    return files;
  }
  Files Inputs(std::initializer_list<std::string> names) {
    Files files;
    for (const std::string& name : names) files[name + ".prg"] = test::ReadBytes(dir_.File(name + ".prg"));
    return files;
  }
  test::ScratchDir dir_;
};

TEST_F(DiskFormats, ImagesTheToolsWriteReadAsCbmconvertReadsThem) {
  // cbmconvert knows no 40-track image: there the files cc1541 wrote are the reference.
  const struct {
    const char* image;
    const char* command;
  } rows[] = {
      {"a.d64", "cc1541 -q -f one -w one.prg -f two -w two.prg a.d64"},
      {"b.40.d64", "cc1541 -q -4 -f one -w one.prg -f two -w two.prg -f big -w big.prg b.40.d64"},
      {"c.40.d64", "cc1541 -q -5 -f one -w one.prg -f two -w two.prg -f big -w big.prg c.40.d64"},
      {"d.d71", "cc1541 -q -f one -w one.prg -f two -w two.prg -f big -w big.prg d.d71"},
      {"e.d81", "cc1541 -q -f one -w one.prg -f two -w two.prg -f big -w big.prg e.d81"},
      {"f.d64", "cbmconvert -n -D4 f.d64 one.prg two.prg"},
      {"g.d71", "cbmconvert -n -D7 g.d71 one.prg two.prg big.prg"},
      {"h.d81", "cbmconvert -n -D8 h.d81 one.prg two.prg big.prg"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.command);
    ASSERT_TRUE(Run(row.command)) << ToolOutput();
    const bool forty = std::string(row.image).find(".40.") != std::string::npos;
    const Files expected = forty ? Inputs({"one", "two", "big"}) : Cbmconvert("-d", row.image);
    EXPECT_GE(expected.size(), 2u);
    EXPECT_TRUE(Vantrel(row.image) == expected);
  }
}

TEST_F(DiskFormats, ImagesVantrelWritesReadBackInTheTools) {
  for (const std::string image : {"new.d64", "new.d71", "new.d81"}) {
    SCOPED_TRACE(image);
    const bool d64 = image == "new.d64";
    std::vector<std::string> args{image, "-add", "one.prg", "two.prg"};
    if (!d64) args.push_back("big.prg");  // more than a D64 holds
    const test::RunResult run = test::RunVantrel(dir_.Path(), args);
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_TRUE(Cbmconvert("-d", image) == (d64 ? Inputs({"one", "two"}) : Inputs({"one", "two", "big"})));
    // cc1541 -V checks D64 only: it rejects its own D71 and D81 images.
    if (d64) {
      EXPECT_TRUE(Run("cc1541 -q -V " + image)) << ToolOutput();
    }
  }
}

// A 40-track image keeps the BAM layout it came with, which cc1541 -V
// checks while the files stay on tracks 1-35 (past them it refuses even
// its own images). Then one, two and big take 714 blocks, so at least 50
// of the 85 sectors on tracks 36-40 are used, and only the layout's own
// entries (at $C0 for SpeedDOS, $AC for DolphinDOS) say so. cbmconvert
// knows no 40-track image, so the files are read back here.
TEST_F(DiskFormats, FortyTrackImagesKeepTheirBamLayout) {
  for (const auto& [option, own, other] : {std::tuple{"-4", 0xC0, 0xAC}, {"-5", 0xAC, 0xC0}}) {
    SCOPED_TRACE(option);
    ASSERT_TRUE(Run(std::string("cc1541 -q ") + option + " -f one -w one.prg forty.d64"));
    EXPECT_EQ(test::RunVantrel(dir_.Path(), {"forty.d64", "-add", "two.prg"}).status, 0);
    EXPECT_TRUE(Run("cc1541 -q -V forty.d64")) << ToolOutput();
    EXPECT_EQ(test::RunVantrel(dir_.Path(), {"forty.d64", "-add", "big.prg"}).status, 0);
    EXPECT_TRUE(Vantrel("forty.d64") == Inputs({"one", "two", "big"}));
    const std::vector<uint8_t> disk = test::ReadBytes(dir_.File("forty.d64"));
    int free = 0;
    for (int i = 0; i < 5; ++i) {
      const uint8_t* entry = &disk[test::kBam + own + 4 * i];
      EXPECT_EQ(entry[0], __builtin_popcount(entry[1] | (entry[2] << 8) | (entry[3] << 16)));
      EXPECT_EQ(disk[test::kBam + other + 4 * i + (other == 0xAC ? 0 : 1)], 0);
      free += entry[0];
    }
    EXPECT_LE(free, 35);
    std::filesystem::remove(dir_.File("forty.d64"));
  }
}

// A new image is laid out as cc1541 lays out an empty one: the header, BAM
// and directory sectors hold the same bytes but for the name and id.
TEST_F(DiskFormats, NewImagesMatchCc1541Layout) {
  for (const char* image : {"a.d64", "b.d81"}) {
    SCOPED_TRACE(image);
    ASSERT_TRUE(Run(std::string("cc1541 -q -n work -i 64 cc") + image));
    const test::RunResult run = test::RunVantrel(dir_.Path(), {image, "-new:work,64"});
    ASSERT_EQ(run.status, 0) << run.output;
    std::vector<uint8_t> theirs = test::ReadBytes(dir_.File(std::string("cc") + image));
    std::vector<uint8_t> ours = test::ReadBytes(dir_.File(image));
    ASSERT_EQ(ours.size(), theirs.size());
    // cc1541 writes the id's 5 bytes as given ("64" and blanks over "2A").
    const size_t id = std::string(image) == "a.d64" ? test::kBam + 0xA2 : 39 * 40 * 256 + 0x16;
    std::copy_n(ours.begin() + static_cast<long>(id), 5, theirs.begin() + static_cast<long>(id));
    if (std::string(image) == "b.d81")  // and the id in the BAM sectors in its lower case
      for (size_t bam : {39 * 40 * 256 + 256 + 4, 39 * 40 * 256 + 512 + 4}) std::copy_n(ours.begin() + bam, 2, theirs.begin() + bam);
    const auto [mine, cc] = std::mismatch(ours.begin(), ours.end(), theirs.begin());
    EXPECT_EQ(mine, ours.end()) << "first difference at byte " << (mine - ours.begin());
  }
}

// Error bytes: code 5 (23 READ ERROR, a data checksum) on a file's sector
// still gives its bytes, with a Warning; code 2 (20 READ ERROR, no header)
// stops the load. A save keeps the error bytes as they were.
TEST_F(DiskFormats, ErrorBytes) {
  ASSERT_TRUE(Run("cc1541 -q -f two -w two.prg base.d64"));  // from 1/0, the first error byte
  std::vector<uint8_t> disk = test::ReadBytes(dir_.File("base.d64"));
  disk.resize(174848 + 683, 1);
  for (const auto& [code, status, message] :
       {std::tuple{5, 0, "Warning: File \"two\": the drive reports track 1 sector 0 (23 READ ERROR); the bytes are "
                         "taken as the image holds them"},
        {2, 1, "Error: File \"two\": the drive can't read track 1 sector 0 (20 READ ERROR)"}}) {
    SCOPED_TRACE(code);
    disk[174848] = static_cast<uint8_t>(code);
    test::WriteBytes(dir_.File("err.d64"), disk);
    const test::RunResult load = test::RunVantrel(dir_.Path(), {"err.d64::two", "-bin:two"});
    EXPECT_EQ(load.status, status);
    EXPECT_NE(load.output.find(message), std::string::npos) << load.output;
  }
  EXPECT_EQ(test::RunVantrel(dir_.Path(), {"err.d64", "-add", "one.prg"}).status, 0);
  const std::vector<uint8_t> saved = test::ReadBytes(dir_.File("err.d64"));
  ASSERT_EQ(saved.size(), disk.size());
  EXPECT_TRUE(std::equal(disk.begin() + 174848, disk.end(), saved.begin() + 174848));
  // cbmconvert knows no error bytes: it reads the sectors alone.
  test::WriteBytes(dir_.File("plain.d64"), std::vector<uint8_t>(saved.begin(), saved.begin() + 174848));
  EXPECT_TRUE(Cbmconvert("-d", "plain.d64") == Inputs({"one", "two"}));
}

// Containers: T64 archives cbmconvert reads, P00 files both ways.
TEST_F(DiskFormats, TapeArchivesAndPc64Files) {
  test::WriteBytes(dir_.File("tape.t64"), test::TapeArchive({{"ONE", test::ReadBytes(dir_.File("one.prg"))},
                                                             {"TWO", test::ReadBytes(dir_.File("two.prg"))}}));
  EXPECT_TRUE(Vantrel("tape.t64") == Cbmconvert("-t", "tape.t64"));

  // A real BASIC program through cbmconvert's .p00 and back through ours.
  std::filesystem::copy_file(test::CorpusPath("card-games/prg/Poker4/poker-4.prg"), dir_.File("poker.prg"));
  ASSERT_TRUE(Run("cbmconvert -P -n poker.prg")) << ToolOutput();
  const test::RunResult run = test::RunVantrel(dir_.Path(), {"poker.p00", "-prg:back", "-p00:again"});
  EXPECT_EQ(run.status, 0) << run.output;
  const std::vector<uint8_t> poker = test::ReadBytes(dir_.File("poker.prg"));
  EXPECT_EQ(test::ReadBytes(dir_.File("back.prg")), poker);
  EXPECT_TRUE(Cbmconvert("-p", "again.p00") == (Files{{"again.prg", poker}}));
}

}  // namespace
}  // namespace vantrel
