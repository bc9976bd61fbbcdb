#include "app/cmd_line_params.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

TEST(CmdLineParam, SplitsPrefixNameSeparatorValue) {
  struct Row {
    const char* arg;
    const char* prefix;
    const char* name;
    const char* separator;
    const char* value;
  };
  const Row rows[] = {
      {"-prg:out", "-", "prg", ":", "out"},
      {"/PRG=out", "/", "PRG", "=", "out"},
      {"--prg+out", "--", "prg", "+", "out"},
      {"+prg-out", "+", "prg", "-", "out"},
      {"-range:$0801-$0FFF", "-", "range", ":", "$0801-$0FFF"},
      {"-crunch-", "-", "crunch", "-", ""},
      {"game.txt", "", "", "", "game.txt"},
      {"-", "-", "", "", ""},
      {"-prg:\"my game\"", "-", "prg", ":", "my game"},
      {"-d64:disk::\"NAME\"", "-", "d64", ":", "disk::\"NAME\""},
      {"/?", "/", "?", "", ""},
      {"/tmp/game.txt", "", "", "", "/tmp/game.txt"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.arg);
    CmdLineParam p(r.arg);
    using Parts = std::vector<std::string>;
    EXPECT_EQ((Parts{p.Raw(), p.prefix, p.name, p.separator, p.value}), (Parts{r.arg, r.prefix, r.name, r.separator, r.value}));
  }
  CmdLineParam empty;
  EXPECT_FALSE(empty.Parse(""));
}

TEST(CmdLineParams, LookupsIgnoreCaseAndMarkUsed) {
  CmdLineParams params({"vantrel", "game.txt", "-PRG:a", "-prg:b", "-def:X", "-def", "-keycase"});
  EXPECT_EQ(params.ValueOf("prg", ""), "a");
  EXPECT_EQ(params.ValueOr("keycase", "auto", "lower"), "lower");
  EXPECT_EQ(params.ValueOr("varcase", "auto", "lower"), "auto");
  EXPECT_EQ(params.NextValueOf("def", "def"), "X");
  EXPECT_EQ(params.NextValueOf("def", "def"), "def");
  EXPECT_EQ(params.NextValueOf("def", "def"), "");
  EXPECT_EQ(params.NextUnusedParam().Raw(), "game.txt");
  // The repeated option was never consumed.
  EXPECT_EQ(params.NextUnusedParam().Raw(), "-prg:b");
  EXPECT_TRUE(params.NextUnusedParam().null);
  EXPECT_FALSE(CmdLineParams::Found(params.FindParam("nothing")));
}

TEST(CmdLineParams, OutputPathOfDerivesFromInput) {
  struct Row {
    const char* arg;
    const char* input;
    const char* expected;
  };
  const Row rows[] = {
      {"-prg", "game.txt", "game.prg"},
      {"-prg:.", "game.txt", "game"},
      {"-prg:x", "src\\game.txt", "src\\x.prg"},
      {"-prg", "src\\game.txt", "src\\game.prg"},
      {"-prg:x", "src/game.txt", "src/x.prg"},
      {"-prg:out/x.bin", "src/game.txt", "out/x.bin"},
      {"-prg:CON", "game.txt", "CON"},
      {"-prg:x.", "game.txt", "x"},
      {"-prg:.bak", "src/game.txt", "src/game.bak"},
      {"-txt:/abs/y", "game.prg", "/abs/y.txt"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.arg);
    CmdLineParams params({"vantrel", r.arg});
    std::string name = CmdLineParam(r.arg).name;
    EXPECT_EQ(params.OutputPathOf(HiPath(r.input), name, name).Text(), r.expected);
  }
  CmdLineParams none({"vantrel"});
  EXPECT_TRUE(none.OutputPathOf(HiPath("game.txt"), "prg", "prg").Empty());
}

}  // namespace
}  // namespace vantrel
