// The disk image as a 1541 lays it out, and damaged or hostile images:
// every case of those ends in a clear message, never a crash, a hang or a
// changed image file.
#include "d64/d64_image.h"

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

std::vector<uint8_t> Bytes(const std::vector<uint8_t>& data, size_t offset, size_t n) {
  return {data.begin() + static_cast<long>(offset), data.begin() + static_cast<long>(offset + n)};
}

TEST(D64Image, FormatWritesAnEmptyDisk) {
  D64Image image;
  ASSERT_TRUE(image.Format("WORK", "64"));
  EXPECT_EQ(image.FreeBlocks(), 664);  // 683 sectors less the 19 of track 18
  const std::vector<uint8_t>& d = image.Data();
  ASSERT_EQ(d.size(), 174848u);
  EXPECT_EQ(Bytes(d, kBam, 4), (std::vector<uint8_t>{18, 1, 0x41, 0}));
  // Track 1: 21 free, bits 0-20; track 18: 17 free, sectors 0 and 1 used;
  // track 35: 17 free, bits 0-16.
  EXPECT_EQ(Bytes(d, kBam + 4, 4), (std::vector<uint8_t>{21, 0xFF, 0xFF, 0x1F}));
  EXPECT_EQ(Bytes(d, kBam + 4 + 4 * 17, 4), (std::vector<uint8_t>{17, 0xFC, 0xFF, 0x07}));
  EXPECT_EQ(Bytes(d, kBam + 4 + 4 * 34, 4), (std::vector<uint8_t>{17, 0xFF, 0xFF, 0x01}));
  const std::vector<uint8_t> header{'W', 'O', 'R', 'K', 0xA0, 0xA0, 0xA0, 0xA0, 0xA0, 0xA0, 0xA0, 0xA0, 0xA0,
                                    0xA0, 0xA0, 0xA0, 0xA0, 0xA0, '6', '4', 0xA0, '2', 'A', 0xA0, 0xA0, 0xA0, 0xA0};
  EXPECT_EQ(Bytes(d, kBam + 0x90, header.size()), header);
  EXPECT_EQ(d[kBam + 0xAB], 0);
  EXPECT_EQ(Bytes(d, kDir, 3), (std::vector<uint8_t>{0x00, 0xFF, 0x00}));
  EXPECT_EQ(Bytes(d, D64Offset(18, 2), 3), (std::vector<uint8_t>{0, 0, 0}));  // as cc1541 leaves it
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
  const std::vector<uint8_t>& d = image.Data();
  EXPECT_EQ(Bytes(d, kDir + 2, 6), (std::vector<uint8_t>{0x82, 17, 0, 'F', 'O', 'U'}));
  EXPECT_EQ(Bytes(d, kDir + 30, 2), (std::vector<uint8_t>{4, 0}));
  EXPECT_EQ(Bytes(d, D64Offset(17, 0), 2), (std::vector<uint8_t>{17, 10}));
  EXPECT_EQ(Bytes(d, D64Offset(17, 10), 2), (std::vector<uint8_t>{17, 20}));
  EXPECT_EQ(Bytes(d, D64Offset(17, 20), 2), (std::vector<uint8_t>{17, 8}));
  EXPECT_EQ(Bytes(d, D64Offset(17, 8), 2), (std::vector<uint8_t>{0, 11}));
  EXPECT_EQ(Bytes(d, D64Offset(17, 0) + 2, 4), (std::vector<uint8_t>{0x01, 0x08, bytes[2], bytes[3]}));
  EXPECT_EQ(d[D64Offset(17, 8) + 11], bytes.back());
  // Track 17: 17 free, sectors 0, 8, 10 and 20 used.
  EXPECT_EQ(Bytes(d, kBam + 4 + 4 * 16, 4), (std::vector<uint8_t>{17, 0xFE, 0xFA, 0x0F}));
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
  const std::vector<uint8_t>& d = image.Data();
  EXPECT_EQ(Bytes(d, kDir, 2), (std::vector<uint8_t>{18, 4}));
  EXPECT_EQ(Bytes(d, D64Offset(18, 4), 7), (std::vector<uint8_t>{0x00, 0xFF, 0x82, 17, 8, 'F', '9'}));
  EXPECT_EQ(Bytes(d, kBam + 4 + 4 * 17, 4), (std::vector<uint8_t>{16, 0xEC, 0xFF, 0x07}));
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
