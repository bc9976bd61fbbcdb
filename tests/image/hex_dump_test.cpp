#include "image/hex_dump.h"

#include <gtest/gtest.h>

#include "image_test_helpers.h"

namespace vantrel {
namespace {

using test::MakePrg;

std::string Blanks(size_t n) { return std::string(n, ' '); }

TEST(HexDump, ShortLine) {
  const std::string line = "0801: 0b 08 0a 00 9e" + Blanks(33) + "|....." + Blanks(11) + "\n";
  EXPECT_EQ(HexDump(MakePrg(0x0801, {0x0b, 0x08, 0x0a, 0x00, 0x9e}), true, true), line);
  EXPECT_EQ(HexDump(MakePrg(0, {0x01, 0x08, 0x0b, 0x08, 0x0a, 0x00, 0x9e}, true), true, true), line);
  EXPECT_EQ(HexDump(MakePrg(0x0801, {0x0b, 0x08, 0x0a, 0x00, 0x9e}), false, false),
            " 0b 08 0a 00 9e" + Blanks(33) + "\n");
  EXPECT_EQ(HexDump(MakePrg(0x0801, {}), true, true), "");
}

TEST(HexDump, SixteenAndSeventeenBytes) {
  const std::vector<uint8_t> bytes = {0x0b, 0x08, 0x0a, 0x00, 0x9e, 0x32, 0x30, 0x36, 0x31,
                                      0x00, 0x00, 0x00, 0x20, 0x7f, 0x80, 0xff, 0x41};
  // 32 to 127 show as themselves, $7F included.
  const std::string first = "0801: 0b 08 0a 00 9e 32 30 36 31 00 00 00 20 7f 80 ff|.....2061... \x7f..\n";
  EXPECT_EQ(HexDump(MakePrg(0x0801, {bytes.begin(), bytes.end() - 1}), true, true), first);
  EXPECT_EQ(HexDump(MakePrg(0x0801, bytes), true, true), first + "0811: 41" + Blanks(45) + "|A" + Blanks(15) + "\n");
}

TEST(HexDump, AddressesWrapButLinesDoNot) {
  const std::string wrap = HexDump(MakePrg(0xfff8, std::vector<uint8_t>(20, 0x2a)), true, true);
  EXPECT_EQ(wrap.substr(wrap.find('\n') + 1, 5), "0008:");

  std::vector<uint8_t> memory(65536, 0x00);
  memory[0xfff0] = 0x41;
  const std::string dump = HexDump(MakePrg(0, memory), true, true);
  constexpr size_t kLine = 4 + 1 + 16 * 3 + 1 + 16 + 1;
  ASSERT_EQ(dump.size(), 4096 * kLine);
  EXPECT_EQ(dump.substr(0, 5), "0000:");
  EXPECT_EQ(dump.substr(4095 * kLine), "fff0: 41 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00|A...............\n");
}

}  // namespace
}  // namespace vantrel
