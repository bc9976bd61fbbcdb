#include "image/address_range.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

constexpr uint64_t kAll = AddressRange::kAllOnes;

TEST(AddressRange, EmptinessAndSize) {
  struct Row {
    uint64_t start, end;
    bool empty;
    uint64_t size;
  };
  const Row rows[] = {
      {1, 0, true, 0},             // as constructed
      {kAll, kAll - 1, true, 0},   // reset value
      {kAll, kAll, true, 0},       // a start of all ones is never a range
      {0x0900, 0x08ff, true, 0},   // end below start
      {0, kAll, false, 0},         // the full range; its size does not fit 64 bits
      {0xc000, 0xc000, false, 1},
      {0x0801, 0x0a00, false, 0x200},
      {0, 0xffff, false, 0x10000},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(AddressRange(row.start, row.end).Text());
    const AddressRange r(row.start, row.end);
    EXPECT_EQ(r.IsEmpty(), row.empty);
    if (row.start != 0 || row.end != kAll) {
      EXPECT_EQ(r.Size(), row.size);
    }
  }
  EXPECT_TRUE(AddressRange().IsEmpty());
  EXPECT_EQ(AddressRange(), AddressRange(1, 0));
}

TEST(AddressRange, ExtendGrowsOnlyWhenOutside) {
  AddressRange r = AddressRange::Reset();
  EXPECT_TRUE(r.Extend(0x0801));
  EXPECT_EQ(r, AddressRange(0x0801, 0x0801));
  EXPECT_FALSE(r.Extend(0x0801));
  EXPECT_TRUE(r.Extend(0x07ff));
  EXPECT_TRUE(r.Extend(0x0a00));
  EXPECT_EQ(r, AddressRange(0x07ff, 0x0a00));
  EXPECT_FALSE(r.Extend(0x0900));

  AddressRange z;
  EXPECT_TRUE(z.Extend(0));
  EXPECT_EQ(z, AddressRange(0, 0));
}

TEST(AddressRange, ExtendByRange) {
  AddressRange r(0x1000, 0x1000);
  r.Extend(AddressRange::Reset());
  r.Extend(AddressRange(0x2000, 0x1fff));
  EXPECT_EQ(r, AddressRange(0x1000, 0x1000));
  r.Extend(AddressRange(0x0800, 0x0900));
  EXPECT_EQ(r, AddressRange(0x0800, 0x1000));

  AddressRange empty;
  empty.Extend(AddressRange(0xc000, 0xc7ff));
  EXPECT_EQ(empty, AddressRange(0xc000, 0xc7ff));
}

TEST(AddressRange, ContainsOverlapsFits) {
  const AddressRange r(0x0801, 0x0a00);
  EXPECT_TRUE(r.Contains(0x0801));
  EXPECT_TRUE(r.Contains(0x0a00));
  EXPECT_FALSE(r.Contains(0x0800));
  EXPECT_FALSE(r.Contains(0x0a01));
  EXPECT_FALSE(AddressRange::Reset().Contains(0xffff));

  EXPECT_TRUE(r.Overlaps(AddressRange(0x0a00, 0x0b00)));
  EXPECT_FALSE(r.Overlaps(AddressRange(0x0a01, 0x0b00)));
  EXPECT_FALSE(r.Overlaps(AddressRange(0x0a00, 0x09ff)));
  EXPECT_FALSE(AddressRange::Reset().Overlaps(r));

  EXPECT_TRUE(AddressRange(0, 0xffff).Fits16Bits());
  EXPECT_FALSE(AddressRange(0, 0x10000).Fits16Bits());
  EXPECT_FALSE(AddressRange(0, kAll).Fits16Bits());
  EXPECT_FALSE(AddressRange().Fits16Bits());
}

TEST(AddressRange, Text) {
  EXPECT_EQ(AddressRange(0x0801, 0x0a00).Text(), "$0801 0a00");
  EXPECT_EQ(AddressRange(0x10, 0xff).Text(), "$10 ff");
  EXPECT_EQ(AddressRange(0xff, 0x100).Text(), "$ff 0100");
  EXPECT_EQ(AddressRange(0xc000, 0xffff).Text(), "$c000 ffff");
}

}  // namespace
}  // namespace vantrel
