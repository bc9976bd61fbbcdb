// Inputs at and past the sizes a run is built for, through the real binary:
// each ends with a result or a clear error, and no run grows large.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <chrono>
#include <filesystem>
#include <functional>

#include "test_support.h"

namespace vantrel {
namespace {

using test::ScratchDir;

constexpr size_t kMiB = size_t{1} << 20;

std::string Repeat(const std::string& text, size_t times) {
  std::string out;
  out.reserve(text.size() * times);
  for (size_t i = 0; i < times; ++i) out += text;
  return out;
}

// Built with += : g++ 12 warns falsely on "literal" + std::string.
std::string Numbered(const char* prefix, size_t i, const char* suffix) {
  std::string text(prefix);
  text += std::to_string(i);
  return text += suffix;
}

struct LimitRow {
  const char* what;
  std::function<void(const ScratchDir&)> write;  // writes the input file(s)
  std::vector<std::string> args;
  std::vector<std::string> lines;  // console lines, all expected
  std::string prg;                 // the program written; empty when the run must fail
};

std::vector<LimitRow> Rows() {
  const std::string parens = std::string(10000, '(') + "$12" + std::string(10000, ')');
  return {
      {"100 MB source",
       [](const ScratchDir& d) {
         test::WriteFile(d.File("big.txt"), "10 PRINT\n");
         std::filesystem::resize_file(d.File("big.txt"), 100 * kMiB);  // sparse: costs no disk
       },
       {"big.txt", "-prg"},
       {"Fatal: Too much source text: big.txt takes the run past 32 MiB or 2000000 lines"},
       ""},
      {"one 10 MB line",
       [](const ScratchDir& d) { test::WriteFile(d.File("long.txt"), "10 PRINT \"" + std::string(10 * kMiB, 'A') + "\"\n"); },
       {"long.txt", "-prg"},
       {"Error: [long.txt (1)] Ran off end of memory!"},
       ""},
      {"included files count together",
       [](const ScratchDir& d) {
         test::WriteFile(d.File("main.txt"), "{include:a.txt}\n{include:b.txt}\n10 PRINT\n");
         test::WriteFile(d.File("a.txt"), "{'" + std::string(17 * kMiB, 'a') + "}\n");
         test::WriteFile(d.File("b.txt"), "{'" + std::string(17 * kMiB, 'b') + "}\n");
       },
       {"main.txt", "-prg"},
       {"Fatal: [main.txt (2)] Too much source text: b.txt takes the run past 32 MiB or 2000000 lines"},
       ""},
      {"two million and one lines",
       [](const ScratchDir& d) { test::WriteFile(d.File("many.txt"), Repeat("{'}\n", 2000001) + "10 PRINT\n"); },
       {"many.txt", "-prg"},
       {"Fatal: [many.txt (2000001)] Too much source text: many.txt takes the run past 32 MiB or 2000000 lines"},
       ""},
      {"a 4 MiB source",
       [](const ScratchDir& d) {
         test::WriteFile(d.File("near.asm"), " orig $c000\n lda #1\n" + Repeat("; a comment line\n", 4 * kMiB / 17 - 4) +
                                                 " rts\n");
       },
       {"near.asm", "-prg"},
       {"Vantrel finished"},
       std::string("\x00\xc0\xa9\x01\x60", 5)},
      {"100,000 labels in assembler",
       [](const ScratchDir& d) {
         std::string source = " orig $c000\n";
         for (size_t i = 0; i < 100000; ++i) source += Numbered("l", i, ":\n");
         test::WriteFile(d.File("labels.asm"), source + " jmp l99999\n jmp l0\n");
       },
       {"labels.asm", "-prg", "-sym"},
       {"Vantrel finished"},
       std::string("\x00\xc0\x4c\x00\xc0\x4c\x00\xc0", 8)},
      {"100,000 labels in BASIC",
       [](const ScratchDir& d) {
         std::string source;
         for (size_t i = 0; i < 100000; ++i) source += Numbered("{:l", i, "}\n");
         test::WriteFile(d.File("labels.txt"), source + "GOTO{:l0}:GOTO{:l99999}\n");
       },
       {"labels.txt", "-prg"},
       {"Vantrel finished"},
       test::BasicProgramFile(0x0801, {{0, "\x89" "0:\x89" "0"}})},
      {"300,000 values on one line",
       [](const ScratchDir& d) {
         std::string values = "\"\"";
         for (size_t i = 1; i < 300000; ++i) values += ",\"\"";
         test::WriteFile(d.File("values.asm"), " orig $c000\n ascii " + values + "\n rts\n");
       },
       {"values.asm", "-prg"},
       {"Vantrel finished"},
       std::string("\x00\xc0\x60", 3)},
      {"10,000 nested parentheses",
       [parens](const ScratchDir& d) { test::WriteFile(d.File("parens.asm"), " orig $c000\nv = " + parens + "\n lda #v\n byte " + parens + "\n"); },
       {"parens.asm", "-prg"},
       {"Vantrel finished"},
       std::string("\x00\xc0\xa9\x12\x12", 5)},
      {"10,000 nested parentheses in BASIC",
       [parens](const ScratchDir& d) { test::WriteFile(d.File("parens.txt"), "10 PRINT" + parens + "\n"); },
       {"parens.txt", "-prg"},
       {"Vantrel finished"},
       test::BasicProgramFile(0x0801, {{10, "\x99" + parens}})},
      {"100,000 equates written backwards",
       [](const ScratchDir& d) {
         std::string source = " orig $c000\n lda e0\n";
         for (size_t i = 0; i < 100000; ++i) source += Numbered("e", i, " = e") + std::to_string(i + 1) + "\n";
         test::WriteFile(d.File("chain.asm"), source + "e100000 = $1234\n");
       },
       {"chain.asm", "-prg"},
       {"Vantrel finished"},
       std::string("\x00\xc0\xad\x34\x12", 5)},
      {"250 errors",
       [](const ScratchDir& d) {
         std::string source;
         for (size_t i = 0; i < 250; ++i) source += Numbered("", 70000 + i, " PRINT\n");
         test::WriteFile(d.File("errors.txt"), source);
       },
       {"errors.txt", "-prg"},
       {"Error: [errors.txt (100)] Invalid line number: 70099", "Error: 150 more errors not reported",
        "250 Errors; 0 Warnings"},
       ""},
      // Definitions are collected, never expanded, so a use of its own name
      // inside one cannot recurse.
      {"a macro that names itself",
       [](const ScratchDir& d) { test::WriteFile(d.File("self.asm"), " orig $c000\n{macro}\n self\n{macro}\n{endmacro}\n self\n"); },
       {"self.asm", "-prg"},
       {"Error: [self.asm (4)] Already defining a macro", "Error: [self.asm (6)] Unknown instruction self"},
       ""},
  };
}

long MaxChildRssKb() {
  struct rusage usage {};
  getrusage(RUSAGE_CHILDREN, &usage);
  return usage.ru_maxrss;
}

TEST(Limits, EndWithAResultOrAClearError) {
  for (const LimitRow& row : Rows()) {
    SCOPED_TRACE(row.what);
    ScratchDir dir;
    row.write(dir);
    const auto start = std::chrono::steady_clock::now();
    auto r = test::RunVantrel(dir.Path(), row.args);
    // Far above any linear run, far below any quadratic one.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
    EXPECT_EQ(r.output.find("Error: [errors.txt (101)]"), std::string::npos);
    for (const std::string& line : row.lines)
      EXPECT_NE(r.output.find(line + "\n"), std::string::npos) << line << "\n" << r.output.substr(0, 2000);
    EXPECT_EQ(r.status, row.prg.empty() ? 1 : 0);
    const std::string prg = dir.File(std::filesystem::path(row.args[0]).stem().string() + ".prg");
    EXPECT_EQ(test::FileExists(prg), !row.prg.empty());
    if (!row.prg.empty()) {
      EXPECT_EQ(test::ReadFile(prg), row.prg);
    }
  }
  // Every run stays small, sanitizer builds included, whatever it was fed.
  EXPECT_LT(MaxChildRssKb(), 512 * 1024);
}

}  // namespace
}  // namespace vantrel

namespace vantrel {
namespace {

// Hostile assembler lines take memory in proportion to their size, so a
// cap of a fixed base and a few times the input lets them finish, and a
// BASIC text far too long for memory is refused within it; what needs more
// memory than the run may have ends in a clear Fatal and a failed run,
// never an abort.
TEST(Limits, RunningOutOfMemoryIsAFatalMessage) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the sanitizer reserves more address space than the cap allows";
#endif
  const size_t depth = 12 * kMiB;
  const std::string basic_line = "10 PRINT \"HELLO\";A$(I)+B*2:GOTO 10\n";
  constexpr size_t kBaseKb = 64 * 1024;
  constexpr size_t kPerInputByte = 16;
  std::string statements = "A=B+1";
  for (int i = 0; i < 7; ++i) statements += ":" + statements;  // 128 statements
  std::string long_lines;
  for (size_t i = 0; long_lines.size() < 24 * kMiB; ++i) long_lines += Numbered("", i, " ") + statements + "\n";
  const struct {
    const char* file;
    std::string text;
    bool proportional;  // capped at base + 16 x input, else at 32 MiB
    const char* line;   // a line of the output
    bool ok;
  } cases[] = {
      {"parens.asm", " orig $c000\n lda #" + std::string(depth, '(') + "1" + std::string(depth, ')') + "\n", true,
       "Vantrel finished", true},
      {"product.asm", " orig $c000\n lda #" + Repeat("1*", depth / 2) + "1\n", true, "Vantrel finished", true},
      // A line takes 772 bytes (128 statements of 5 bytes, 127 colons, link,
      // number and end): 85 lines surely pass 65,536, wherever they load.
      {"long.txt", long_lines, true, "Error: [long.txt (85)] Ran off end of memory!", false},
      {"big.txt", Repeat(basic_line, 24 * kMiB / basic_line.size()), false, "Fatal: Out of memory", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    ScratchDir dir;
    test::WriteFile(dir.File(c.file), c.text);
    const size_t cap_kb = c.proportional ? kBaseKb + kPerInputByte * c.text.size() / 1024 : 32 * 1024;
    auto r = test::RunVantrel(dir.Path(), {c.file, "-prg"}, "", cap_kb);
    EXPECT_TRUE(test::HasLine(r.output, c.line)) << r.output.substr(0, 2000);
    EXPECT_EQ(r.output.find("Fatal: Out of memory\n") == std::string::npos, c.proportional) << r.output.substr(0, 2000);
    EXPECT_EQ(r.status, c.ok ? 0 : 1);
    EXPECT_EQ(test::FileExists(dir.File(std::filesystem::path(c.file).stem().string() + ".prg")), c.ok);
  }
}

}  // namespace
}  // namespace vantrel
