#include "app/msg_log.h"

#include <gtest/gtest.h>

#include "test_support.h"

namespace vantrel {
namespace {

TEST(MsgLog, KeepsFlagsAndPrefixes) {
  test::QuietLoader quiet;
  SourceLoaderMsgLog& log = quiet.log;
  log.SetKeepThreshold(8);
  EXPECT_TRUE(log.ReportInfo("dropped"));
  EXPECT_TRUE(log.ReportWarning("careful"));
  EXPECT_FALSE(log.ReportPlain("forced"));
  EXPECT_FALSE(log.ReportError("bad"));
  EXPECT_FALSE(log.ReportFatal("worse"));
  EXPECT_EQ(quiet.Lines(), (std::vector<std::string>{"Warning: careful", "forced", "Error: bad", "Fatal: worse"}));
  EXPECT_EQ(log.LineOf({7, "note", false}), "note");
  EXPECT_EQ(log.CountAt(9), 1u);

  MsgLog base;
  EXPECT_FALSE(base.ReportFatal("stop"));
  EXPECT_TRUE(base.FatalFlag());
  EXPECT_FALSE(base.ErrorFlag());
  EXPECT_EQ(base.LineOf({7, "note", false}), "Info: note");
  EXPECT_EQ(base.LineOf({4, "debug", false}), "debug");
  base.SetLevelName(6, "Plain: ");
  EXPECT_EQ(base.LevelName(6), ": ");
  EXPECT_EQ(base.LevelName(3), "");
}

}  // namespace
}  // namespace vantrel
