// A program's bytes in memory and in files: address ranges, the memory
// image, program files read and written with their headers, hex dumps.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "image/address_range.h"
#include "image/hex_dump.h"
#include "image/memory_image.h"
#include "image/program_file.h"
#include "image/program_io.h"
#include "image_test_helpers.h"
#include "test_support.h"

namespace vantrel {
namespace {

using test::MakePrg;
using test::ReadBytes;
using test::WriteBytes;
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

// Extend, Contains and Overlaps are checked through the memory image and the
// loaded code behind BASIC.
constexpr uint64_t kAll = AddressRange::kAllOnes;

TEST(AddressRange, EmptinessSizeFitAndText) {
  struct Row {
    uint64_t start, end;
    bool empty, fits;
    uint64_t size;
  };
  const Row rows[] = {
      {1, 0, true, false, 0},           {kAll, kAll - 1, true, false, 0},  // constructed, reset
      {kAll, kAll, true, false, 0},     {0x0900, 0x08ff, true, false, 0},
      {0, kAll, false, false, 0},       {0xc000, 0xc000, false, true, 1},  // full range: no size
      {0, 0xffff, false, true, 0x10000}, {0xff00, 0x10000, false, false, 0x101},
  };
  for (const Row& row : rows) {
    const AddressRange r(row.start, row.end);
    SCOPED_TRACE(r.Text());
    EXPECT_EQ(r.IsEmpty(), row.empty);
    EXPECT_EQ(r.Fits16Bits(), row.fits);
    if (row.end != kAll) {
      EXPECT_EQ(r.Size(), row.size);
    }
  }
  // An empty range neither overlaps nor extends another.
  AddressRange r(0x0801, 0x0a00);
  EXPECT_FALSE(r.Overlaps(AddressRange(0x0a00, 0x09ff)));
  r.Extend(AddressRange(0x2000, 0x1fff));
  EXPECT_EQ(r, AddressRange(0x0801, 0x0a00));
  EXPECT_EQ(AddressRange(0x10, 0xff).Text(), "$10 ff");
  EXPECT_EQ(AddressRange(0xff, 0x100).Text(), "$ff 0100");
}

// The cases where no address is taken; taking one is covered through the readers.
TEST(ProgramFile, LoadAddressTakenOnlyFromAWholeWord) {
  const std::pair<FileType, size_t> rows[] = {{FileType::Prg, 1}, {FileType::Prg, 65537}, {FileType::Seq, 3}};
  for (const auto& [type, size] : rows) {
    SCOPED_TRACE(size);
    ProgramFile f = test::MakePrg(0x1234, std::vector<uint8_t>(size, 0x08), true);
    f.type = type;
    const uint16_t kept = size == 1 ? 0x1234 : 0;
    EXPECT_EQ(f.PeekLoadAddress(), kept);
    EXPECT_EQ(f.TakeLoadAddress(), kept);
    EXPECT_EQ(f.Size(), size);
  }
}

const std::string kRealPrg = test::CorpusPath("card-games/prg/Poker4-en/start-poker-4-en.prg");

TEST(ProgramIo, ReadHeaderRules) {
  Bytes rel(3 + 2 * 64, 0x55);
  rel[0] = 2, rel[1] = 0, rel[2] = 64;
  Bytes rel_bad = rel;
  rel_bad[0] = 3;
  const struct {
    const char* what;
    FileType type;
    Bytes bytes;
    int data_size;  // -1: the read fails
  } rows[] = {
      {"PRG, address only", FileType::Prg, {0x01, 0x08}, 0},
      {"PRG of one byte", FileType::Prg, {0x01}, -1},
      {"empty PRG", FileType::Prg, {}, -1},
      {"REL, 2 records of 64", FileType::Rel, rel, 128},
      {"REL claiming 3 records", FileType::Rel, rel_bad, -1},
      {"REL short header", FileType::Rel, {0x00, 0x00}, -1},
      {"SEQ keeps every byte", FileType::Seq, {0x01, 0x08, 0x41}, 3},
      {"empty SEQ", FileType::Seq, {}, -1},
  };
  test::ScratchDir dir;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    WriteBytes(dir.File("f"), row.bytes);
    ProgramFile f;
    ASSERT_EQ(ReadProgramFile(dir.File("f"), row.type, f), row.data_size >= 0);
    if (row.data_size >= 0) {
      EXPECT_EQ(f.Size(), static_cast<size_t>(row.data_size));
    }
  }
  ProgramFile f;
  EXPECT_FALSE(ReadProgramFile(dir.File("missing"), FileType::Seq, f));
  EXPECT_FALSE(ReadProgramFile(dir.Path(), FileType::Seq, f));
  ASSERT_EQ(mkfifo(dir.File("fifo").c_str(), 0600), 0);
  EXPECT_FALSE(ReadProgramFile(dir.File("fifo"), FileType::Seq, f));  // opening it would wait for a writer
}

TEST(ProgramIo, ReadAndWriteFields) {
  ProgramFile f;
  ASSERT_TRUE(ReadProgramFile(kRealPrg, FileType::Prg, f));
  EXPECT_EQ(f.load_address, 0x0801);
  EXPECT_EQ(f.Size(), 439u);
  auto host = [](const ProgramFile& file, FileType type) {
    const std::string bytes = ProgramFileHostBytes(file, type);
    return Bytes(bytes.begin(), bytes.end());
  };
  EXPECT_EQ(host(f, FileType::Prg), ReadBytes(kRealPrg));

  test::ScratchDir dir;
  WriteBytes(dir.File("r"), {0x02, 0x00, 0x01, 0xaa, 0xbb});
  ASSERT_TRUE(ReadProgramFile(dir.File("r"), FileType::Rel, f));
  EXPECT_EQ(f.record_count, 2);
  EXPECT_EQ(f.record_length, 1);
  EXPECT_EQ(host(f, FileType::Rel), (Bytes{0x02, 0x00, 0x01, 0xaa, 0xbb}));
  EXPECT_EQ(host(f, FileType::Seq), (Bytes{0xaa, 0xbb}));
  // A load address still in the data is not written twice.
  EXPECT_EQ(host(test::MakePrg(0, {0x00, 0xc0, 0x60}, true), FileType::Prg), (Bytes{0x00, 0xc0, 0x60}));
}

// 16 byte columns of " xx", a bar, 16 character columns; 32 to 127 show
// as themselves, $7F included.
TEST(HexDump, Lines) {
  const Bytes bytes = {0x0b, 0x08, 0x0a, 0x00, 0x9e, 0x32, 0x30, 0x36, 0x31, 0x00, 0x00, 0x00, 0x20, 0x7f, 0x80, 0xff, 0x41};
  const std::string line = "0801: 0b 08 0a 00 9e" + std::string(33, ' ') + "|....." + std::string(11, ' ') + "\n";
  const std::string sixteen = "0801: 0b 08 0a 00 9e 32 30 36 31 00 00 00 20 7f 80 ff|.....2061... \x7f..\n";
  const struct {
    ProgramFile file;
    bool address, characters;
    std::string dump;
  } rows[] = {
      {MakePrg(0x0801, {bytes.begin(), bytes.begin() + 5}), true, true, line},
      {MakePrg(0, {0x01, 0x08, 0x0b, 0x08, 0x0a, 0x00, 0x9e}, true), true, true, line},
      {MakePrg(0x0801, {bytes.begin(), bytes.begin() + 5}), false, false, " 0b 08 0a 00 9e" + std::string(33, ' ') + "\n"},
      {MakePrg(0x0801, {}), true, true, ""},
      {MakePrg(0x0801, {bytes.begin(), bytes.end() - 1}), true, true, sixteen},
      {MakePrg(0x0801, bytes), true, true, sixteen + "0811: 41" + std::string(45, ' ') + "|A" + std::string(15, ' ') + "\n"},
  };
  for (const auto& row : rows) EXPECT_EQ(HexDump(row.file, row.address, row.characters), row.dump);
  // Addresses wrap past $FFFF; lines do not.
  const std::string wrap = HexDump(MakePrg(0xfff8, Bytes(20, 0x2a)), true, true);
  EXPECT_EQ(wrap.substr(wrap.find('\n') + 1, 5), "0008:");
}

}  // namespace
}  // namespace vantrel
