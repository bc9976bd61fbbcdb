#include "text/number_reader.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

TEST(NumberReader, ReadNumberBases) {
  struct Row {
    const char* text;
    bool ok;
    int64_t value;
  };
  const Row rows[] = {{"$0801", true, 2049}, {" 4096 ", true, 4096}, {"%101", true, 5},
                      {"$08G0", false, 0},   {"", false, 0},         {"$", false, 0},
                      {"12abc", false, 0}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.text);
    int64_t v = 0;
    EXPECT_EQ(ReadNumber(r.text, v), r.ok);
    if (r.ok) {
      EXPECT_EQ(v, r.value);
    }
  }
}

}  // namespace
}  // namespace vantrel
