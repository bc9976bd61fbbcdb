#include "app/msg_log.h"

#include <gtest/gtest.h>

#include "source/source_loader_msg_log.h"

namespace vantrel {
namespace {

TEST(MsgLog, ThresholdsDecideWhatIsKept) {
  SourceLoaderMsgLog log;
  log.SetEcho(false);
  EXPECT_TRUE(log.ReportInfo("kept"));
  EXPECT_TRUE(log.ReportWarning("w"));
  log.SetKeepThreshold(8);
  log.ReportInfo("dropped");
  EXPECT_FALSE(log.ReportPlain("forced"));
  ASSERT_EQ(log.Messages().size(), 3u);
  EXPECT_EQ(log.Messages()[0].text, "kept");
  EXPECT_EQ(log.Messages()[2].text, "forced");
}

TEST(MsgLog, FlagsAreStickyAndSeparate) {
  MsgLog log;
  EXPECT_FALSE(log.ReportFatal("stop"));
  EXPECT_TRUE(log.FatalFlag());
  EXPECT_FALSE(log.ErrorFlag());
  EXPECT_FALSE(log.ReportError("one"));
  log.ReportError("two");
  EXPECT_TRUE(log.ErrorFlag());
  EXPECT_EQ(log.CountAt(9), 2u);
}

TEST(MsgLog, ConsoleLinesCarryLevelPrefixes) {
  SourceLoaderMsgLog log;
  EXPECT_EQ(log.LineOf({8, "careful", false}), "Warning: careful");
  EXPECT_EQ(log.LineOf({9, "bad", false}), "Error: bad");
  EXPECT_EQ(log.LineOf({10, "worse", false}), "Fatal: worse");
  EXPECT_EQ(log.LineOf({7, "note", false}), "note");
  EXPECT_EQ(log.LineOf({4, "debug", false}), "debug");
  MsgLog base;
  EXPECT_EQ(base.LineOf({7, "note", false}), "Info: note");
  base.SetLevelName(6, "Plain: ");
  EXPECT_EQ(base.LevelName(6), ": ");
  EXPECT_EQ(base.LevelName(3), "");
}

}  // namespace
}  // namespace vantrel
