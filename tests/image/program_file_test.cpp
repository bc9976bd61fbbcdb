#include "image/program_file.h"

#include <gtest/gtest.h>

#include "image_test_helpers.h"

namespace vantrel {
namespace {

// The cases where no address is taken; taking one is covered through the readers.
TEST(ProgramFile, LoadAddressTakenOnlyFromAWholeWord) {
  const std::pair<FileType, size_t> rows[] = {{FileType::Prg, 1}, {FileType::Prg, 65537}, {FileType::Seq, 3}};
  for (const auto& [type, size] : rows) {
    SCOPED_TRACE(size);
    ProgramFile f = test::MakePrg(0x1234, std::vector<uint8_t>(size, 0x08), true);
    f.type = type;
    const uint16_t kept = size == 1 ? 0x1234 : 0;
    EXPECT_EQ(f.PeekLoadAddress(), kept);
    EXPECT_EQ(f.TakeLoadAddress(), kept);
    EXPECT_EQ(f.Size(), size);
  }
}

}  // namespace
}  // namespace vantrel
