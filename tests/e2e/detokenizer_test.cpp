// Program files to text through the real binary: the listing, the label
// form, the options that shape it, the warnings on odd programs, preface
// files, and the BASIC dialect by option, directive and guess.
#include <gtest/gtest.h>

#include "test_support.h"

namespace vantrel {
namespace {

using test::BasicLineBytes;
using test::BasicProgramFile;

struct Case {
  const char* name;
  std::string input;  // in.txt, or in.prg when it starts with a load address
  std::vector<std::string> options;
  std::string output;                // the whole output file, out.txt or out.prg
  std::vector<std::string> console;  // line ends that must appear; "~text": anywhere; "!text": nowhere
  std::vector<std::pair<std::string, std::string>> files = {};  // other files beside the input
};

// Token bytes from the C64 ROM's keyword list.
const std::string kPrint = "\x99", kGoto = "\x89";

// The program with the first line's link word set to `address`.
std::string LinkedTo(uint16_t address, std::string prg) {
  prg[2] = static_cast<char>(address & 0xFF);
  prg[3] = static_cast<char>(address >> 8);
  return prg;
}

// The dialect's token bytes come from the dialect tables' README and the
// C128 and Simons' BASIC manuals' token lists: DOPEN $FE $0D, HIRES $64 $01.
std::vector<Case> Cases() {
  const std::string c128 = test::BasicProgramFile(0x1C01, {{10, "\xfe\x0d"}});
  const std::string good = BasicProgramFile(0x0801, {{10, kPrint}, {20, kPrint}});
  return {
      // Broken files are reported, never crashed or hung on.
      {"truncated in a line", good.substr(0, 9), {"-txt:con"}, "", {"Warning: Ran off end of memory!"}},
      {"no end marker", good.substr(0, good.size() - 2), {"-txt:con"}, "", {"Warning: Ran off end of memory!"}},
      {"line without its zero", std::string("\x01\x08\x0a\x08\x0a\x00\x99\x99\x99", 9), {"-txt:con"}, "",
       {"Warning: Ran off end of memory!"}},
      {"jump to a line cut short", std::string("\x01\x08\x0b\x08\x0a\x00\x89\x32\x30\x00\x10\x08\x14\x00\x99", 15),
       {"-txt:con"}, "", {"Warning: Can't locate target line: 20"}},
      // Line 10 fills $0801-$0806; its link points back at itself.
      {"looping link", LinkedTo(0x0801, good), {"-txt:con"}, "",
       {"Warning: Line 10 links to $0801, not to the next line at $0807; a rebuilt program corrects the link",
        "~Source .prg file contains non-BASIC code"}},
      {"load address only", std::string("\x01\x08", 2), {"-txt:con"}, "",
       {"Error: Error inserting program into memory"}},
      {"load address $ffff", std::string("\xff\xff\x00", 3), {"-txt:con"}, "", {"Error: Bad load address"}},
      {"line 64000", BasicProgramFile(0x0801, {{64000, kPrint}}), {"-txt:con"}, "",
       {"Warning: Illegal line number 64000"}},
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
      {"C128 program without a dialect", c128, {"-txt:out.txt"}, "{loadaddr:$1c01}\n10 {$fe}{$0d}\n",
       {"Warning: Program looks like BASIC 7.0 (C128): load address $1c01, 1 code unknown to basic2; "
        "-dialect:basic7 reads its keywords"}},
      {"C128 program with its dialect", c128, {"-txt:out.txt", "-dialect:c128"}, "{dialect:basic7}\n10 DOPEN\n",
       {"!Warning:"}},
      {"Simons' BASIC codes are letters to BASIC 2.0", test::BasicProgramFile(0x0801, {{10, "\x64\x01"}}),
       {"-txt:out.txt"}, "10 {$64}{$01}\n",
       {"Warning: Program looks like Simons' BASIC (C64): 1 of its two-byte codes; "
        "-dialect:simons reads its keywords"}},
      {"alias and the machine's load address", "10 dopen\n", {"-prg:out.prg", "-dialect:7.0"},
       test::BasicProgramFile(0x1C01, {{10, "\xfe\x0d"}}), {"!Warning:"}},
      {"longest keyword across tables", "{dialect:basic65}\n10 dot=1:a>>b\n", {"-prg:out.prg"},
       test::BasicProgramFile(0x2001, {{10, "\xfe\x4c\xb2" "1:A\xfe\x53" "B"}}), {"!Warning:"}},
      {"Simons' keywords take BASIC 2.0 names", "{dialect:simons}\n10 test=1:out=2:hi col 1\n", {"-prg:out.prg"},
       test::BasicProgramFile(0x0801, {{10, "\x64\x58\xb2" "1:\x64\x7f\xb2" "2:\x64\x0c 1"}}), {"!Warning:"}},
      {"tokenizer directive on top of a dialect", "{dialect:basic7}\n{tokenizer:$fe50=ZAP}\n10 zap:dopen\n",
       {"-prg:out.prg"}, test::BasicProgramFile(0x1C01, {{10, "\xfe\x50:\xfe\x0d"}}), {"!Warning:"}},
      // FAST is $FE $25 in basic7, basic71, basic10 and basic65 (their .tsv files).
      {"a listing of another dialect", "10 x=1:fast\n", {"-prg:out.prg"},
       test::BasicProgramFile(0x0801, {{10, "X\xb2" "1:FAST"}}),
       {"Warning: [in.txt (1)] FAST is a keyword of basic7, basic71, basic10, basic65, not of basic2: "
        "-dialect:basic7 reads it as one"}},
      {"a variable that another dialect's keyword starts", "10 fast=1:do(2)=3:do1=4\n", {"-prg:out.prg"},
       test::BasicProgramFile(0x0801, {{10, "FAST\xb2" "1:DO(2)\xb2" "3:DO1\xb2" "4"}}), {"!Warning:"}},
      // A preface file may only define.
      {"preface", BasicProgramFile(0x0801, {{10, "\xcc"}}), {"-txt:con", "-pref:defs"}, "", {"10 FOO"},
       {{"defs.txt", "{tokenizer:$cc=FOO}\n"}}},
      // PRINT's name taken: $99 is written as a code.
      {"preface renaming a keyword", BasicProgramFile(0x0801, {{10, "\x99\xcc"}}), {"-txt:con", "-pref:defs"}, "",
       {"10 {$99}PRINT"}, {{"defs.txt", "{tokenizer:$cc=PRINT}\n"}}},
      {"preface with code", BasicProgramFile(0x0801, {{10, "\xcc"}}), {"-txt:con", "-pref:code"}, "",
       {"Error: Preface file can't contain any actual code", "Error: Error processing preface file: code.txt"},
       {{"code.txt", "10 PRINT\n"}}},
      {"unknown dialect", "10 print\n", {"-prg:out.prg", "-dialect:basic9"}, "",
       {"Error: Unknown BASIC dialect: basic9 (known: basic2, basic1, basic35, basic4, basic4cbm2, basic7, basic71, "
        "basic10, basic65, simons, fc3, basic4ext64, basic4ext20, basic5ext20, superexpander)"}},
  };
}

TEST(Detokenizer, Conversions) {
  for (const Case& c : Cases()) {
    SCOPED_TRACE(c.name);
    test::ScratchDir dir;
    const std::string input = c.input[0] == '1' || c.input[0] == '{' ? "in.txt" : "in.prg";
    test::WriteFile(dir.File(input), c.input);
    for (const auto& [name, content] : c.files) test::WriteFile(dir.File(name), content);
    std::vector<std::string> args = {input};
    args.insert(args.end(), c.options.begin(), c.options.end());
    auto r = test::RunVantrel(dir.Path(), args);
    bool error = false;
    for (const std::string& line : c.console) {
      if (line[0] == '!') {
        EXPECT_EQ(r.output.find(line.substr(1)), std::string::npos) << r.output;
      } else if (line[0] == '~') {
        EXPECT_NE(r.output.find(line.substr(1)), std::string::npos) << line << "\n" << r.output;
      } else {
        EXPECT_NE(r.output.find(line + "\n"), std::string::npos) << line << "\n" << r.output;
      }
      error = error || line.starts_with("Error: ");
    }
    EXPECT_EQ(r.status, error ? 1 : 0) << r.output;
    const std::string out = test::FileExists(dir.File("out.txt")) ? "out.txt" : "out.prg";
    EXPECT_EQ(test::FileExists(dir.File(out)) ? test::ReadFile(dir.File(out)) : "", c.output);
    if (test::FileExists(dir.File("re.prg"))) {
      EXPECT_EQ(test::ReadFile(dir.File("re.prg")), c.input);
    }
  }
}

}  // namespace
}  // namespace vantrel
