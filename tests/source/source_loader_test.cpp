#include "source/source_loader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "image/image_test_helpers.h"
#include "image/output_set.h"
#include "test_support.h"

namespace vantrel {
namespace {

using test::ReadFile;
using test::ScratchDir;
using test::WriteFile;


// One run's loader over files in a scratch directory.
struct Harness : test::QuietLoader {
  std::string Write(const std::string& name, const std::string& text) {
    std::filesystem::create_directories(std::filesystem::path(dir.File(name)).parent_path());
    WriteFile(dir.File(name), text);
    return dir.File(name);
  }
  bool Load(const std::string& name, SourceType kind = SourceType::Basic) {
    return loader.LoadSource(dir.File(name), kind);
  }
  // "[path (line)] " as messages about that file's line begin.
  std::string At(const std::string& name, int line) const {
    return "[" + dir.File(name) + " (" + std::to_string(line) + ")] ";
  }
  // Console lines of Warning and above, as the user sees them.
  std::vector<std::string> Problems() const {
    std::vector<std::string> out;
    for (const MsgLogMsg& m : log.Messages())
      if (m.level >= MessageLevel::Warning) out.push_back(log.LineOf(m));
    return out;
  }
  // Info and detail messages as printed: no level prefix, the position first.
  bool HasMessage(const std::string& text) const {
    for (const MsgLogMsg& m : log.Messages())
      if (log.LineOf(m) == text) return true;
    return false;
  }

  ScratchDir dir;
};

std::vector<std::string> Texts(const LineBlock& lines) {
  return std::vector<std::string>(lines.begin(), lines.end());
}

using Lines = std::vector<std::string>;

// Each source loads as p.txt; "@N " in a problem stands for line N's prefix.
TEST(SourceLoader, DirectivesInBasicLines) {
  struct Row {
    const char* source;
    Lines basic;  // {} when not of interest
    Lines problems;
    bool loads = true;
  };
  const Row rows[] = {
      {"10 PRINT {clear}", {"10 PRINT {clear}"}, {}},
      {"{def:X}", {" "}, {}},
      {"{def:A=1}{def:a=2}{usedef:A}", {"  1"}, {"Error: @1 Parser Variable a already defined"}},
      {"{a{b}c}", {"{a{b}c}"}, {}},
      {"10 A={", {"10 A={"}, {"Warning: @1 Unterminated brace token: {"}},
      {"}{x", {"}{x"}, {"Warning: @1 Unterminated brace token: {x"}},
      {"{'note: {clear}}10 PRINT", {" 10 PRINT"}, {}},
      {"A{$:ff}B{%:101}C", {"A255B5C"}, {}},
      {"{$:xyz}", {"xyz"}, {"Error: @1 Illegal hexadecimal value specified: xyz"}},
      {"{%:80000000000000000}", {"80000000000000000"}, {"Error: @1 Illegal binary value specified: 80000000000000000"}},
      {"{usedef:NOPE}", {" "}, {}},
      {"{INFO:hello}", {" "}, {}},
      {"{endif}", {}, {"Error: @1 {endif} without {ifdef}"}},
      {"{else}", {}, {"Error: @1 {else} outside if block"}},
      {"{ifndef:A}\n{ifdef:B}\n{endif}", {}, {"Error: @2 Can't nest {ifdef}--Already inside an if block using variable A"}},
      {"{ifdef:A}", {}, {"Error: @1 Missing an {endif} somewhere"}, false},
      {"{ifndef:A}\n", {}, {"Error: @2 Missing an {endif} somewhere"}, false},
      {"{ifdef}\n{endif}", {}, {"Error: @2 {endif} without {ifdef}", "Error: @2 Missing an {endif} somewhere"}, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.source);
    Harness h;
    h.Write("p.txt", row.source);
    EXPECT_EQ(h.Load("p.txt"), row.loads);
    if (!row.basic.empty()) {
      EXPECT_EQ(Texts(h.loader.BasicLines()), row.basic);
    }
    Lines expected = row.problems;
    for (std::string& p : expected) p.replace(p.find('@'), 3, h.At("p.txt", p[p.find('@') + 1] - '0'));
    EXPECT_EQ(h.Problems(), expected);
  }
}

TEST(SourceLoader, LineEndingsAndCounting) {
  Harness h;
  h.Write("p.txt", std::string("10 A\r\n\r\n\n20 B\0\xff\n{warning:w}\r\n", 27));
  ASSERT_TRUE(h.Load("p.txt"));
  const LineBlock& lines = h.loader.BasicLines();
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], "10 A");
  EXPECT_EQ(lines[1], std::string("20 B\0\xff", 6));
  EXPECT_EQ(lines[1].pos.line, 4);
  EXPECT_EQ(lines[1].pos.file, 1);
  EXPECT_EQ(h.Problems(), Lines{"Warning: " + h.At("p.txt", 5) + "w"});
}

TEST(SourceLoader, ConditionalsOnCommandLineVariables) {
  Harness h;
  h.loader.DefineVariable("DEBUG=1");
  h.Write("p.txt",
          "{ifdef:debug}D1{else}R1{endif}\n"
          "{ifndef:DEBUG}R2\n{else}D2\n{endif}\n"
          "{usedef:Debug}\n"
          "{ifdef:NOPE}{ifdef:X}{def:Y}S\n{endif}{usedef:Y}\n"
          "{undef:Debug}{usedef:DEBUG}{undef:Q}");
  ASSERT_TRUE(h.Load("p.txt"));
  EXPECT_EQ(Texts(h.loader.BasicLines()), (Lines{" D1 ", " D2", " ", "1", "  ", "   "}));
  EXPECT_TRUE(h.HasMessage("Defining Parser Variable DEBUG"));
  EXPECT_TRUE(h.HasMessage(h.At("p.txt", 8) + "Undefining Parser Variable Debug"));
  EXPECT_FALSE(h.loader.IsDefined("Y"));
  EXPECT_TRUE(h.Problems().empty());
}

TEST(SourceLoader, BuildVariables) {
  Harness h;
  h.loader.DefinePredefined();
  h.Write("p.txt", "{usedef:__BuildDate}\n{usedef:__BuildTime}\n{usedef:__BuildRid64}\n{usedef:__BuildRid32}");
  ASSERT_TRUE(h.Load("p.txt"));
  const Lines values = Texts(h.loader.BasicLines());
  ASSERT_EQ(values.size(), 4u);
  const char* const shapes[] = {"\"\\d{4}-(Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec)-\\d\\d\"",
                                "\"\\d\\d:\\d\\d:\\d\\d\"", "\"[0-9a-f]{16}\""};
  for (size_t i = 0; i < 3; ++i) EXPECT_TRUE(std::regex_match(values[i], std::regex(shapes[i]))) << values[i];
  EXPECT_EQ(values[3], "\"" + values[2].substr(9));
  // Each 16-bit lane of the id holds one 15-bit draw.
  for (size_t lane = 1; lane < 17; lane += 4) EXPECT_LT(values[2][lane], '8') << values[2];
  EXPECT_TRUE(h.HasMessage("Defining Parser Variable __BuildRid32=" + values[3]));
}

TEST(SourceLoader, IncludeNamesQuotedOrWithBackslashes) {
  Harness h;
  h.Write("main.txt", "{include:\"my file.txt\"}\n{include:lib\\x.txt}\n{uses: \"lib\\x.txt\" }");
  h.Write("my file.txt", "M");
  h.Write("lib/x.txt", "X");
  ASSERT_TRUE(h.Load("main.txt"));
  EXPECT_EQ(Texts(h.loader.BasicLines()), (Lines{"M", " ", "X", " ", " "}));
  EXPECT_TRUE(h.Problems().empty());
}

TEST(SourceLoader, IncludeSiblingByBareName) {
  Harness h;
  h.Write("main.txt", "{include:sub/x.txt}");
  h.Write("sub/x.txt", "X1\n{include:y.txt}\nX2");
  h.Write("sub/y.txt", "Y");
  ASSERT_TRUE(h.Load("main.txt"));
  EXPECT_EQ(Texts(h.loader.BasicLines()), (Lines{"X1", "Y", " ", "X2", " "}));
  const SourceLine& y = h.loader.BasicLines()[1];
  ASSERT_NE(h.loader.Files().Record(y.pos.file), nullptr);
  EXPECT_EQ(h.loader.Files().Record(y.pos.file)->path.Text(), h.dir.File("sub/") + "y.txt");
  EXPECT_EQ(y.pos.line, 1);
  EXPECT_TRUE(h.HasMessage("Loading " + h.dir.File("main.txt")));
  EXPECT_TRUE(h.HasMessage(h.At("main.txt", 1) + "Loading " + h.dir.File("sub/x.txt")));
  EXPECT_TRUE(h.Problems().empty());
}

TEST(SourceLoader, CircularIncludeRefusedAndContextRestored) {
  Harness h;
  h.Write("a.txt", "A1\n{include:b.txt}\nA3{warning:back in a}");
  h.Write("b.txt", "B1\n{include:a.txt}\nB3\n{warning:in b}");
  EXPECT_TRUE(h.Load("a.txt"));
  EXPECT_EQ(Texts(h.loader.BasicLines()), (Lines{"A1", "B1", " ", "B3", " ", " ", "A3 "}));
  EXPECT_EQ(h.Problems(),
            (Lines{"Error: " + h.At("b.txt", 2) +
                       "You have been cursed by a recurse. Circular {include} referencing not allowed.",
                   "Warning: " + h.At("b.txt", 4) + "in b", "Warning: " + h.At("a.txt", 3) + "back in a"}));
}

TEST(SourceLoader, UsesReadsOnceIncludeEveryTime) {
  Harness h;
  h.Write("main.txt", "{uses:lib.txt}\n{uses:lib.txt}\n{include:lib.txt}\n{include:lib.txt}\n{uses:sub/lib.txt}");
  h.Write("lib.txt", "L");
  h.Write("sub/lib.txt", "S");
  ASSERT_TRUE(h.Load("main.txt"));
  EXPECT_EQ(Texts(h.loader.BasicLines()), (Lines{"L", " ", " ", "L", " ", "L", " ", " "}));
  EXPECT_TRUE(h.Problems().empty());
}

TEST(SourceLoader, IncludeDepthLimit) {
  Harness h;
  auto name = [](int i) { return (std::string(1, 'f') += std::to_string(i)) += ".txt"; };
  for (int i = 0; i < 1000; ++i) h.Write(name(i), "F{include:" + name(i + 1) + "}");
  EXPECT_TRUE(h.Load("f0.txt"));
  // The main file has depth 1; the file at depth 101 may not include more.
  EXPECT_EQ(h.Problems(), (Lines{"Error: " + h.At("f100.txt", 1) +
                                 "I know you love me but you're in too deep.  {include} nesting maximum depth "
                                 "reached."}));
  EXPECT_EQ(h.loader.BasicLines().size(), 101u);
  const SourceFileRecord* deepest = h.loader.Files().Record(h.loader.BasicLines().front().pos.file);
  ASSERT_NE(deepest, nullptr);
  EXPECT_EQ(deepest->path.Text(), h.dir.File("f100.txt"));
  EXPECT_EQ(deepest->depth, 101);
}

TEST(SourceLoader, MissingAndMisplacedFiles) {
  Harness h;
  h.Write("main.asm", "{include:nope.txt}\n{include:text.txt}");
  h.Write("text.txt", "10 PRINT");
  EXPECT_TRUE(h.Load("main.asm", SourceType::Asm));
  EXPECT_EQ(h.Problems(), (Lines{"Error: " + h.At("main.asm", 1) + "File not found: nope.txt",
                                 "Error: File not found: ",
                                 "Error: Can't include this file type here: " + h.dir.File("text.txt")}));
  // The main input gone between the run's check and its loading.
  Harness gone;
  EXPECT_FALSE(gone.Load("gone.txt"));
  EXPECT_EQ(gone.Problems(), (Lines{"Error: File not found: " + gone.dir.File("gone.txt"), "Error: File not found: "}));
}

TEST(SourceLoader, FatalStopsReading) {
  Harness h;
  h.Write("main.txt", "A\n{include:inner.txt}\nC");
  h.Write("inner.txt", "{fatal:stop}B\nnever");
  EXPECT_FALSE(h.Load("main.txt"));
  EXPECT_EQ(Texts(h.loader.BasicLines()), (Lines{"A", " B", " "}));
  EXPECT_EQ(h.Problems(), (Lines{"Fatal: " + h.At("inner.txt", 1) + "stop",
                                 "Error: Error including file: " + h.dir.File("inner.txt"),
                                 "Error: Error including file: " + h.dir.File("main.txt")}));
}

TEST(SourceLoader, AssemblerBlocksInBasic) {
  Harness h;
  h.Write("main.txt", "10 PRINT 1\n{asm}\nlda #0\n{include:lib.asm}\nnop\n{endasm}\n{endasm}\n{macro}");
  h.Write("lib.asm", "rts {clear}");
  ASSERT_TRUE(h.Load("main.txt"));
  EXPECT_EQ(Texts(h.loader.BasicLines()), (Lines{"10 PRINT 1", " ", " ", " "}));
  EXPECT_EQ(Texts(h.loader.AssemblerLines()), (Lines{" ", "lda #0", "{clear}", "rts  ", " ", "nop"}));
  EXPECT_TRUE(h.loader.AssemblerLines()[2].directive.has_value());
  EXPECT_FALSE(h.loader.AssemblerLines()[3].directive.has_value());
  EXPECT_EQ(h.Problems(), (Lines{"Error: " + h.At("main.txt", 7) + "Not in assembler mode",
                                 "Error: " + h.At("main.txt", 8) + "Must be in assembler mode"}));
}

TEST(SourceLoader, AssemblerRunBlocksAndMacros) {
  Harness h;
  h.Write("prog.txt", "{asm}\n{macro}\nlda #1\n{clear}\n{endmacro}\n{endasm}\nrts");
  ASSERT_TRUE(h.Load("prog.txt", SourceType::Asm));
  EXPECT_EQ(Texts(h.loader.AssemblerLines()), (Lines{" ", " ", " ", "rts"}));
  ASSERT_EQ(h.loader.Macros().count(""), 1u);
  EXPECT_EQ(Texts(h.loader.Macros().at("").body), (Lines{" ", "lda #1"}));
  // The definition is Info, shown with -verbose.
  EXPECT_TRUE(h.HasMessage(h.At("prog.txt", 5) + "1 3 | lda #1"));
  EXPECT_TRUE(h.HasMessage(h.At("prog.txt", 1) + "Begin assembly code block"));
  EXPECT_TRUE(h.HasMessage(h.At("prog.txt", 6) + "End assembly code block"));
  EXPECT_EQ(h.Problems(), (Lines{"Error: " + h.At("prog.txt", 4) + "Badly placed directive",
                                 "Error: " + h.At("prog.txt", 4) + "Unhandled directive {clear}"}));
}

TEST(SourceLoader, MacroHeadings) {
  Harness h;
  h.Write("m.asm", "{macro:Fill(Where, n)}\nnop\n{endmacro}\n{macro:bare}\n{endmacro}\n{macro:bad(}\n{endmacro}\n"
                   "{macro:two(a,a)}\n{endmacro}\n{macro:fill}\n{endmacro}\n");
  h.Load("m.asm", SourceType::Asm);
  ASSERT_EQ(h.loader.Macros().count("fill"), 1u);
  EXPECT_EQ(h.loader.Macros().at("fill").parameters, (Lines{"where", "n"}));
  EXPECT_EQ(h.loader.Macros().at("bare").parameters, Lines{});
  EXPECT_EQ(h.Problems(), (Lines{"Error: " + h.At("m.asm", 6) + "Invalid macro heading: bad(",
                                 "Error: " + h.At("m.asm", 8) + "Invalid macro heading: two(a,a)",
                                 "Error: " + h.At("m.asm", 11) + "Macro already defined: fill"}));
}

TEST(SourceLoader, ClosingTally) {
  Harness h;
  h.Write("p.txt", "{warning:a}\n{warning:b}");
  h.Load("p.txt");
  auto tally = [&h] {
    h.loader.Summary("Vantrel");
    Lines lines;
    for (const MsgLogMsg& m : h.log.Messages()) lines.push_back(h.log.LineOf(m));
    return Lines(lines.end() - 4, lines.end());
  };
  const std::string rule(20, '=');
  EXPECT_EQ(tally(), (Lines{rule, "0 Errors; 2 Warnings", rule, "Vantrel finished"}));
  h.log.ReportError("x");
  EXPECT_EQ(tally(), (Lines{rule, "1 Errors; 2 Warnings", rule, "Vantrel failed."}));
}

TEST(SourceLoader, BuildRevision) {
  struct Row {
    const char* file;
    const char* source;
    const char* line;      // {usedef:__BuildRev} shows the revision read
    const char* after;     // the file after the update
    const char* problem;
    WriteFault fault = WriteFault::None;  // injected into the update
  };
  const Row rows[] = {
      {"41", "{buildrev:rev.txt}{usedef:__BuildRev}", " 41", "42", ""},
      {"41", "{buildrev:rev.txt}", " ", "41", ": No space left on device", WriteFault::ShortWrite},
      {"41", "{buildrev:rev.txt}", " ", "41", ": Invalid cross-device link", WriteFault::FailedRename},
      {"-1\r", "{buildrev:rev.txt}{usedef:__BuildRev}", " 18446744073709551615", "0", ""},
      {"41\n", "{buildrev:rev.txt}", " ", "41\n", "Invalid build revision tracker file"},
      {"9223372036854775808", "{buildrev:rev.txt}", " ", "9223372036854775808",
       "Invalid build revision tracker file"},
      {"41", "{buildrev}", " ", "41", "Need Build revision tracker file name"},
      {"41", "{buildrev:none.txt}", " ", "41", "File not found: none.txt"},
      {"41", "{buildrev:rev.txt}{buildrev:rev.txt}{usedef:__BuildRev}", "  41", "41",
       "Build revision tracker file already loaded"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.source);
    Harness h;
    h.Write("rev.txt", row.file);
    h.Write("p.txt", row.source);
    h.Load("p.txt");
    OutputSet out;
    h.loader.UpdateBuildRevision(out);
    InjectWriteFaultForTesting(row.fault);
    if (!h.log.ErrorFlag()) out.Commit(h.log);
    EXPECT_EQ(h.loader.BasicLines().at(0), row.line);
    EXPECT_EQ(ReadFile(h.dir.File("rev.txt")), row.after);
    EXPECT_EQ(test::EntriesIn(h.dir.Path()), 2u);  // no temporary file left
    Lines expected;
    // A failed write names the file and the reason, at no source line.
    if (row.fault != WriteFault::None)
      expected.push_back("Error: Failed to update Build revision tracker " + h.dir.File("rev.txt") + row.problem);
    else if (*row.problem != '\0')
      expected.push_back("Error: " + h.At("p.txt", 1) + row.problem);
    // The refusal is about the run, not about a line.
    if (std::string(row.problem) == "Build revision tracker file already loaded")
      expected.push_back("Error: Due to build errors, Build revision tracker was not updated");
    EXPECT_EQ(h.Problems(), expected);
  }
}

}  // namespace
}  // namespace vantrel
