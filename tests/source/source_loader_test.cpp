#include "source/source_loader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "image/image_test_helpers.h"
#include "source/directives.h"
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
    return std::string("[").append(dir.File(name)).append(" (").append(std::to_string(line)).append(")] ");
  }
  // Console lines of Warning and above, as the user sees them.
  std::vector<std::string> Problems() const {
    std::vector<std::string> out;
    for (const MsgLogMsg& m : log.Messages())
      if (m.level >= MessageLevel::Warning) out.push_back(log.LineOf(m));
    return out;
  }
  // The same with the scratch directory cut from every path.
  std::vector<std::string> RelativeProblems() const {
    std::vector<std::string> out = Problems();
    for (std::string& p : out)
      for (size_t at; (at = p.find(dir.File(""))) != std::string::npos;) p.erase(at, dir.File("").size());
    return out;
  }
  // Info and detail messages as printed: no level prefix, the position first.
  bool HasMessage(const std::string& text) const { return std::ranges::count(Lines(), text) != 0; }

  ScratchDir dir;
};

std::vector<std::string> Texts(const LineBlock& lines) {
  return std::vector<std::string>(lines.begin(), lines.end());
}

using Lines = std::vector<std::string>;

// Each source loads as p.txt.
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
      {"{def:A=1}{def:a=2}{usedef:A}", {"  1"}, {"Error: [p.txt (1)] Parser Variable a already defined"}},
      {"{a{b}c}", {"{a{b}c}"}, {}},
      {"10 A={", {"10 A={"}, {"Warning: [p.txt (1)] Unterminated brace token: {"}},
      {"}{x", {"}{x"}, {"Warning: [p.txt (1)] Unterminated brace token: {x"}},
      {"{'note: {clear}}10 PRINT", {" 10 PRINT"}, {}},
      {"A{$:ff}B{%:101}C", {"A255B5C"}, {}},
      {"{$:xyz}", {"xyz"}, {"Error: [p.txt (1)] Illegal hexadecimal value specified: xyz"}},
      {"{%:80000000000000000}", {"80000000000000000"},
       {"Error: [p.txt (1)] Illegal binary value specified: 80000000000000000"}},
      {"{usedef:NOPE}", {" "}, {}},
      {"{INFO:hello}", {" "}, {}},
      {"{endif}", {}, {"Error: [p.txt (1)] {endif} without {ifdef}"}},
      {"{else}", {}, {"Error: [p.txt (1)] {else} outside if block"}},
      {"{ifndef:A}\n{ifdef:B}\n{endif}", {},
       {"Error: [p.txt (2)] Can't nest {ifdef}--Already inside an if block using variable A"}},
      {"{ifdef:A}", {}, {"Error: [p.txt (1)] Missing an {endif} somewhere"}, false},
      {"{ifndef:A}\n", {}, {"Error: [p.txt (2)] Missing an {endif} somewhere"}, false},
      {"{ifdef}\n{endif}", {},
       {"Error: [p.txt (2)] {endif} without {ifdef}", "Error: [p.txt (2)] Missing an {endif} somewhere"}, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.source);
    Harness h;
    h.Write("p.txt", row.source);
    EXPECT_EQ(h.Load("p.txt"), row.loads);
    if (!row.basic.empty()) {
      EXPECT_EQ(Texts(h.loader.BasicLines()), row.basic);
    }
    EXPECT_EQ(h.RelativeProblems(), row.problems);
  }
}

TEST(SourceLoader, LineEndingsAndCounting) {
  Harness h;
  h.Write("p.txt", std::string("10 A\r\n\r\n\n20 B\0\xff\n{warning:w}\r\n", 27));
  ASSERT_TRUE(h.Load("p.txt"));
  EXPECT_EQ(Texts(h.loader.BasicLines()), (Lines{"10 A", std::string("20 B\0\xff", 6), " "}));
  EXPECT_EQ(h.loader.BasicLines().at(1).pos, (SourcePos{1, 4}));
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

// Each row writes its files and loads the first.
TEST(SourceLoader, Includes) {
  struct Row {
    std::vector<std::pair<const char*, const char*>> files;
    Lines basic;
    Lines problems;
    bool loads = true;
    SourceType kind = SourceType::Basic;
  };
  const Row rows[] = {
      {{{"main.txt", "{include:\"my file.txt\"}\n{include:lib\\x.txt}\n{uses: \"lib\\x.txt\" }"},
        {"my file.txt", "M"}, {"lib/x.txt", "X"}},
       {"M", " ", "X", " ", " "}, {}},
      // A circular include is refused; the including file's context comes back.
      {{{"a.txt", "A1\n{include:b.txt}\nA3{warning:back in a}"}, {"b.txt", "B1\n{include:a.txt}\nB3\n{warning:in b}"}},
       {"A1", "B1", " ", "B3", " ", " ", "A3 "},
       {"Error: [b.txt (2)] You have been cursed by a recurse. Circular {include} referencing not allowed.",
        "Warning: [b.txt (4)] in b", "Warning: [a.txt (3)] back in a"}},
      // {uses} reads a file once, {include} every time.
      {{{"main.txt", "{uses:lib.txt}\n{uses:lib.txt}\n{include:lib.txt}\n{include:lib.txt}\n{uses:sub/lib.txt}"},
        {"lib.txt", "L"}, {"sub/lib.txt", "S"}},
       {"L", " ", " ", "L", " ", "L", " ", " "}, {}},
      {{{"main.asm", "{include:nope.txt}\n{include:text.txt}"}, {"text.txt", "10 PRINT"}}, {},
       {"Error: [main.asm (1)] File not found: nope.txt", "Error: File not found: ",
        "Error: Can't include this file type here: text.txt"},
       true, SourceType::Asm},
      // The main input gone between the run's check and its loading.
      {{{"gone.txt", nullptr}}, {}, {"Error: File not found: gone.txt", "Error: File not found: "}, false},
      {{{"main.txt", "A\n{include:inner.txt}\nC"}, {"inner.txt", "{fatal:stop}B\nnever"}}, {"A", " B", " "},
       {"Fatal: [inner.txt (1)] stop", "Error: Error including file: inner.txt",
        "Error: Error including file: main.txt"},
       false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.files[0].second ? row.files[0].second : row.files[0].first);
    Harness h;
    for (const auto& [name, text] : row.files)
      if (text) h.Write(name, text);
    EXPECT_EQ(h.Load(row.files[0].first, row.kind), row.loads);
    if (!row.basic.empty()) {
      EXPECT_EQ(Texts(h.loader.BasicLines()), row.basic);
    }
    EXPECT_EQ(h.RelativeProblems(), row.problems);
  }
  // A bare name is looked for beside the including file first; its lines
  // carry their own file and line numbers.
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

TEST(SourceLoader, AssemblerBlocksInBasic) {
  Harness h;
  h.Write("main.txt", "10 PRINT 1\n{asm}\nlda #0\n{include:lib.asm}\nnop\n{endasm}\n{endasm}\n{macro}");
  h.Write("lib.asm", "rts {clear}");
  ASSERT_TRUE(h.Load("main.txt"));
  EXPECT_EQ(Texts(h.loader.BasicLines()), (Lines{"10 PRINT 1", " ", " ", " "}));
  EXPECT_EQ(Texts(h.loader.AssemblerLines()), (Lines{" ", "lda #0", "{clear}", "rts  ", " ", "nop"}));
  EXPECT_NE(h.loader.Directive(h.loader.AssemblerLines()[2]), nullptr);
  EXPECT_EQ(h.loader.Directive(h.loader.AssemblerLines()[3]), nullptr);
  EXPECT_EQ(h.Problems(), (Lines{"Error: " + h.At("main.txt", 7) + "Not in assembler mode",
                                 "Error: " + h.At("main.txt", 8) + "Must be in assembler mode"}));
}

TEST(SourceLoader, AssemblerRunBlocksAndMacros) {
  Harness h;
  h.Write("prog.txt", "{asm}\n{macro}\nlda #1\n{clear}\n{endmacro}\n{endasm}\nrts\n"
                      "{macro:Fill(Where, n)}\nnop\n{endmacro}\n{macro:bare}\n{endmacro}\n{macro:bad(}\n{endmacro}\n"
                      "{macro:two(a,a)}\n{endmacro}\n{macro:fill}\n{endmacro}");
  h.Load("prog.txt", SourceType::Asm);
  const Lines lines = Texts(h.loader.AssemblerLines());
  EXPECT_EQ(Lines(lines.begin(), lines.begin() + 4), (Lines{" ", " ", " ", "rts"}));
  ASSERT_EQ(h.loader.Macros().count(""), 1u);
  EXPECT_EQ(Texts(h.loader.Macros().at("").body), (Lines{" ", "lda #1"}));
  EXPECT_EQ(h.loader.Macros().at("fill").parameters, (Lines{"where", "n"}));
  EXPECT_EQ(h.loader.Macros().at("bare").parameters, Lines{});
  // The definition is Info, shown with -verbose.
  EXPECT_TRUE(h.HasMessage(h.At("prog.txt", 5) + "1 3 | lda #1"));
  EXPECT_TRUE(h.HasMessage(h.At("prog.txt", 1) + "Begin assembly code block"));
  EXPECT_TRUE(h.HasMessage(h.At("prog.txt", 6) + "End assembly code block"));
  EXPECT_EQ(h.Problems(), (Lines{"Error: " + h.At("prog.txt", 4) + "Badly placed directive",
                                 "Error: " + h.At("prog.txt", 4) + "Unhandled directive {clear}",
                                 "Error: " + h.At("prog.txt", 13) + "Invalid macro heading: bad(",
                                 "Error: " + h.At("prog.txt", 15) + "Invalid macro heading: two(a,a)",
                                 "Error: " + h.At("prog.txt", 18) + "Macro already defined: fill"}));
}

TEST(SourceLoader, BuildRevision) {
  struct Row {
    const char* file;
    const char* source;
    const char* line;   // {usedef:__BuildRev} shows the revision read
    const char* after;  // the file after the update
    Lines problems;
    WriteFault fault = WriteFault::None;  // injected into the update
  };
  const std::string kInvalid = "Error: [p.txt (1)] Invalid build revision tracker file";
  const std::string kFailed = "Error: Failed to update Build revision tracker rev.txt: ";  // at no source line
  const Row rows[] = {
      {"41", "{buildrev:rev.txt}{usedef:__BuildRev}", " 41", "42", {}},
      {"41", "{buildrev:rev.txt}", " ", "41", {kFailed + "No space left on device"}, WriteFault::ShortWrite},
      {"41", "{buildrev:rev.txt}", " ", "41", {kFailed + "Invalid cross-device link"}, WriteFault::FailedRename},
      {"-1\r", "{buildrev:rev.txt}{usedef:__BuildRev}", " 18446744073709551615", "0", {}},
      {"41\n", "{buildrev:rev.txt}", " ", "41\n", {kInvalid}},
      {"9223372036854775808", "{buildrev:rev.txt}", " ", "9223372036854775808", {kInvalid}},
      {"41", "{buildrev}", " ", "41", {"Error: [p.txt (1)] Need Build revision tracker file name"}},
      {"41", "{buildrev:none.txt}", " ", "41", {"Error: [p.txt (1)] File not found: none.txt"}},
      // The refusal is about the run, not about a line.
      {"41", "{buildrev:rev.txt}{buildrev:rev.txt}{usedef:__BuildRev}", "  41", "41",
       {"Error: [p.txt (1)] Build revision tracker file already loaded",
        "Error: Due to build errors, Build revision tracker was not updated"}},
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
    EXPECT_EQ(h.RelativeProblems(), row.problems);
  }
}

TEST(Directives, SplitDirective) {
  struct Row {
    const char* token;
    bool ok;
    const char* keyword;
    const char* argument;
  };
  const Row rows[] = {
      {"{include:lib.txt}", true, "include", "lib.txt"},
      {"{ def : A = 1 }", true, "def", "A = 1"},
      {"{endif}", true, "endif", ""},
      {"{info:}", true, "info", ""},
      {"{info:a:b}", true, "info", "a:b"},
      {"{\t$:ff\r}", true, "$", "ff"},
      {"{}", true, "", ""},
      {"include}", false, "", ""},
      {"{include", false, "", ""},
      {"", false, "", ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.token);
    DirectiveParts parts;
    ASSERT_EQ(SplitDirective(row.token, parts), row.ok);
    if (!row.ok) continue;
    EXPECT_EQ(parts.keyword, row.keyword);
    EXPECT_EQ(parts.argument, row.argument);
  }
}

TEST(Directives, RadixValues) {
  struct Row {
    const char* text;
    int base;
    bool ok;
    int32_t value;
  };
  const Row rows[] = {
      {"ff", 16, true, 255},          {"C000", 16, true, 49152},
      {"0x1f", 16, true, 31},         {"-ff", 16, true, -255},
      {"", 16, true, 0},              {"7fffffff", 16, true, 2147483647},
      {"-80000000", 16, true, INT32_MIN},
      {"80000000", 16, false, 0},     {"ffffffffffffffffffff", 16, false, 0},
      {"0x", 16, false, 0},           {"xyz", 16, false, 0},
      {"12 ", 16, false, 0},          {"101", 2, true, 5},
      {"+1", 2, true, 1},             {"12", 2, false, 0},
      {"-", 2, false, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    int32_t value = 0;
    ASSERT_EQ(ReadRadixValue(row.text, row.base, value), row.ok);
    if (row.ok) {
      EXPECT_EQ(value, row.value);
    }
  }
}

}  // namespace
}  // namespace vantrel
