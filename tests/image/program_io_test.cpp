#include "image/program_io.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include "image_test_helpers.h"
#include "test_support.h"

namespace vantrel {
namespace {

using test::ReadBytes;
using test::WriteBytes;
using Bytes = std::vector<uint8_t>;

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

}  // namespace
}  // namespace vantrel
