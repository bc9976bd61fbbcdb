#include "d64/d64_image.h"

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

}  // namespace
}  // namespace vantrel
