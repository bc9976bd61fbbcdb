// Damaged and hostile images: every case ends in a clear message, never a
// crash, a hang or a changed image file.
#include <functional>
#include <random>

#include <gtest/gtest.h>

#include "d64/d64_files.h"
#include "d64/d64_test_support.h"
#include "test_support.h"

namespace vantrel {
namespace {

using test::D64Offset;
using test::kBam;
using test::kDir;
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

TEST(D64Hostile, BrokenFileChainsAreNotLoaded) {
  struct Row {
    const char* what;
    Poke poke;
    const char* reason;
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
  };
  test::ScratchDir dir;
  const std::string path = dir.File("bad.d64");
  for (const auto& [what, poke, reason] : rows) {
    SCOPED_TRACE(what);
    std::vector<uint8_t> disk = DiskWithFile();
    poke(disk);
    test::WriteBytes(path, disk);
    MsgLog log;
    ProgramFile out;
    EXPECT_FALSE(LoadFromImage(log, path + "::F", out));
    EXPECT_EQ(test::Transcript(log), "Info: Loading d64 image " + path + "\nError: Could not load file: F: " + reason + "\n");
  }
}

TEST(D64Hostile, CorruptDirectoryOrSizeStopsLoadAndSave) {
  const std::pair<const char*, Poke> rows[] = {
      {"directory loops", [](auto& d) { Link(d, 18, 1, 18, 1); }},
      {"directory leaves track 18", [](auto& d) { Link(d, 18, 1, 17, 5); }},
      {"directory runs into the BAM", [](auto& d) { Link(d, 18, 1, 18, 0); }},
      {"directory link past the track", [](auto& d) { Link(d, 18, 1, 18, 19); }},
      {"error bytes cut short", [](auto& d) { d.resize(175530, 1); }},
      {"truncated", [](auto& d) { d.pop_back(); }},
      {"empty", [](auto& d) { d.clear(); }},
  };
  test::ScratchDir dir;
  const std::string path = dir.File("bad.d64");
  for (const auto& [what, poke] : rows) {
    SCOPED_TRACE(what);
    std::vector<uint8_t> disk = DiskWithFile();
    poke(disk);
    test::WriteBytes(path, disk);
    const bool sized = disk.size() == 174848;
    const std::string broken = "The directory chain loops or leaves the directory track\n";
    const std::string load = sized ? "Info: Loading d64 image " + path + "\nError: Error loading d64 image: " + broken
                                   : "Error: Error loading d64 image " + path + ": its size fits no .d64 image (174848, 175531, 196608, 197376, 205312, 206114 bytes)\n";
    MsgLog load_log;
    ProgramFile out;
    EXPECT_FALSE(LoadFromImage(load_log, path + "::F", out));
    EXPECT_EQ(test::Transcript(load_log), load);
    MsgLog save_log;
    EXPECT_FALSE(test::SaveNow(save_log, path + "::G", test::MakePrg(0x0801, 5), true));
    EXPECT_EQ(test::Transcript(save_log), sized ? "Info: Loading d64 image " + path + "\nError: Saving G: " + broken : load);
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
  EXPECT_EQ(std::vector<uint8_t>(after.begin() + kBam, after.begin() + kBam + 3), (std::vector<uint8_t>{18, 1, 0x41}));
  EXPECT_EQ(after[kBam + 4 + 4 * 17], 17);  // 18/0 and 18/1 still used
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
