// Files in images and containers: saving and loading, C64 name syntax,
// loading through the locator, and containers with the faults real ones
// carry. The disk image as a 1541 lays it out, and damaged or hostile
// images: each of those ends in a clear message, never a crash, a hang or a
// changed image file.
#include "d64/d64_files.h"

#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <random>

#include <gtest/gtest.h>

#include "d64/d64_file_spec.h"
#include "d64/d64_image.h"
#include "d64/d64_test_support.h"
#include "d64/program_load.h"
#include "image/image_test_helpers.h"
#include "image/output_set.h"
#include "test_support.h"

namespace vantrel {
namespace {

using test::ReadBytes;
using test::Transcript;
using test::WriteBytes;
using Bytes = std::vector<uint8_t>;

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

TEST(D64FileSpec, C64NameSyntax) {
  struct Row {
    const char* text;
    bool ok;
    DiskCommand command;
    int drive;
    const char* name;
    FileType kind;
    FileMode mode;
  };
  const Row rows[] = {
      {"MYPROG", true, DiskCommand::Plain, 0, "MYPROG", FileType::Prg, FileMode::Read},
      {"\"MY PROG\"", true, DiskCommand::Plain, 0, "MY PROG", FileType::Prg, FileMode::Read},
      {"@:MYPROG", true, DiskCommand::Replace, 0, "MYPROG", FileType::Prg, FileMode::Read},
      {"@1:MYPROG", true, DiskCommand::Replace, 1, "MYPROG", FileType::Prg, FileMode::Read},
      {"0:MYPROG", false, DiskCommand::Invalid, 0, "", FileType::Prg, FileMode::Read},
      {"s0:OLD", true, DiskCommand::Scratch, 0, "OLD", FileType::Prg, FileMode::Read},
      {":COLON", true, DiskCommand::Plain, 0, ":COLON", FileType::Prg, FileMode::Read},
      {"DATA,S,W", true, DiskCommand::Plain, 0, "DATA", FileType::Seq, FileMode::Write},
      {"DATA,usr,r", true, DiskCommand::Plain, 0, "DATA", FileType::Usr, FileMode::Read},
      {"$", true, DiskCommand::Directory, 0, "$", FileType::Prg, FileMode::Read},
      {"", false, DiskCommand::Plain, 0, "", FileType::Prg, FileMode::Read},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    D64FileSpec spec;
    EXPECT_EQ(ParseC64Name(row.text, 0, spec), row.ok);
    EXPECT_EQ(spec.command, row.command);
    if (!row.ok) continue;
    EXPECT_EQ(spec.drive, row.drive);
    EXPECT_EQ(spec.name, row.name);
    EXPECT_EQ(spec.kind, row.kind);
    EXPECT_EQ(spec.mode, row.mode);
  }
}

TEST(D64FileSpec, ImageSpecs) {
  struct Row {
    const char* text;
    bool is_spec;
    const char* image;  // empty: parse fails with `message`
    const char* message;
  };
  const Row rows[] = {
      {"games::ROCKET", true, "games.d64", ""},
      {"dir/games.D64::\"ROCKET\"", true, "dir/games.D64", ""},
      {"\"work.d64::@:GAME\"", true, "work.d64", ""},
      {"game.prg::X", true, "game.prg", ""},
      {"games.d64", false, "", "Error: Incorrect D64::C64 filename syntax\n"},
      {"::ROCKET", false, "", "Error: Incorrect D64::C64 filename syntax\n"},
      {"games::", false, "", "Error: Incorrect D64::C64 filename syntax\n"},
      {"games::0:ROCKET", true, "", "Error: Incorrect D64::C64 filename syntax\n"},
      {"games::\"\"", true, "", "Error: filename is blank\n"},
      {"games::@:", true, "", "Error: filename is blank\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    EXPECT_EQ(IsImageSpec(row.text), row.is_spec);
    MsgLog log;
    D64FileSpec spec;
    const bool ok = ParseImageSpec(log, row.text, spec);
    EXPECT_EQ(ok, *row.image != '\0');
    EXPECT_EQ(test::Transcript(log), row.message);
    if (ok) {
      EXPECT_EQ(spec.image_path.Text(), row.image);
    }
  }
}

TEST(D64FileSpec, Wildcards) {
  struct Row {
    const char* pattern;
    const char* name;
    bool match;
  };
  const Row rows[] = {
      {"ROCK*", "ROCKET", true},  {"ROCK*", "ROCK", true},     {"R?CKET", "ROCKET", true},
      {"R?CKET", "RCKET", false}, {"rocket", "ROCKET", false}, {"ROCK", "ROCKET", false},
      {"*O*E?", "ROCKET", true},  {"A*B*C", "AXBYBZC", true},  {"A*B*C", "AXBYCZ", false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.pattern) + " " + row.name);
    EXPECT_EQ(MatchesPattern(row.pattern, row.name), row.match);
  }
}


TEST(ProgramLoad, ThroughLocator) {
  test::ScratchDir dir;
  FileLocator locator;
  locator.SetPrimary(HiPath(dir.Path() + "/"));
  MsgLog log;
  ProgramFile f;
  WriteBytes(dir.File("game.prg"), {0x01, 0x08, 0x00, 0x00});
  ASSERT_TRUE(LoadProgramFile(log, locator, "game.prg", FileType::Prg, f));
  EXPECT_EQ(f.name, "game");
  EXPECT_EQ(f.load_address, 0x0801);
  EXPECT_EQ(f.Size(), 2u);
  // Keep-the-type mode: the whole file is data, the type comes from the name.
  ASSERT_TRUE(LoadProgramFile(log, locator, "game.prg", FileType::Unspecified, f));
  EXPECT_EQ(f.type, FileType::Prg);
  EXPECT_EQ(f.Size(), 4u);
  WriteBytes(dir.File("notes.Seq"), {0x41});
  ASSERT_TRUE(LoadProgramFile(log, locator, "notes.Seq", FileType::Unspecified, f));
  EXPECT_EQ(f.type, FileType::Seq);
  EXPECT_TRUE(test::Texts(log).empty());

  WriteBytes(dir.File("one.prg"), {0x01});
  WriteBytes(dir.File("disk.d64"), Bytes(174848, 0));
  for (const char* path : {"", "missing.prg", "one.prg", "games::ROCKET", "disk::\"ROCKET\""})
    EXPECT_FALSE(LoadProgramFile(log, locator, path, FileType::Prg, f));
  EXPECT_EQ(test::Texts(log), (std::vector<std::string>{
                                  "No filename specified",
                                  "File not found: missing.prg",
                                  "Error loading file " + dir.File("one.prg"),
                                  ".d64 file not found: games.d64",
                                  "File not found",
                              }));
}

// Hand-made images and containers with the faults real ones carry: each
// gives a clear message and fails, or loads the right bytes with a Warning.
// Byte layouts from the 1581 user's guide and the T64 and PC64 documents.
// $0801 and `size` bytes of a pattern.
std::vector<uint8_t> Prg(size_t size) { return test::PrgBytes(test::MakePrg(0x0801, size)); }

// A D81 whose directory (40/3, linked to `dir_link`) holds "A", a PRG at
// 1/0 linked to `link`; 40 sectors a track.
std::vector<uint8_t> D81(TrackSector link, uint8_t dir_link) {
  constexpr size_t kDir = (39 * 40 + 3) * 256;
  std::vector<uint8_t> d(819200, 0);
  d[kDir - 3 * 256] = 40, d[kDir - 3 * 256 + 1] = 3;
  d[kDir] = dir_link == 0 ? 0 : 40, d[kDir + 1] = dir_link == 0 ? 0xFF : dir_link;
  d[kDir + 2] = 0x82, d[kDir + 3] = 1, d[kDir + 5] = 'A';
  std::fill_n(d.begin() + kDir + 6, 15, 0xA0);
  d[0] = link.track, d[1] = link.sector, d[2] = 0x01, d[3] = 0x08, d[4] = 0x60;
  return d;
}

// A PC64 header naming "GAME", then `body`.
std::vector<uint8_t> Pc64(const std::vector<uint8_t>& body) {
  std::vector<uint8_t> b(26 + body.size(), 0);
  const std::string head = std::string("C64File", 8) + "GAME";
  std::copy(head.begin(), head.end(), b.begin());
  std::copy(body.begin(), body.end(), b.begin() + 26);
  return b;
}

TEST(ContainerQuirks, MessagesAndBytes) {
  const std::string end_warning = "Warning: T64 archive @tape.t64: file \"game\" gives the end address ";
  const std::string tape_loaded = "Info: Loading t64 archive @tape.t64\nInfo: Loaded: game\n";
  const struct {
    const char* what;
    const char* file;  // an image's "a", an archive's "game" is loaded
    std::vector<uint8_t> bytes;
    std::string messages;  // "@" stands for the folder
    std::vector<uint8_t> loaded;  // empty: the load fails
  } rows[] = {
      {"unknown D81 size", "x.d81", std::vector<uint8_t>(1000, 0),
       "Error: Error loading d81 image @x.d81: its size fits no .d81 image (819200, 822400 bytes)\n", {}},
      {"truncated D71", "x.d71", std::vector<uint8_t>(349695, 0),
       "Error: Error loading d71 image @x.d71: its size fits no .d71 image (349696, 351062 bytes)\n", {}},
      {"42 tracks and error bytes, no file", "x.d64", std::vector<uint8_t>(206114, 0),
       "Info: Loading d64 image @x.d64\nError: File not found\n", {}},
      {"D81 directory loops", "x.d81", D81({0, 4}, 3),
       "Info: Loading d81 image @x.d81\nError: Error loading d81 image: The directory chain loops or leaves the "
       "directory track\n", {}},
      {"D81 file runs off the disk", "x.d81", D81({81, 0}, 0),
       "Info: Loading d81 image @x.d81\nError: Could not load file: a: a sector link points off the disk\n", {}},
      {"D81", "x.d81", D81({0, 4}, 0), "Info: Loading d81 image @x.d81\nInfo: Loaded: a\n", {0x01, 0x08, 0x60}},
      {"T64 as written", "tape.t64", test::TapeArchive({{"GAME", Prg(100)}}), tape_loaded, Prg(100)},
      {"T64 end address past the data", "tape.t64", test::TapeArchive({{"GAME", Prg(100), 0xC3C6}}),
       end_warning + "$C3C6, but its data holds 100 bytes; those are taken\n" + tape_loaded, Prg(100)},
      {"T64 end address before the start", "tape.t64", test::TapeArchive({{"GAME", Prg(40), 0x0001}}),
       end_warning + "$0001, but its data holds 40 bytes; those are taken\n" + tape_loaded, Prg(40)},
      {"T64 cut short", "tape.t64", test::TapeArchive({{"GAME", Prg(60), 0x0865}}),
       end_warning + "$0865, but its data holds 60 bytes; those are taken\n" + tape_loaded, Prg(60)},
      {"T64 header counts no file", "tape.t64", test::TapeArchive({{"GAME", Prg(100)}}, 0),
       "Warning: T64 archive @tape.t64: the header counts 0 files, the directory holds 1\n" + tape_loaded, Prg(100)},
      {"T64 shorter than its header", "tape.t64", std::vector<uint8_t>(40, 'C'),
       "Error: Error loading t64 archive @tape.t64: it is shorter than a T64 header (64 bytes)\n", {}},
      {"T64 without signature", "tape.t64", std::vector<uint8_t>(200, 0),
       "Error: Error loading t64 archive @tape.t64: no T64 signature\n", {}},
      {"S00 file", "data.s00", Pc64({'H', 'I'}), "Info: Loaded @data.s00: C64 name \"game\"\n", {'H', 'I'}},
      {"P00 without header", "bad.p00", std::vector<uint8_t>(30, 1),
       "Error: Error loading file @bad.p00: no PC64 header (\"C64File\")\n", {}},
      {"P00 without load address", "short.p00", Pc64({}),
       "Error: Error loading file @short.p00: the program has no load address\n", {}},
  };
  test::ScratchDir dir;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    const std::string path = dir.File(row.file);
    test::WriteBytes(path, row.bytes);
    MsgLog log;
    ProgramFile out;
    FileLocator locator;
    const std::string extension = path.substr(path.size() - 3);
    const bool pc64 = extension == "p00" || extension == "s00";
    const bool ok = pc64 ? LoadProgramFile(log, locator, path, FileType::Prg, out)
                         : LoadFromImage(log, path + (extension == "t64" ? "::game" : "::a"), out);
    EXPECT_EQ(ok, !row.loaded.empty());
    std::string expected = row.messages;
    for (size_t at; (at = expected.find('@')) != std::string::npos;) expected.replace(at, 1, dir.Path() + "/");
    EXPECT_EQ(test::Transcript(log), expected);
    if (ok) {
      EXPECT_EQ(out.Bytes(), row.loaded);
    }
  }
}

using test::D64Offset;
using test::kBam;
using test::kDir;

// The bytes expected at offsets of an image.
void ExpectAt(const Bytes& d, const std::vector<std::pair<size_t, Bytes>>& expected) {
  for (const auto& [at, bytes] : expected)
    EXPECT_EQ(Bytes(d.begin() + static_cast<long>(at), d.begin() + static_cast<long>(at + bytes.size())), bytes) << at;
}

TEST(D64Image, FormatWritesAnEmptyDisk) {
  D64Image image;
  ASSERT_TRUE(image.Format("WORK", "64"));
  EXPECT_EQ(image.FreeBlocks(), 664);  // 683 sectors less the 19 of track 18
  ASSERT_EQ(image.Data().size(), 174848u);
  // Track 1: 21 free, bits 0-20; track 18: 17 free, sectors 0 and 1 used;
  // track 35: 17 free, bits 0-16. 18/2 as cc1541 leaves it.
  ExpectAt(image.Data(), {{kBam, {18, 1, 0x41, 0, 21, 0xFF, 0xFF, 0x1F}},
                          {kBam + 4 + 4 * 17, {17, 0xFC, 0xFF, 0x07}},
                          {kBam + 4 + 4 * 34, {17, 0xFF, 0xFF, 0x01}},
                          {kBam + 0x90, {'W', 'O', 'R', 'K', 0xA0, 0xA0, 0xA0, 0xA0, 0xA0, 0xA0, 0xA0, 0xA0, 0xA0, 0xA0,
                                         0xA0, 0xA0, 0xA0, 0xA0, '6', '4', 0xA0, '2', 'A', 0xA0, 0xA0, 0xA0, 0xA0, 0}},
                          {kDir, {0x00, 0xFF, 0x00}},
                          {D64Offset(18, 2), {0, 0, 0}}});
  std::vector<SectorPosition> positions;
  ASSERT_TRUE(image.DirectoryPositions(positions));
  EXPECT_EQ(positions.size(), 8u);
}

// The 1541 DOS's order (ROM, next track and sector routine): 10 sectors on,
// wrapping one lower; a full track passes to the next one away from the
// directory with the same sector, and past track 1 it goes on from track 19.
TEST(D64Image, FilesTakeSectorsInThe1541Order) {
  D64Image image = test::Blank();
  const std::vector<TrackSector> all = image.AllocateFileSectors(664);
  ASSERT_EQ(all.size(), 664u);  // every free block, track 35 too
  std::vector<int> track17;
  for (size_t i = 0; i < 21; ++i) track17.push_back(all[i].track == 17 ? all[i].sector : -1);
  EXPECT_EQ(track17, (std::vector<int>{0, 10, 20, 8, 18, 6, 16, 4, 14, 2, 12, 1, 11, 3, 13, 5, 15, 7, 17, 9, 19}));
  EXPECT_EQ(all[21], (TrackSector{16, 7}));   // 19 + 10 wraps to 8, one lower
  EXPECT_EQ(all[357], (TrackSector{19, 10}));  // tracks 17-1 hold 357 sectors
  EXPECT_EQ(all.back().track, 35);
  EXPECT_EQ(image.FreeBlocks(), 0);
  EXPECT_TRUE(image.AllocateFileSectors(1).empty());
}

TEST(D64Image, SavedFileLinksItsSectorsInLayoutOrder) {
  MsgLog log;
  D64Image image = test::Blank();
  const std::vector<uint8_t> bytes = test::PrgBytes(test::MakePrg(0x0801, 3 * 254 + 8));  // 4 blocks, 10 in the last
  ASSERT_TRUE(test::Put(log, image, "four", bytes));  // a C64's FOUR
  EXPECT_EQ(test::Transcript(log), "Info: Saving four: Ok\n");
  // Track 17: 17 free, sectors 0, 8, 10 and 20 used.
  ExpectAt(image.Data(), {{kDir + 2, {0x82, 17, 0, 'F', 'O', 'U'}},
                          {kDir + 30, {4, 0}},
                          {D64Offset(17, 0), {17, 10, 0x01, 0x08, bytes[2], bytes[3]}},
                          {D64Offset(17, 10), {17, 20}},
                          {D64Offset(17, 20), {17, 8}},
                          {D64Offset(17, 8), {0, 11}},
                          {D64Offset(17, 8) + 11, {bytes.back()}},
                          {kBam + 4 + 4 * 16, {17, 0xFE, 0xFA, 0x0F}}});
  EXPECT_EQ(image.FreeBlocks(), 660);
}

// Directory sectors go 3 apart, as on disks a 1541 or cc1541 wrote: 18/1,
// then 18/4. Each new file starts at the first free sector of track 17.
TEST(D64Image, NinthEntryOpensDirectorySector4) {
  MsgLog log;
  D64Image image = test::Blank();
  for (int i = 1; i <= 9; ++i) {
    ASSERT_TRUE(test::Put(log, image, std::string(1, 'f') += std::to_string(i), test::PrgBytes(test::MakePrg(0x0801, 10, i))));
  }
  ExpectAt(image.Data(), {{kDir, {18, 4}},
                          {D64Offset(18, 4), {0x00, 0xFF, 0x82, 17, 8, 'F', '9'}},
                          {kBam + 4 + 4 * 17, {16, 0xEC, 0xFF, 0x07}}});
}

using Poke = std::function<void(std::vector<uint8_t>&)>;

// A fresh disk holding "F": 3 blocks on 17/0, 17/10, 17/20.
std::vector<uint8_t> DiskWithFile() {
  MsgLog log;
  D64Image image = test::Blank();
  test::Put(log, image, "F", test::PrgBytes(test::MakePrg(0x0801, 600)));
  return image.Data();
}

void Link(std::vector<uint8_t>& d, int track, int sector, uint8_t to_track, uint8_t to_sector) {
  d[D64Offset(track, sector)] = to_track;
  d[D64Offset(track, sector) + 1] = to_sector;
}

// A broken file chain stops that file's load; a broken directory or size
// stops every load and save, and the image stays as it was.
TEST(D64Hostile, DamageStopsLoadAndSave) {
  struct Row {
    const char* what;
    Poke poke;
    const char* reason;  // empty: the directory, so saves stop too
  };
  constexpr const char* kOffDisk = "a sector link points off the disk";
  constexpr const char* kNoCount = "its last sector has no valid byte count";
  const Row rows[] = {
      {"loop", [](auto& d) { Link(d, 17, 10, 17, 0); }, "its sector chain loops"},
      {"track past the disk", [](auto& d) { Link(d, 17, 0, 36, 0); }, kOffDisk},
      {"sector past the track", [](auto& d) { Link(d, 17, 0, 17, 21); }, kOffDisk},
      {"sector $FF on a real track", [](auto& d) { Link(d, 17, 20, 17, 0xFF); }, kOffDisk},
      {"last count 1", [](auto& d) { Link(d, 17, 20, 0, 1); }, kNoCount},
      {"last count 0", [](auto& d) { Link(d, 17, 20, 0, 0); }, kNoCount},
      {"no first sector", [](auto& d) { d[kDir + 3] = 0; }, kOffDisk},
      {"over 64 KiB", [](auto& d) {
         // 300 full sectors through tracks 1-15: 76200 bytes.
         d[kDir + 3] = 1;
         d[kDir + 4] = 0;
         for (int i = 0; i < 300; ++i) {
           const bool last = i == 299;
           Link(d, 1 + i / 21, i % 21, last ? 0 : 1 + (i + 1) / 21, last ? 0xFF : (i + 1) % 21);
         }
       }, "it is larger than C64 memory"},
      {"directory loops", [](auto& d) { Link(d, 18, 1, 18, 1); }, ""},
      {"directory leaves track 18", [](auto& d) { Link(d, 18, 1, 17, 5); }, ""},
      {"directory runs into the BAM", [](auto& d) { Link(d, 18, 1, 18, 0); }, ""},
      {"directory link past the track", [](auto& d) { Link(d, 18, 1, 18, 19); }, ""},
      {"error bytes cut short", [](auto& d) { d.resize(175530, 1); }, ""},
      {"truncated", [](auto& d) { d.pop_back(); }, ""},
      {"empty", [](auto& d) { d.clear(); }, ""},
  };
  test::ScratchDir dir;
  const std::string path = dir.File("bad.d64"), loading = "Info: Loading d64 image " + path + "\n";
  const std::string broken = "The directory chain loops or leaves the directory track\n";
  for (const auto& [what, poke, reason] : rows) {
    SCOPED_TRACE(what);
    std::vector<uint8_t> disk = DiskWithFile();
    poke(disk);
    test::WriteBytes(path, disk);
    const bool sized = disk.size() == 174848;
    const std::string load = *reason != '\0' ? loading + "Error: Could not load file: F: " + reason + "\n"
                             : sized ? loading + "Error: Error loading d64 image: " + broken
                                     : "Error: Error loading d64 image " + path + ": its size fits no .d64 image (174848, 175531, 196608, 197376, 205312, 206114 bytes)\n";
    MsgLog load_log;
    ProgramFile out;
    EXPECT_FALSE(LoadFromImage(load_log, path + "::F", out));
    EXPECT_EQ(test::Transcript(load_log), load);
    if (*reason != '\0') continue;
    MsgLog save_log;
    EXPECT_FALSE(test::SaveNow(save_log, path + "::G", test::MakePrg(0x0801, 5), true));
    EXPECT_EQ(test::Transcript(save_log), sized ? loading + "Error: Saving G: " + broken : load);
    EXPECT_EQ(test::ReadBytes(path), disk);
  }
}

TEST(D64Hostile, ReplacingNeverFreesTrack18) {
  test::ScratchDir dir;
  const std::string path = dir.File("disk.d64");
  std::vector<uint8_t> disk = DiskWithFile();
  disk[kDir + 3] = 18;  // the file claims to start at the BAM sector
  disk[kDir + 4] = 0;
  test::WriteBytes(path, disk);
  MsgLog log;
  ASSERT_TRUE(test::SaveNow(log, path + "::@:F", test::MakePrg(0x0801, 20), true)) << test::Transcript(log);
  const std::vector<uint8_t> after = test::ReadBytes(path);
  ExpectAt(after, {{kBam, {18, 1, 0x41}}, {kBam + 4 + 4 * 17, {17}}});  // 18/0 and 18/1 still used
  ProgramFile out;
  ASSERT_TRUE(LoadFromImage(log, path + "::F", out));
  EXPECT_EQ(out.Bytes(), test::PrgBytes(test::MakePrg(0x0801, 20)));
}

TEST(D64Hostile, FullDiskAndFullDirectory) {
  MsgLog log;
  D64Image image = test::Blank();
  // Every block but those of track 18 can be had, track 35's too.
  EXPECT_FALSE(test::Put(log, image, "BIG", std::vector<uint8_t>(664 * 254 + 1, 0x55)));
  EXPECT_EQ(image.FreeBlocks(), 664);
  ASSERT_TRUE(test::Put(log, image, "BIG", std::vector<uint8_t>(664 * 254, 0x55)));
  EXPECT_FALSE(test::Put(log, image, "MORE", {1, 8, 0}));
  EXPECT_EQ(test::Transcript(log), "Error: Saving BIG: Disk full: 665 blocks needed, 664 free\nInfo: Saving BIG: Ok\n"
                                   "Error: Saving MORE: Disk full: 1 block needed, 0 free\n");

  MsgLog dir_log;
  image = test::Blank();
  for (int i = 0; i < 144; ++i) {  // 18 directory sectors of 8 entries
    ASSERT_TRUE(test::Put(dir_log, image, std::string(1, 'F') += std::to_string(i), {1, 8, static_cast<uint8_t>(i)}));
  }
  const std::vector<uint8_t> full = image.Data();
  EXPECT_FALSE(test::Put(dir_log, image, "ONE MORE", {1, 8, 0}));
  EXPECT_EQ(dir_log.Messages().back().text, "Saving ONE MORE: Directory is full");
  EXPECT_EQ(image.Data(), full);
}

TEST(D64Hostile, BamBitmapsWinOverCounts) {
  test::ScratchDir dir;
  D64Image image = test::Blank();
  std::vector<uint8_t> disk = image.Data();
  for (int track = 1; track <= 35; ++track) {
    disk[kBam + 4 * track] = 21;  // counts say free, bitmaps say full
    std::fill_n(disk.begin() + kBam + 4 * track + 1, 3, 0);
  }
  test::WriteBytes(dir.File("a.d64"), disk);
  ASSERT_EQ(image.ReadImageFile(dir.File("a.d64"), false), ImageFileStatus::Ok);
  EXPECT_EQ(image.FreeBlocks(), 0);
  MsgLog log;
  EXPECT_FALSE(test::Put(log, image, "F", {1, 8, 0}));
  disk[kBam + 4 * 17 + 1] = 0x03;  // 17/0 and 17/1 free, count still 21
  test::WriteBytes(dir.File("a.d64"), disk);
  ASSERT_EQ(image.ReadImageFile(dir.File("a.d64"), false), ImageFileStatus::Ok);
  ASSERT_TRUE(test::Put(log, image, "F", {1, 8, 0}));
  EXPECT_EQ(image.Data()[kBam + 4 * 17], 1);  // recounted from the bitmap
}

// Random damage to links, the directory and the BAM: loads stay within
// C64 memory, and a failed save never touches the file.
TEST(D64Hostile, RandomDamage) {
  test::ScratchDir dir;
  const std::string path = dir.File("r.d64");
  std::mt19937 random(64);
  for (int round = 0; round < 200; ++round) {
    std::vector<uint8_t> disk = DiskWithFile();
    for (int i = 0; i < 4; ++i) {
      const size_t at[] = {kDir + random() % 64, kBam + random() % 144, D64Offset(17, random() % 21) + random() % 2};
      disk[at[random() % 3]] = static_cast<uint8_t>(random());
    }
    test::WriteBytes(path, disk);
    MsgLog log;
    ProgramFile out;
    if (LoadFromImage(log, path + "::F", out)) {
      EXPECT_LE(out.Size(), 65538u);
    }
    if (!test::SaveNow(log, path + "::@:F", test::MakePrg(0x0801, 300), true)) {
      EXPECT_EQ(test::ReadBytes(path), disk);
    }
  }
}

}  // namespace
}  // namespace vantrel
