#include "text/text_ops.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

TEST(TextOps, TrimRemovesBlanksAndLineEnds) {
  EXPECT_EQ(Trim("\t x \r\n"), "x");
  EXPECT_EQ(Trim(" \t\r\n"), "");
}

}  // namespace
}  // namespace vantrel
