// The build revision file through the real binary: counted up after a good
// run, left alone after a failed one.
#include <gtest/gtest.h>

#include "test_support.h"

namespace vantrel {
namespace {

TEST(BuildRevision, CountsOnlySuccessfulRuns) {
  test::ScratchDir dir;
  test::WriteFile(dir.File("rev.txt"), "41");  // one number, no line break
  test::WriteFile(dir.File("good.txt"), "{buildrev:rev.txt}\n10 PRINT {usedef:__BuildRev}\n");
  test::WriteFile(dir.File("bad.txt"), "{buildrev:rev.txt}\n{error:boom}\n10 PRINT\n");

  auto bad = test::RunVantrel(dir.Path(), {"bad.txt", "-prg"});
  EXPECT_EQ(bad.status, 1);
  EXPECT_NE(bad.output.find("Error: Due to build errors, Build revision tracker was not updated\n"),
            std::string::npos)
      << bad.output;
  EXPECT_EQ(test::ReadFile(dir.File("rev.txt")), "41");

  auto good = test::RunVantrel(dir.Path(), {"good.txt", "-prg"});
  EXPECT_EQ(good.status, 0) << good.output;
  EXPECT_EQ(test::ReadFile(dir.File("rev.txt")), "42");
  // PRINT 41: the revision the build was made with.
  EXPECT_EQ(test::ReadFile(dir.File("good.prg")), test::BasicProgramFile(0x0801, {{10, "\x99 41"}}));
}

}  // namespace
}  // namespace vantrel
