#include "image/address_range.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

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

}  // namespace
}  // namespace vantrel
