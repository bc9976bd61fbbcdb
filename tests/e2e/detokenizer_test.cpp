// Program files to text through the real binary: the listing, the label
// form, the options that shape it, and the warnings on odd programs.
#include <gtest/gtest.h>

#include "test_support.h"

namespace vantrel {
namespace {

using test::BasicLineBytes;
using test::BasicProgramFile;

struct Case {
  const char* name;
  std::string prg;
  std::vector<std::string> options;
  std::string text;                  // the whole output file
  std::vector<std::string> console;  // lines that must appear
};

// Token bytes from the C64 ROM's keyword list.
const std::string kPrint = "\x99", kGoto = "\x89";

// The program with the first line's link word set to `address`.
std::string LinkedTo(uint16_t address, std::string prg) {
  prg[2] = static_cast<char>(address & 0xFF);
  prg[3] = static_cast<char>(address >> 8);
  return prg;
}

std::vector<Case> Cases() {
  return {
      {"to the console", BasicProgramFile(0x0801, {{10, kPrint}}), {"-txt:CON", "-verbose"}, "",
       {"==> Exporting txt format\n10 PRINT"}},
      {"loadaddr line", BasicProgramFile(0x1c01, {{10, kPrint}}), {"-txt:out.txt"}, "{loadaddr:$1c01}\n10 PRINT\n", {}},
      {"pi and unknown token", BasicProgramFile(0x0801, {{10, kPrint + "\xff\xcc"}}), {"-txt:out.txt"},
       "10 PRINT{pi}{$cc}\n", {}},
      {"control byte and apostrophe", BasicProgramFile(0x0801, {{10, kPrint + "\x05'A"}}), {"-txt:out.txt"},
       "10 PRINT{$05}{$27}A\n", {}},
      // Just enough bytes are coded to read back: a keyword's last letter, a
      // blank the line's end or a DATA item would lose.
      {"bytes text would misread", BasicProgramFile(0x0801, {{10, "PRINT:\x83 1, 2 "}}), {"-txt:out.txt"},
       "10 PRIN{$54}:DATA{$20}1,{$20}2{$20}\n", {}},
      {"re-used number", BasicProgramFile(0x0801, {{10, kPrint}, {10, kPrint}}), {"-txt:out.txt"},
       "10 PRINT\n10 PRINT\n", {"Warning: Found out of order line 10", "Warning: Line number re-use: 10"}},
      {"missing target keeps its digits", BasicProgramFile(0x0801, {{20, kGoto + " 99"}}), {"-txt:out.txt"},
       "20 GOTO 99\n", {"Warning: Can't locate target line: 99"}},
      {"label form", BasicProgramFile(0x0801, {{10, kPrint + " \"HI\""}, {20, kGoto + " 10"}}), {"-lbl:out.txt"},
       "{:10}\n\tPRINT \"HI\"\n\tGOTO {:10}\n", {}},
      {"autospace", BasicProgramFile(0x0801, {{10, kPrint + "\"A\";X:" + kGoto + "10"}}),
       {"-txt:out.txt", "-autospace"}, "10 PRINT \"A\";X :GOTO 10\n", {}},
      {"keyword and variable case", BasicProgramFile(0x0801, {{10, kPrint + "X"}}),
       {"-txt:out.txt", "-keycase", "-varcase:lo"}, "10 printx\n", {}},
      {"supervariables", BasicProgramFile(0x0801, {{10, "A\xb2" "A\xaa" "1"}}),
       {"-txt:out.txt", "-supervariables"},
       "{var:SuperVariable_A=A}\n10 {var:SuperVariable_A}={var:SuperVariable_A}+1\n",
       {"----------Supervariable assignments-----------------", "{var:SuperVariable_A=A}",
        "1 Supervariable assignments"}},
      {"empty line", BasicProgramFile(0x0801, {{10, ""}, {20, kGoto + "0010"}}), {"-txt:out.txt", "-prg:re.prg"},
       "20 GOTO0010\n", {"Warning: Line 10 holds nothing and will be dropped when this text is tokenized"}},
      {"empty line, label form", BasicProgramFile(0x0801, {{10, ""}, {20, kGoto + "10"}}), {"-lbl:out.txt"},
       "{:10}\n\tGOTO{:10}\n", {"Warning: Line 10 holds nothing and will be dropped when this text is tokenized"}},
      {"not basic", std::string("\x00\xc0\xa9\x01\x60", 5), {"-txt:out.txt", "-notbasic"},
       "{warning:Source .prg file contains non-BASIC code which will need to be ported separately: $c000 c002}\n",
       {}},
      {"code behind basic", BasicProgramFile(0x0801, {{10, kPrint}}) + "\xa9\x01\x60", {"-txt:out.txt"},
       "10 PRINT\n{warning:Source .prg file contains non-BASIC code which will need to be ported separately: "
       "$0809 080b (-keepcode keeps it in the text)}\n",
       {}},
      // Lines of 6 bytes from $0801: line 20 starts at $0807, line 30 at $080d.
      {"link past the next line", LinkedTo(0x080D, BasicProgramFile(0x0801, {{10, kPrint}, {20, kPrint}, {30, kPrint}})),
       {"-txt:out.txt"}, "10 PRINT\n20 PRINT\n30 PRINT\n",
       {"Warning: Line 10 links to $080d, not to the next line at $0807; a rebuilt program corrects the link"}},
  };
}

TEST(Detokenizer, WritesTextOfPrograms) {
  for (const Case& c : Cases()) {
    SCOPED_TRACE(c.name);
    test::ScratchDir dir;
    test::WriteFile(dir.File("in.prg"), c.prg);
    std::vector<std::string> args = {"in.prg"};
    args.insert(args.end(), c.options.begin(), c.options.end());
    auto r = test::RunVantrel(dir.Path(), args);
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(test::ReadFile(dir.File("out.txt")), c.text);
    if (test::FileExists(dir.File("re.prg"))) {
      EXPECT_EQ(test::ReadFile(dir.File("re.prg")), c.prg);
    }
    for (const std::string& line : c.console) EXPECT_NE(r.output.find(line + "\n"), std::string::npos) << line;
  }
}

// Broken files are reported, never crashed or hung on.
TEST(Detokenizer, HostileProgramsAreReported) {
  const std::string good = BasicProgramFile(0x0801, {{10, kPrint}, {20, kPrint}});
  struct Hostile {
    const char* name;
    std::string prg;
    const char* message;
  };
  std::string looping = good;
  looping[2] = 0x01;  // the first link points back at the line itself
  looping[3] = 0x08;
  const Hostile cases[] = {
      {"truncated in a line", good.substr(0, 9), "Warning: Ran off end of memory!"},
      {"no end marker", good.substr(0, good.size() - 2), "Warning: Ran off end of memory!"},
      {"line without its zero", std::string("\x01\x08\x0a\x08\x0a\x00\x99\x99\x99", 9), "Warning: Ran off end of memory!"},
      {"jump to a line cut short", std::string("\x01\x08\x0b\x08\x0a\x00\x89\x32\x30\x00\x10\x08\x14\x00\x99", 15),
       "Warning: Can't locate target line: 20"},
      {"looping link", looping, "Source .prg file contains non-BASIC code"},
      {"load address only", std::string("\x01\x08", 2), "Error: Error inserting program into memory"},
      {"load address $ffff", std::string("\xff\xff\x00", 3), "Error: Bad load address"},
      {"line 64000", BasicProgramFile(0x0801, {{64000, kPrint}}), "Warning: Illegal line number 64000"},
  };
  for (const Hostile& h : cases) {
    SCOPED_TRACE(h.name);
    test::ScratchDir dir;
    test::WriteFile(dir.File("in.prg"), h.prg);
    auto r = test::RunVantrel(dir.Path(), {"in.prg", "-txt:con"});
    EXPECT_NE(r.output.find(h.message), std::string::npos) << r.output;
    EXPECT_TRUE(r.status == 0 || r.status == 1);
  }
}

TEST(Detokenizer, PrefaceFilesMayOnlyDefine) {
  test::ScratchDir dir;
  test::WriteFile(dir.File("in.prg"), BasicProgramFile(0x0801, {{10, "\xcc"}}));
  test::WriteFile(dir.File("defs.txt"), "{tokenizer:$cc=FOO}\n");
  test::WriteFile(dir.File("code.txt"), "10 PRINT\n");
  struct Row {
    const char* pref;
    std::vector<std::string> lines;
  };
  const Row rows[] = {
      {"-pref:defs", {"10 FOO"}},
      {"-pref:none", {"Error: Preface file not found: none.txt"}},
      {"-pref:code",
       {"Error: Preface file can't contain any actual code", "Error: Error processing preface file: code.txt"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.pref);
    auto r = test::RunVantrel(dir.Path(), {"in.prg", "-txt:con", row.pref});
    for (const std::string& line : row.lines) EXPECT_NE(r.output.find(line + "\n"), std::string::npos) << r.output;
  }
}

}  // namespace
}  // namespace vantrel
