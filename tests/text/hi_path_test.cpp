#include "text/hi_path.h"

#include <gtest/gtest.h>

#include "test_support.h"
#include "text/file_locator.h"

namespace vantrel {
namespace {

TEST(HiPath, Splits) {
  struct Row {
    const char* text;
    const char* directory;
    const char* file_name;
    const char* extension;
    bool trailing_dot;
  };
  const Row rows[] = {
      {"a.b.c", "", "a.b", "c", false},
      {"name.", "", "name", "", true},
      {"dir/sub/game.txt", "dir/sub/", "game", "txt", false},
      {"dir\\game.prg", "dir\\", "game", "prg", false},
      {"/abs/.bak", "/abs/", "", "bak", false},
      {"noext", "", "noext", "", false},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.text);
    HiPath p(r.text);
    EXPECT_EQ(p.Directory(), r.directory);
    EXPECT_EQ(p.FileName(), r.file_name);
    EXPECT_EQ(p.Extension(), r.extension);
    EXPECT_EQ(p.HasTrailingDot(), r.trailing_dot);
  }
}

TEST(FileLocator, SearchesDirectoriesInOrder) {
  test::ScratchDir dir;
  test::WriteFile(dir.File("second.txt"), "x");
  FileLocator locator;
  EXPECT_TRUE(locator.AddDirectory(HiPath(dir.Path() + "/")));
  EXPECT_FALSE(locator.AddDirectory(HiPath(dir.Path() + "/")));
  EXPECT_EQ(locator.Find(HiPath("second.txt")).Text(), dir.Path() + "/second.txt");
  EXPECT_TRUE(locator.Find(HiPath("missing.txt")).Empty());
  // Rooted names are taken as they are.
  EXPECT_EQ(locator.Find(HiPath(dir.File("second.txt"))).Text(), dir.File("second.txt"));
  EXPECT_TRUE(locator.Find(HiPath(dir.File("nope"))).Empty());
}

}  // namespace
}  // namespace vantrel
