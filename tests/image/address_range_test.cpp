#include "image/address_range.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

constexpr uint64_t kAll = AddressRange::kAllOnes;

TEST(AddressRange, EmptinessSizeAndFit) {
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
  EXPECT_EQ(AddressRange(), AddressRange(1, 0));
}

TEST(AddressRange, Extend) {
  AddressRange r = AddressRange::Reset();
  EXPECT_TRUE(r.Extend(0x0801));
  EXPECT_FALSE(r.Extend(0x0801));
  EXPECT_TRUE(r.Extend(0x07ff));
  EXPECT_EQ(r, AddressRange(0x07ff, 0x0801));
  r.Extend(AddressRange(0x2000, 0x1fff));
  EXPECT_EQ(r, AddressRange(0x07ff, 0x0801));
  r.Extend(AddressRange(0x0900, 0x0a00));
  EXPECT_EQ(r, AddressRange(0x07ff, 0x0a00));
  AddressRange z;
  EXPECT_TRUE(z.Extend(0));
  EXPECT_EQ(z, AddressRange(0, 0));
}

TEST(AddressRange, ContainsAndOverlaps) {
  const AddressRange r(0x0801, 0x0a00);
  EXPECT_TRUE(r.Contains(0x0801) && r.Contains(0x0a00));
  EXPECT_FALSE(r.Contains(0x0800) || r.Contains(0x0a01));
  EXPECT_FALSE(AddressRange::Reset().Contains(0xffff));
  EXPECT_TRUE(r.Overlaps(AddressRange(0x0a00, 0x0b00)));
  EXPECT_FALSE(r.Overlaps(AddressRange(0x0a01, 0x0b00)));
  EXPECT_FALSE(r.Overlaps(AddressRange(0x0a00, 0x09ff)));
}

TEST(AddressRange, Text) {
  EXPECT_EQ(AddressRange(0x0801, 0x0a00).Text(), "$0801 0a00");
  EXPECT_EQ(AddressRange(0x10, 0xff).Text(), "$10 ff");
  EXPECT_EQ(AddressRange(0xff, 0x100).Text(), "$ff 0100");
}

}  // namespace
}  // namespace vantrel
