#include "image/program_file.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

TEST(ProgramFile, TakeAndPeekLoadAddress) {
  struct Row {
    const char* what;
    FileType type;
    bool pending;
    size_t size;
    uint16_t address;   // returned by peek and take; the field holds $1234 before
    size_t size_after;  // after take
  };
  const Row rows[] = {
      {"pending, with data", FileType::Prg, true, 3, 0x0801, 1},
      {"pending, address only", FileType::Prg, true, 2, 0x0801, 0},
      {"pending, one byte", FileType::Prg, true, 1, 0x1234, 1},
      {"already taken", FileType::Prg, false, 3, 0x1234, 3},
      {"largest", FileType::Prg, true, 65536, 0x0801, 65534},
      {"too large", FileType::Prg, true, 65537, 0, 65537},
      {"empty", FileType::Prg, true, 0, 0, 0},
      {"not a PRG", FileType::Seq, true, 3, 0, 3},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    ProgramFile f;
    f.type = row.type;
    f.load_address_pending = row.pending;
    f.load_address = 0x1234;
    std::vector<uint8_t> bytes(row.size, 0xee);
    if (row.size >= 2) bytes[0] = 0x01, bytes[1] = 0x08;
    f.SetData(bytes);
    EXPECT_EQ(f.PeekLoadAddress(), row.address);
    EXPECT_EQ(f.Size(), row.size);
    EXPECT_EQ(f.load_address_pending, row.pending);
    EXPECT_EQ(f.TakeLoadAddress(), row.address);
    EXPECT_EQ(f.load_address, row.address);
    EXPECT_FALSE(f.load_address_pending);
    ASSERT_EQ(f.Size(), row.size_after);
    if (row.size_after > 0) {
      EXPECT_EQ(f.Data()[0], row.size_after == row.size ? bytes[0] : 0xee);
    }
  }
}

TEST(ProgramFile, AppendWordAndDeepCopy) {
  ProgramFile f;
  f.type = FileType::Prg;
  f.load_address_pending = true;
  f.AppendWord(0xc000);
  f.Append(0xa9);
  const ProgramFile copy = f;
  EXPECT_EQ(f.TakeLoadAddress(), 0xc000);
  f.Append(0x60);
  EXPECT_EQ(f.Bytes(), (std::vector<uint8_t>{0xa9, 0x60}));
  EXPECT_EQ(copy.Bytes(), (std::vector<uint8_t>{0x00, 0xc0, 0xa9}));
  EXPECT_TRUE(copy.load_address_pending);
}

}  // namespace
}  // namespace vantrel
