#include "image/hex_dump.h"

#include <gtest/gtest.h>

#include <string>

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

std::string Blanks(size_t n) { return std::string(n, ' '); }

TEST(HexDump, ShortLastLine) {
  const std::string expected = "0801: 0b 08 0a 00 9e" + Blanks(33) + "|....." + Blanks(11) + "\n";
  EXPECT_EQ(HexDump(Prg(0x0801, {0x0b, 0x08, 0x0a, 0x00, 0x9e}), true, true), expected);
  // A load address still in front of the data is taken out, not dumped.
  EXPECT_EQ(HexDump(Prg(0, {0x01, 0x08, 0x0b, 0x08, 0x0a, 0x00, 0x9e}, true), true, true), expected);
  EXPECT_EQ(HexDump(Prg(0x0801, {0x0b, 0x08, 0x0a, 0x00, 0x9e}), false, false),
            " 0b 08 0a 00 9e" + Blanks(33) + "\n");
}

TEST(HexDump, SixteenAndSeventeenBytes) {
  const std::vector<uint8_t> bytes = {0x0b, 0x08, 0x0a, 0x00, 0x9e, 0x32, 0x30, 0x36, 0x31,
                                      0x00, 0x00, 0x00, 0x20, 0x7f, 0x80, 0xff, 0x41};
  // Characters 32 to 127 stand for themselves, $7F included.
  const std::string first = "0801: 0b 08 0a 00 9e 32 30 36 31 00 00 00 20 7f 80 ff|.....2061... \x7f..\n";
  EXPECT_EQ(HexDump(Prg(0x0801, {bytes.begin(), bytes.end() - 1}), true, true), first);
  EXPECT_EQ(HexDump(Prg(0x0801, bytes), true, true),
            first + "0811: 41" + Blanks(45) + "|A" + Blanks(15) + "\n");
}

TEST(HexDump, AddressWrapsAtTheTopOfMemory) {
  const std::string dump = HexDump(Prg(0xfff8, std::vector<uint8_t>(20, 0x2a)), true, true);
  EXPECT_EQ(dump.substr(0, 5), "fff8:");
  EXPECT_EQ(dump.substr(dump.find('\n') + 1, 5), "0008:");
}

TEST(HexDump, FullMemoryGivesEveryLine) {
  std::vector<uint8_t> bytes(65536, 0x00);
  bytes[0xfff0] = 0x41;
  const std::string dump = HexDump(Prg(0, bytes), true, true);
  constexpr size_t kLine = 4 + 1 + 16 * 3 + 1 + 16 + 1;
  ASSERT_EQ(dump.size(), 4096 * kLine);
  EXPECT_EQ(dump.substr(0, 5), "0000:");
  EXPECT_EQ(dump.substr(4095 * kLine, kLine),
            "fff0: 41 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00|A...............\n");
}

TEST(HexDump, NoBytesNoLines) { EXPECT_EQ(HexDump(Prg(0x0801, {}), true, true), ""); }

}  // namespace
}  // namespace vantrel
