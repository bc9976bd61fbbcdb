// Images and containers shared with the Debian tools cc1541 (writes
// images; -V validates the BAM against the files as CBM DOS would, for 35-
// and 40-track D64 only) and cbmconvert (extracts files): what they write
// reads back byte-identical to cbmconvert's extraction, and what Vantrel
// writes reads back in them. Skipped where the tools are not installed.
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <sstream>
#include <tuple>

#include <gtest/gtest.h>

#include "d64/c64_names.h"
#include "d64/d64_files.h"
#include "d64/d64_listing.h"
#include "d64/d64_test_support.h"
#include "test_support.h"
#include "text/text_ops.h"

namespace vantrel {
namespace {

using test::ReadBytes;
using Files = std::map<std::string, std::vector<uint8_t>>;

class D64Interop : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!test::HaveTool("cc1541") || !test::HaveTool("cbmconvert")) GTEST_SKIP() << "cc1541 or cbmconvert missing";
    // One block, a track change, and (for 40 tracks) more than 35 tracks hold.
    for (const auto& [name, size] : {std::pair{"one", 1}, {"two", 5000}, {"big", 176000}})
      test::WriteBytes(dir_.File(std::string(name) + ".prg"), test::PrgBytes(test::MakePrg(0x0801, size, size)));
  }
  // Runs `command` in the scratch directory; its output goes to the failure message.
  bool Run(const std::string& command) {
    const std::string line = "cd '" + dir_.Path() + "' && " + command + " >'" + dir_.File("tool.out") + "' 2>&1";
    const bool ok = std::system(line.c_str()) == 0;
    EXPECT_TRUE(ok) << command << "\n" << ToolOutput();
    return ok;
  }
  std::string ToolOutput() { return test::ReadFile(dir_.File("tool.out")); }
  // cbmconvert's extraction of `container` (its input option: -d, -t, -p).
  Files Cbmconvert(const std::string& option, const std::string& container) {
    std::filesystem::remove_all(dir_.File("cbm"));
    std::filesystem::create_directory(dir_.File("cbm"));
    Run("cd cbm && cbmconvert -N " + option + " ../" + container);
    return Folder("cbm");
  }
  Files Extract() { return Cbmconvert("-d", "disk.d64"); }
  Files Vantrel(const std::string& container) {
    std::filesystem::remove_all(dir_.File("own"));
    const test::RunResult run = test::RunVantrel(dir_.Path(), {container, "-extract:own"});
    EXPECT_EQ(run.status, 0) << run.output;
    return Folder("own");
  }
  Files Folder(const std::string& name) {
    Files files;
    for (const auto& entry : std::filesystem::directory_iterator(dir_.File(name)))
      files[entry.path().filename().string()] = ReadBytes(entry.path().string());
    return files;
  }
  Files Inputs(std::initializer_list<std::string> names) {
    Files files;
    for (const std::string& name : names) files[name + ".prg"] = ReadBytes(dir_.File(name + ".prg"));
    return files;
  }
  std::string Transcript(const std::string& name, const ProgramFile& file) {
    MsgLog log;
    test::SaveNow(log, image_ + "::" + name, file, true);
    return test::Transcript(log);
  }
  bool Save(const std::string& name, const ProgramFile& file) {
    MsgLog log;
    return test::SaveNow(log, image_ + "::" + name, file, true);
  }
  std::vector<DirEntry> Entries() {
    D64Image image;
    std::vector<DirEntry> entries;
    EXPECT_EQ(image.ReadImageFile(image_, true), ImageFileStatus::Ok);
    EXPECT_TRUE(ReadDirectory(image, entries));
    return entries;
  }
  // Bytes poked into the image file, as a damaged or odd disk has them.
  void Poke(const std::vector<std::pair<size_t, uint8_t>>& bytes) {
    std::vector<uint8_t> disk = ReadBytes(image_);
    for (const auto& [at, value] : bytes) disk[at] = value;
    test::WriteBytes(image_, disk);
  }

  test::ScratchDir dir_;
  std::string image_ = dir_.File("disk.d64");
};

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::string Corpus(const char* prg) { return test::CorpusPath(std::string("card-games/prg/Poker4/") + prg); }

// A cc1541 image loads; files saved into it (one replaced, one SEQ) read
// back in the tools.
TEST_F(D64Interop, Cc1541ImageLoadsAndTakesMoreFiles) {
  // cc1541 turns lower-case host letters into the C64's upper case.
  Run("cc1541 -n disk -i ab -f start -w '" + Corpus("start-poker-4.prg") + "' -f 'poker 4' -w '" +
      Corpus("poker-4.prg") + "' -f pic -w '" + Corpus("pic-a-poker-4.prg") + "' -T SEQ -f data -w '" +
      Corpus("prg-b-poker-4.prg") + "' disk.d64");
  const std::pair<const char*, const char*> files[] = {
      {"start", "start-poker-4.prg"}, {"poker 4", "poker-4.prg"}, {"p?c", "pic-a-poker-4.prg"}, {"data,s", "prg-b-poker-4.prg"}};
  for (const auto& [name, prg] : files) {
    SCOPED_TRACE(name);
    MsgLog log;
    ProgramFile out;
    ASSERT_TRUE(LoadFromImage(log, image_ + "::" + name, out)) << test::Transcript(log);
    EXPECT_EQ(out.Bytes(), ReadBytes(Corpus(prg)));
  }
  const ProgramFile added = test::MakePrg(0x0801, 9000, 5);
  const ProgramFile two = test::MakePrg(0xC000, 20000, 2);  // 79 blocks over several tracks
  const ProgramFile three = test::MakePrg(0x0801, 300, 3);
  const ProgramFile bigger = test::MakePrg(0x1001, 1000, 4);
  ASSERT_TRUE(Save("added", added));
  ASSERT_TRUE(Save("one", test::MakePrg(0x0801, 100, 1)));
  ASSERT_TRUE(Save("two", two));
  ASSERT_TRUE(Save("THREE,S", three));  // shifted letters, upper case on the host
  ASSERT_TRUE(Save("@:one", bigger));
  Run("cc1541 -q -V disk.d64");
  const Files expected = {{"start.prg", ReadBytes(Corpus("start-poker-4.prg"))},
                          {"poker 4.prg", ReadBytes(Corpus("poker-4.prg"))},
                          {"pic.prg", ReadBytes(Corpus("pic-a-poker-4.prg"))},
                          {"data.seq", ReadBytes(Corpus("prg-b-poker-4.prg"))},
                          {"added.prg", test::PrgBytes(added)},
                          {"one.prg", test::PrgBytes(bigger)},
                          {"two.prg", test::PrgBytes(two)},
                          {"THREE.seq", three.Bytes()}};
  EXPECT_EQ(Extract(), expected);
}

// cc1541 stores a name typed in lower case as the letters a C64 user types
// ($41-$5A) and upper case as their shifted forms; Vantrel stores names the
// same way, and lists them as cc1541 does.
TEST_F(D64Interop, NamesTypesAndListingAsCc1541HasThem) {
  const std::string hello = dir_.File("hello.prg");
  test::WriteBytes(hello, {0x01, 0x08, 'H', 'I'});
  struct Row {
    const char* name;
    const char* options;
  };
  const Row rows[] = {
      {"guess", ""}, {"GUESS", "-T SEQ"}, {"MiXed 2", "-T USR -P"}, {" lead", "-O"},
      {"trail ", "-T DEL"}, {"abcdefghijklmnop", "-T 133"}, {"@[\\]^_", ""},
  };
  std::string command = "cc1541 -q -n 'Work disk' -i ab";
  for (const Row& row : rows) command += std::string(" ") + row.options + " -f '" + row.name + "' -w hello.prg";
  Run(command + " -f sep -T DEL -L disk.d64");
  const std::vector<DirEntry> entries = Entries();
  ASSERT_EQ(entries.size(), std::size(rows) + 1);
  for (size_t i = 0; i < std::size(rows); ++i) {
    SCOPED_TRACE(rows[i].name);
    EXPECT_EQ(entries[i].name, PetsciiFromTyped(rows[i].name));
    // Every kind loads by its name, as its bytes.
    MsgLog log;
    ProgramFile out;
    ASSERT_TRUE(LoadFromImage(log, image_ + "::\"" + rows[i].name + "\"", out)) << test::Transcript(log);
    EXPECT_EQ(out.Bytes(), ReadBytes(hello));
  }
  Run("cc1541 disk.d64");  // its listing, between ANSI colour codes
  std::vector<std::string> theirs;
  for (std::string line : Lines(ToolOutput())) {
    for (const char* code : {"\x1b[7m", "\x1b[m"})
      if (size_t at = line.find(code); at != std::string::npos) line.erase(at, std::strlen(code));
    if (!Trim(line).empty() && !line.starts_with("Adding")) theirs.push_back(std::string(TrimView(line)));
  }
  D64Image image;
  ASSERT_EQ(image.ReadImageFile(image_, true), ImageFileStatus::Ok);
  std::vector<std::string> ours = Lines(DirectoryListing(image, entries));
  ASSERT_EQ(ours.size(), theirs.size());
  // cc1541 shows $5B-$5E as "{|}~", which it reads back as other codes;
  // Vantrel shows "[\]^", which type back to the same bytes.
  ours.erase(ours.begin() + std::size(rows));
  theirs.erase(theirs.begin() + std::size(rows));
  EXPECT_EQ(ours, theirs);
}

// A directory sector the BAM calls free still holds entries, as the drive
// reads them; a replace takes the entry in place, name bytes and all.
TEST_F(D64Interop, ReplaceFindsEntriesInSectorsTheBamCallsFree) {
  test::WriteBytes(dir_.File("a.prg"), {0x01, 0x08, 1, 2, 3});
  Run("cc1541 -q -f ' start.asm' -w a.prg -f hello -w a.prg disk.d64");
  Poke({{test::kBam + 4 * 18, 18}, {test::kBam + 4 * 18 + 1, 0xFE}});  // 18/1 free, as 18 sectors
  const std::string warning = "Warning: The BAM of " + image_ + " shows 1 sector of the directory as free; it is marked used\n";
  const std::string loading = "Info: Loading d64 image " + image_ + "\n";
  EXPECT_EQ(Transcript("@:hello", test::MakePrg(0x0801, 300)), loading + warning + "Info: Saving hello: Replaced\n"
                                                                "Info: Writing d64 file " + image_ + "\n");
  EXPECT_EQ(Transcript("@: start.asm", test::MakePrg(0xC000, 10)), loading + "Info: Saving  start.asm: Replaced\n"
                                                                     "Info: Writing d64 file " + image_ + "\n");
  const std::vector<DirEntry> entries = Entries();
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(std::string(entries[0].stored_name.data(), 16), " START.ASM\xA0\xA0\xA0\xA0\xA0\xA0");
  EXPECT_EQ(entries[1].name, "HELLO");
  Run("cc1541 -q -V disk.d64");
  EXPECT_EQ(Extract(), (Files{{" start.asm.prg", test::PrgBytes(test::MakePrg(0xC000, 10))},
                              {"hello.prg", test::PrgBytes(test::MakePrg(0x0801, 300))}}));
}

// A BAM that calls a file's sectors free does not get them overwritten;
// free blocks on track 35 are used as a 1541 uses them.
TEST_F(D64Interop, LyingBamAndTrack35) {
  const ProgramFile first = test::MakePrg(0x0801, 600, 1);  // 3 blocks: 1/0, 1/10, 1/20 by cc1541
  test::WriteBytes(dir_.File("first.prg"), test::PrgBytes(first));
  Run("cc1541 -q -f first -w first.prg disk.d64");
  Poke({{test::kBam + 4, 21}, {test::kBam + 5, 0xFF}, {test::kBam + 6, 0xFF}, {test::kBam + 7, 0x1F}});
  const ProgramFile second = test::MakePrg(0x1000, 6000, 2);
  EXPECT_EQ(Transcript("second", second),
            "Info: Loading d64 image " + image_ + "\nWarning: The BAM of " + image_ +
                " shows 3 sectors of file \"first\" as free; they are marked used\nInfo: Saving second: Ok\n"
                "Info: Writing d64 file " + image_ + "\n");
  Run("cc1541 -q -V disk.d64");
  EXPECT_EQ(Extract(), (Files{{"first.prg", test::PrgBytes(first)}, {"second.prg", test::PrgBytes(second)}}));

  // Only track 35 left: every other track full in the BAM.
  std::vector<std::pair<size_t, uint8_t>> full;
  for (size_t track = 1; track <= 34; ++track)
    for (size_t i = 0; i < 4; ++i) full.emplace_back(test::kBam + 4 * track + i, 0);
  Poke(full);
  EXPECT_EQ(Transcript("big", test::MakePrg(0x0801, 18 * 254 - 2)),
            "Info: Loading d64 image " + image_ + "\nError: Saving big: Disk full: 18 blocks needed, 17 free\n");
  ASSERT_EQ(Transcript("third", test::MakePrg(0x0801, 17 * 254 - 2)),
            "Info: Loading d64 image " + image_ + "\nInfo: Saving third: Ok\nInfo: Writing d64 file " + image_ + "\n");
  EXPECT_EQ(Entries().back().start, (TrackSector{35, 0}));
}

// Many files in one run, read back by cbmconvert; Vantrel's extraction
// gives the same files.
TEST_F(D64Interop, HundredFilesInOneRun) {
  std::vector<std::string> args = {"disk.d64", "-new:\"many files,01\"", "-add"};
  Files expected;
  for (int i = 1; i <= 100; ++i) {
    const std::string name = "file" + std::to_string(i) + ".prg";
    const std::vector<uint8_t> bytes = test::PrgBytes(test::MakePrg(0x0801, static_cast<size_t>(i * 37 % 900), i));
    test::WriteBytes(dir_.File(name), bytes);
    args.push_back(name);
    expected[name] = bytes;
  }
  args.push_back("-quiet");
  const test::RunResult added = test::RunVantrel(dir_.Path(), args);
  ASSERT_EQ(added.status, 0) << added.output;
  Run("cc1541 -q -m -V disk.d64");  // -m: names that share a fast loader's hash are fine here
  EXPECT_EQ(Extract(), expected);
  const test::RunResult extracted = test::RunVantrel(dir_.Path(), {"disk.d64", "-extract:mine", "-quiet"});
  ASSERT_EQ(extracted.status, 0) << extracted.output;
  EXPECT_EQ(Folder("mine"), expected);
}

TEST_F(D64Interop, ImagesTheToolsWriteReadAsCbmconvertReadsThem) {
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
    ASSERT_TRUE(Run(row.command));
    const bool forty = std::string(row.image).find(".40.") != std::string::npos;
    const Files expected = forty ? Inputs({"one", "two", "big"}) : Cbmconvert("-d", row.image);
    EXPECT_GE(expected.size(), 2u);
    EXPECT_TRUE(Vantrel(row.image) == expected);
  }
}

TEST_F(D64Interop, ImagesVantrelWritesReadBackInTheTools) {
  for (const std::string image : {"new.d64", "new.d71", "new.d81"}) {
    SCOPED_TRACE(image);
    const bool d64 = image == "new.d64";
    std::vector<std::string> args{image, "-add", "one.prg", "two.prg"};
    if (!d64) args.push_back("big.prg");  // more than a D64 holds
    const test::RunResult run = test::RunVantrel(dir_.Path(), args);
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_TRUE(Cbmconvert("-d", image) == (d64 ? Inputs({"one", "two"}) : Inputs({"one", "two", "big"})));
    // cc1541 -V checks D64 only: it rejects its own D71 and D81 images.
    if (d64) Run("cc1541 -q -V " + image);
  }
}

// A 40-track image keeps the BAM layout it came with, which cc1541 -V
// checks while the files stay on tracks 1-35 (past them it refuses even
// its own images). Then one, two and big take 714 blocks, so at least 50
// of the 85 sectors on tracks 36-40 are used, and only the layout's own
// entries (at $C0 for SpeedDOS, $AC for DolphinDOS) say so. cbmconvert
// knows no 40-track image, so the files are read back here.
TEST_F(D64Interop, FortyTrackImagesKeepTheirBamLayout) {
  for (const auto& [option, own, other] : {std::tuple{"-4", 0xC0, 0xAC}, {"-5", 0xAC, 0xC0}}) {
    SCOPED_TRACE(option);
    ASSERT_TRUE(Run(std::string("cc1541 -q ") + option + " -f one -w one.prg forty.d64"));
    EXPECT_EQ(test::RunVantrel(dir_.Path(), {"forty.d64", "-add", "two.prg"}).status, 0);
    Run("cc1541 -q -V forty.d64");
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
TEST_F(D64Interop, NewImagesMatchCc1541Layout) {
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
TEST_F(D64Interop, ErrorBytes) {
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
TEST_F(D64Interop, TapeArchivesAndPc64Files) {
  test::WriteBytes(dir_.File("tape.t64"), test::TapeArchive({{"ONE", test::ReadBytes(dir_.File("one.prg"))},
                                                             {"TWO", test::ReadBytes(dir_.File("two.prg"))}}));
  EXPECT_TRUE(Vantrel("tape.t64") == Cbmconvert("-t", "tape.t64"));

  // A real BASIC program through cbmconvert's .p00 and back through ours.
  std::filesystem::copy_file(test::CorpusPath("card-games/prg/Poker4/poker-4.prg"), dir_.File("poker.prg"));
  ASSERT_TRUE(Run("cbmconvert -P -n poker.prg"));
  const test::RunResult run = test::RunVantrel(dir_.Path(), {"poker.p00", "-prg:back", "-p00:again"});
  EXPECT_EQ(run.status, 0) << run.output;
  const std::vector<uint8_t> poker = test::ReadBytes(dir_.File("poker.prg"));
  EXPECT_EQ(test::ReadBytes(dir_.File("back.prg")), poker);
  EXPECT_TRUE(Cbmconvert("-p", "again.p00") == (Files{{"again.prg", poker}}));
}

}  // namespace
}  // namespace vantrel
