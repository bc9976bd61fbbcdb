#include "basic/line_memory.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

// 10 PRINT at $0801, as the C64 stores it: link $0807, number 10, $99 (the
// PRINT token), 0; then the zero link that ends the program.
TEST(LineMemory, LinksEachLineToTheNext) {
  MemoryImage memory;
  LineMemory lines(memory, 0x0801);
  ASSERT_TRUE(lines.PutLink() && lines.PutNumber(10) && lines.Put("\x99") && lines.EndLine(0x0801));
  ASSERT_TRUE(lines.PutLink());
  const uint8_t expected[] = {0x07, 0x08, 0x0A, 0x00, 0x99, 0x00, 0x00, 0x00};
  for (uint16_t i = 0; i < sizeof expected; ++i) EXPECT_EQ(memory.Read(0x0801 + i), expected[i]) << i;
  EXPECT_EQ(lines.Cursor(), 0x0809u);
}

// A line whose end reaches $FFFF has no room for the next line's link.
TEST(LineMemory, RefusesALineThatLeavesNoRoomAfterIt) {
  MemoryImage memory;
  LineMemory lines(memory, 0xFFF9);
  ASSERT_TRUE(lines.PutLink() && lines.PutNumber(1) && lines.Put("AB"));
  EXPECT_FALSE(lines.EndLine(0xFFF9));
}

}  // namespace
}  // namespace vantrel
