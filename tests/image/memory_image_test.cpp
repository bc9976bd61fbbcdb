#include "image/memory_image.h"

#include <gtest/gtest.h>

#include "image_test_helpers.h"
#include "test_support.h"

namespace vantrel {
namespace {

using test::MakePrg;
using Bytes = std::vector<uint8_t>;

TEST(MemoryImage, UsedRangeAndExtract) {
  MemoryImage image;
  ProgramFile f;
  EXPECT_FALSE(image.Extract(image.Used(), f));  // nothing used yet
  image.Write(0xc000, 0x60);
  image.MarkUsed(0xc000);
  image.Clear();
  EXPECT_TRUE(image.Used().IsEmpty());
  EXPECT_EQ(image.Read(0xc000), 0);

  image.Write(0x0801, 0xaa);
  image.MarkUsed(0x0801);
  image.Write(0x07ff, 0xbb);
  image.MarkUsed(0x07ff);
  ASSERT_TRUE(image.Extract(image.Used(), f));
  EXPECT_EQ(f.type, FileType::Prg);
  EXPECT_EQ(f.load_address, 0x07ff);
  EXPECT_EQ(f.Bytes(), (Bytes{0xbb, 0x00, 0xaa}));

  image.Write(0xffff, 0x42);
  ASSERT_TRUE(image.Extract(AddressRange(0, 0xffff), f));
  EXPECT_EQ(f.Size(), 65536u);
  EXPECT_EQ(f.Data()[0xffff], 0x42);
  EXPECT_FALSE(image.Extract(AddressRange(0xff00, 0x10000), f));
  EXPECT_FALSE(image.Extract(AddressRange(0, AddressRange::kAllOnes), f));
}

TEST(MemoryImage, Place) {
  MemoryImage image;
  ASSERT_TRUE(image.Place(MakePrg(0x0801, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10})));
  EXPECT_EQ(image.Used(), AddressRange(0x0801, 0x080a));
  EXPECT_EQ(image.Read(0x080a), 10);
  // A load address still in front of the data is read from it, not placed.
  ASSERT_TRUE(image.Place(MakePrg(0, {0x00, 0xc0, 0xea, 0x60}, true)));
  EXPECT_EQ(image.Read(0xc000), 0xea);
  EXPECT_EQ(image.Used(), AddressRange(0x0801, 0xc001));
  // The last byte may land on $FFFF, as an assembled program's can; one
  // more would wrap to zero page.
  EXPECT_TRUE(image.Place(MakePrg(0xfff0, Bytes(16, 0xee))));
  EXPECT_EQ(image.Used().end, 0xffffu);
}

TEST(MemoryImage, PlaceRefusals) {
  ProgramFile seq = MakePrg(0x0801, {1});
  seq.type = FileType::Seq;
  const std::pair<const char*, ProgramFile> rows[] = {
      {"runs past $FFFF", MakePrg(0xfff0, Bytes(17, 0xee))},
      {"load address 0", MakePrg(0, {1, 2, 3})},
      {"not a PRG", seq},
      {"no data", MakePrg(0x0801, {})},
      {"pending address only", MakePrg(0, {0x01, 0x08}, true)},
      {"too large", MakePrg(0x0001, Bytes(65537, 1))},
  };
  for (const auto& [what, file] : rows) {
    SCOPED_TRACE(what);
    MemoryImage image;
    EXPECT_FALSE(image.Place(file));
    EXPECT_TRUE(image.Used().IsEmpty());
    EXPECT_EQ(image.Read(0xfff0), 0);
  }
}

TEST(MemoryImage, BasicEndOfRealProgram) {
  // Load address $0801 and 439 bytes of BASIC ending with the null link.
  const Bytes file = test::ReadBytes(test::CorpusPath("card-games/prg/Poker4-en/start-poker-4-en.prg"));
  ASSERT_EQ(file.size(), 441u);
  MemoryImage image;
  ASSERT_TRUE(image.Place(MakePrg(0, file, true)));
  EXPECT_EQ(image.BasicEnd(), 0x09b7);
  EXPECT_TRUE(image.RangeBehindBasic().IsEmpty());
  image.MarkUsed(0xc000);
  EXPECT_EQ(image.RangeBehindBasic(), AddressRange(0x09b8, 0xc000));
}

TEST(MemoryImage, BasicEndChains) {
  // Line 10 at $0801 links to $0807; line 20 there links to $080d, the end.
  const std::pair<const char*, Bytes> rows[] = {
      {"two lines", {0x07, 0x08, 0x0a, 0x00, 0x99, 0x00, 0x0d, 0x08, 0x14, 0x00, 0x99, 0x00, 0x00, 0x00}},
      {"a byte behind", {0x07, 0x08, 0x0a, 0x00, 0x99, 0x00, 0x00, 0x00, 0xea}},
      {"empty program", {0x00, 0x00, 0x11}},
      {"link to itself", {0x01, 0x08, 0x0a, 0x00, 0x99, 0x00, 0x00, 0x00}},
      {"later link to itself", {0x07, 0x08, 0x0a, 0x00, 0x99, 0x00, 0x07, 0x08, 0x14, 0x00, 0x99, 0x00, 0x00, 0x00}},
      {"link backwards", {0x07, 0x08, 0x0a, 0x00, 0x99, 0x00, 0x03, 0x08, 0x00}},
      {"link past the used end", {0x07, 0x09, 0x0a, 0x00, 0x99, 0x00, 0x00, 0x00}},
      {"line not ended by 0", {0x07, 0x08, 0x0a, 0x00, 0x99, 0x22, 0x0d, 0x08, 0x14, 0x00, 0x99, 0x00, 0x00, 0x00}},
  };
  const uint16_t ends[] = {0x080e, 0x0808, 0, 0, 0, 0, 0, 0};
  for (size_t i = 0; i < std::size(rows); ++i) {
    SCOPED_TRACE(rows[i].first);
    MemoryImage image;
    ASSERT_TRUE(image.Place(MakePrg(0x0801, rows[i].second)));
    EXPECT_EQ(image.BasicEnd(), ends[i]);
    const AddressRange behind = image.RangeBehindBasic();
    if (ends[i] == 0) {
      EXPECT_EQ(behind, image.Used());  // nothing is BASIC
    } else if (i == 1) {
      EXPECT_EQ(behind, AddressRange(0x0809, 0x0809));
    } else {
      EXPECT_TRUE(behind.IsEmpty());
    }
  }
  EXPECT_EQ(MemoryImage().BasicEnd(), 0);
}

}  // namespace
}  // namespace vantrel
