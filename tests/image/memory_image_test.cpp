#include "image/memory_image.h"

#include <gtest/gtest.h>

#include <memory>

#include "test_support.h"

namespace vantrel {
namespace {

ProgramFile Prg(uint16_t load_address, std::vector<uint8_t> bytes, bool pending = false) {
  ProgramFile f;
  f.type = FileType::Prg;
  f.load_address = load_address;
  f.load_address_pending = pending;
  f.SetData(std::move(bytes));
  return f;
}

// 10 PRINT: link $0807, line 10, PRINT token, end of line, end of program.
const std::vector<uint8_t> kTenPrint = {0x07, 0x08, 0x0a, 0x00, 0x99, 0x00, 0x00, 0x00};

TEST(MemoryImage, NewImageIsZeroedAndUnused) {
  auto image = std::make_unique<MemoryImage>();
  EXPECT_TRUE(image->Used().IsEmpty());
  for (uint32_t a = 0; a <= 0xffff; a += 0x1111) EXPECT_EQ(image->Read(static_cast<uint16_t>(a)), 0);
  ProgramFile f;
  EXPECT_FALSE(image->Extract(image->Used(), f));
  EXPECT_EQ(f.Size(), 0u);
}

TEST(MemoryImage, ExtractSingleByteAndGap) {
  MemoryImage image;
  image.Write(0xc000, 0x60);
  image.MarkUsed(0xc000);
  EXPECT_EQ(image.Used(), AddressRange(0xc000, 0xc000));
  ProgramFile f;
  ASSERT_TRUE(image.Extract(image.Used(), f));
  EXPECT_EQ(f.type, FileType::Prg);
  EXPECT_EQ(f.load_address, 0xc000);
  EXPECT_EQ(f.Bytes(), std::vector<uint8_t>{0x60});

  image.Clear();
  EXPECT_TRUE(image.Used().IsEmpty());
  EXPECT_EQ(image.Read(0xc000), 0);
  image.Write(0x0801, 0xaa);
  image.MarkUsed(0x0801);
  image.Write(0x07ff, 0xbb);
  image.MarkUsed(0x07ff);
  EXPECT_EQ(image.Used(), AddressRange(0x07ff, 0x0801));
  ASSERT_TRUE(image.Extract(image.Used(), f));
  EXPECT_EQ(f.load_address, 0x07ff);
  EXPECT_EQ(f.Bytes(), (std::vector<uint8_t>{0xbb, 0x00, 0xaa}));
}

TEST(MemoryImage, ExtractWholeMemoryAndRefuseBeyond) {
  MemoryImage image;
  image.Write(0xffff, 0x42);
  image.MarkWordUsed(0x1234);
  EXPECT_EQ(image.Used(), AddressRange(0x1234, 0x1235));
  ProgramFile f;
  ASSERT_TRUE(image.Extract(AddressRange(0, 0xffff), f));
  EXPECT_EQ(f.Size(), 65536u);
  EXPECT_EQ(f.load_address, 0);
  EXPECT_EQ(f.Data()[0xffff], 0x42);
  EXPECT_FALSE(image.Extract(AddressRange(0xff00, 0x10000), f));
  EXPECT_FALSE(image.Extract(AddressRange(0, AddressRange::kAllOnes), f));
}

TEST(MemoryImage, PlaceMarksTheLoadedRange) {
  MemoryImage image;
  ASSERT_TRUE(image.Place(Prg(0x0801, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10})));
  EXPECT_EQ(image.Used(), AddressRange(0x0801, 0x080a));
  EXPECT_EQ(image.Read(0x0801), 1);
  EXPECT_EQ(image.Read(0x080a), 10);
  EXPECT_EQ(image.Read(0x080b), 0);

  // A pending load address is read from the data and not placed.
  ASSERT_TRUE(image.Place(Prg(0, {0x00, 0xc0, 0xea, 0x60}, true)));
  EXPECT_EQ(image.Read(0xc000), 0xea);
  EXPECT_EQ(image.Read(0xc001), 0x60);
  EXPECT_EQ(image.Used(), AddressRange(0x0801, 0xc001));

  // The last byte may sit at $FFFE but not at $FFFF.
  EXPECT_TRUE(image.Place(Prg(0xfff0, std::vector<uint8_t>(15, 0xee))));
  EXPECT_EQ(image.Used().end, 0xfffeu);
}

TEST(MemoryImage, PlaceRefusals) {
  ProgramFile seq = Prg(0x0801, {1});
  seq.type = FileType::Seq;
  struct Row {
    const char* what;
    ProgramFile file;
  };
  const Row rows[] = {
      {"ends at $FFFF", Prg(0xfff0, std::vector<uint8_t>(16, 0xee))},
      {"load address 0", Prg(0, {1, 2, 3})},
      {"not a PRG", seq},
      {"no data", Prg(0x0801, {})},
      {"pending address only", Prg(0, {0x01, 0x08}, true)},
      {"pending address zero", Prg(0x0801, {0x00, 0x00, 0x01}, true)},
      {"too large", Prg(0x0001, std::vector<uint8_t>(65537, 1))},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    MemoryImage image;
    EXPECT_FALSE(image.Place(row.file));
    EXPECT_TRUE(image.Used().IsEmpty());
    EXPECT_EQ(image.Read(0x0801), 0);
    EXPECT_EQ(image.Read(0xfff0), 0);
  }
}

TEST(MemoryImage, BasicEndOfRealProgram) {
  // 441 bytes: load address $0801, then a BASIC program whose last byte is the
  // high byte of the closing null link, at $0801 + 439 - 1.
  const std::vector<uint8_t> file = test::ReadBytes(test::CorpusPath("card-games/prg/Poker4-en/start-poker-4-en.prg"));
  ASSERT_EQ(file.size(), 441u);
  MemoryImage image;
  ASSERT_TRUE(image.Place(Prg(0, file, true)));
  EXPECT_EQ(image.BasicEnd(), 0x09b7);
  EXPECT_TRUE(image.RangeBehindBasic().IsEmpty());

  image.Write(0xc000, 0x60);
  image.MarkUsed(0xc000);
  EXPECT_EQ(image.BasicEnd(), 0x09b7);
  EXPECT_EQ(image.RangeBehindBasic(), AddressRange(0x09b8, 0xc000));
}

TEST(MemoryImage, BasicEndChains) {
  struct Row {
    const char* what;
    std::vector<uint8_t> bytes;
    uint16_t end;
  };
  const Row rows[] = {
      {"one line", kTenPrint, 0x0808},
      {"data behind", {0x07, 0x08, 0x0a, 0x00, 0x99, 0x00, 0x00, 0x00, 0xea}, 0x0808},
      {"empty program", {0x00, 0x00, 0x11, 0x22}, 0},
      {"link to itself", {0x01, 0x08, 0x0a, 0x00, 0x99, 0x00, 0x00, 0x00}, 0},
      {"link backwards", {0x07, 0x08, 0x0a, 0x00, 0x99, 0x00, 0x03, 0x08, 0x00}, 0},
      {"link past the used end", {0x07, 0x09, 0x0a, 0x00, 0x99, 0x00, 0x00, 0x00}, 0},
      {"two lines", {0x07, 0x08, 0x0a, 0x00, 0x99, 0x00, 0x0d, 0x08, 0x14, 0x00, 0x99, 0x00, 0x00, 0x00}, 0x080e},
      {"line without end byte",
       {0x07, 0x08, 0x0a, 0x00, 0x99, 0x22, 0x0d, 0x08, 0x14, 0x00, 0x99, 0x00, 0x00, 0x00},
       0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    MemoryImage image;
    ASSERT_TRUE(image.Place(Prg(0x0801, row.bytes)));
    EXPECT_EQ(image.BasicEnd(), row.end);
    const AddressRange behind = image.RangeBehindBasic();
    if (row.end == 0) {
      EXPECT_EQ(behind, image.Used());
    } else if (row.end == image.Used().end) {
      EXPECT_TRUE(behind.IsEmpty());
    } else {
      EXPECT_EQ(behind, AddressRange(row.end + 1u, image.Used().end));
    }
  }
  MemoryImage unused;
  EXPECT_EQ(unused.BasicEnd(), 0);
  EXPECT_TRUE(unused.RangeBehindBasic().IsEmpty());
}

}  // namespace
}  // namespace vantrel
