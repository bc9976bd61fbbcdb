#include "log/msg_log.h"

#include <gtest/gtest.h>

#include "test_support.h"

namespace vantrel {
namespace {

TEST(MsgLog, KeepsFlagsAndPrefixes) {
  test::QuietLoader quiet;
  SourceLoaderMsgLog& log = quiet.log;
  log.SetKeepThreshold(MessageLevel::Warning);
  EXPECT_TRUE(log.ReportInfo("dropped"));
  EXPECT_TRUE(log.ReportWarning("careful"));
  EXPECT_FALSE(log.ReportPlain("forced"));
  EXPECT_FALSE(log.ReportError("bad"));
  EXPECT_FALSE(log.ReportFatal("worse"));
  EXPECT_EQ(quiet.Lines(), (std::vector<std::string>{"Warning: careful", "forced", "Error: bad", "Fatal: worse"}));
  EXPECT_EQ(log.LineOf({MessageLevel::Info, {}, "note", false, {}}), "note");
  EXPECT_EQ(log.CountAt(MessageLevel::Error), 1u);

  MsgLog base;
  EXPECT_FALSE(base.ReportFatal("stop"));
  EXPECT_TRUE(base.FatalFlag());
  EXPECT_FALSE(base.ErrorFlag());
  EXPECT_EQ(base.LineOf({MessageLevel::Info, {}, "note", false, {}}), "Info: note");
  base.SetLevelName(MessageLevel::Plain, "Plain: ");
  EXPECT_EQ(base.LevelName(MessageLevel::Plain), "");
}

// The position is printed from its fields, so no path can be mistaken for
// the end of the prefix.
TEST(MsgLog, PrintsPositions) {
  const std::string odd = "dir: x/odd)] (name.txt";
  struct Row {
    MessageFormat format;
    MessageLevel level;
    SourcePos pos;
    const char* expected;
  };
  const Row rows[] = {
      {MessageFormat::Standard, MessageLevel::Error, {1, 12}, "Error: [dir: x/odd)] (name.txt (12)] text"},
      {MessageFormat::Gnu, MessageLevel::Error, {1, 12}, "dir: x/odd)] (name.txt:12: error: text"},
      {MessageFormat::Gnu, MessageLevel::Warning, {1, 3}, "dir: x/odd)] (name.txt:3: warning: text"},
      {MessageFormat::Gnu, MessageLevel::Fatal, {1, 3}, "dir: x/odd)] (name.txt:3: fatal error: text"},
      {MessageFormat::Gnu, MessageLevel::Info, {1, 3}, "Info: [dir: x/odd)] (name.txt (3)] text"},
      {MessageFormat::Gnu, MessageLevel::Error, {}, "Error: text"},
      {MessageFormat::Gnu, MessageLevel::Error, {2, 5}, "Error: text"},  // a file without a name
      {MessageFormat::Standard, MessageLevel::Plain, {1, 7}, "[dir: x/odd)] (name.txt (7)] text"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.expected);
    MsgLog log;
    log.NameFile(1, odd);
    log.SetFormat(row.format);
    EXPECT_EQ(log.LineOf({row.level, row.pos, "text", false, {}}), row.expected);
  }
  // The places a message was reached through follow its text, in both forms.
  MsgLog log;
  log.NameFile(1, "a.asm");
  const MsgLogMsg via{MessageLevel::Error, {1, 3}, "text", false, {{"in m called at", {1, 9}}, {"in n called at", {2, 4}}}};
  EXPECT_EQ(log.LineOf(via), "Error: [a.asm (3)] text (in m called at a.asm (9), in n called at ? (4))");
  log.SetFormat(MessageFormat::Gnu);
  EXPECT_EQ(log.LineOf(via), "a.asm:3: error: text (in m called at a.asm (9), in n called at ? (4))");
}

}  // namespace
}  // namespace vantrel
