// Every BASIC dialect through the real binary, against petcat's own token
// tables, code listings and samples (tests/data/dialects, VICE petcat 3.10).
#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <sstream>

#include "test_support.h"

namespace vantrel {
namespace {

using test::RunVantrel;

const char* const kDialects[] = {"basic2",     "basic1",        "basic35",     "basic4",      "basic4cbm2",
                                 "basic7",     "basic71",       "basic10",     "basic65",     "simons",
                                 "fc3",        "basic4ext64",   "basic4ext20", "basic5ext20", "superexpander"};

std::string DataFile(const std::string& name) { return std::string(VANTREL_DIALECTS) + "/" + name; }

// The rows of a .tsv file after its header, split at tabs.
std::vector<std::vector<std::string>> ReadTsv(const std::string& path) {
  std::vector<std::vector<std::string>> rows;
  std::istringstream in(test::ReadFile(path));
  std::string line;
  std::getline(in, line);
  while (std::getline(in, line)) {
    std::vector<std::string> fields(1);
    for (char c : line) {
      if (c == '\t') fields.emplace_back();
      else fields.back().push_back(c);
    }
    rows.push_back(fields);
  }
  return rows;
}

std::string FromHex(const std::string& hex) {
  std::string bytes;
  std::istringstream in(hex);
  for (int b; in >> std::hex >> b;) bytes += static_cast<char>(b);
  return bytes;
}

// Line number to line bytes, for a program file.
std::map<int, std::string> ProgramLines(const std::string& prg) {
  std::map<int, std::string> lines;
  for (size_t pos = 2; pos + 4 <= prg.size() && (prg[pos] || prg[pos + 1]);) {
    const int number = static_cast<uint8_t>(prg[pos + 2]) | static_cast<uint8_t>(prg[pos + 3]) << 8;
    const size_t end = prg.find('\0', pos + 4);
    if (end == std::string::npos) break;
    lines[number] = prg.substr(pos + 4, end - pos - 4);
    pos = end + 1;
  }
  return lines;
}

// Line number to the text after it, for a listing.
std::map<int, std::string> ListingLines(const std::string& text) {
  std::map<int, std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    const size_t blank = line.find(' ');
    if (!line.empty() && std::isdigit(static_cast<unsigned char>(line[0])))
      lines[std::stoi(line)] = blank == std::string::npos ? "" : line.substr(blank + 1);
  }
  return lines;
}

// Each keyword of the table types as its own bytes, unless the note gives
// what petcat makes of it ("'go' gives 47 4f", "'dma' tokenizes to fe 23");
// the notes' other words are cases too ("'directory' tokenizes to ee fe 29").
// Two words keep Vantrel's reading: outside quotes it reads upper-case
// letters as names and "`" as itself, where petcat shifts them (FC3's
// ?ERROR? and BASIC 5.0's "`", which petcat cannot type either).
std::vector<std::pair<std::string, std::string>> TypedKeywords(const std::string& dialect) {
  static const std::regex kGives("'([^']+)'[^']*? (?:gives|tokenizes to) ([0-9a-f]{2}(?: [0-9a-f]{2})*)");
  std::vector<std::pair<std::string, std::string>> cases;
  for (const auto& row : ReadTsv(DataFile(dialect + ".tsv"))) {
    if (row[1] == "~") continue;  // pi, a character
    std::map<std::string, std::string> given;
    for (std::sregex_iterator m(row[2].begin(), row[2].end(), kGives), end; m != end; ++m)
      given[(*m)[1]] = (*m)[2];
    given.try_emplace(row[1], row[0]);
    for (const auto& [word, hex] : given)
      if (word != "?ERROR?" && word != "`") cases.emplace_back(word, hex);
  }
  return cases;
}

TEST(Dialects, KeywordsTokenizeAsPetcatDoes) {
  for (const char* dialect : kDialects) {
    SCOPED_TRACE(dialect);
    const auto cases = TypedKeywords(dialect);
    std::string listing;
    for (size_t i = 0; i < cases.size(); ++i) listing += std::to_string(10 * (i + 1)) + " " + cases[i].first + "\n";
    test::ScratchDir dir;
    test::WriteFile(dir.File("k.txt"), listing);
    RunVantrel(dir.Path(), {"k.txt", std::string("-dialect:") + dialect, "-alpha:petcat", "-prg:k.prg"});
    const auto lines = ProgramLines(test::ReadFile(dir.File("k.prg")));
    ASSERT_EQ(lines.size(), cases.size());
    for (size_t i = 0; i < cases.size(); ++i)
      EXPECT_EQ(lines.at(static_cast<int>(10 * (i + 1))), FromHex(cases[i].second)) << cases[i].first;
  }
}

// One line per code (those holding a zero byte would end the line); every
// code petcat lists as a keyword lists so, and the text gives every byte back.
TEST(Dialects, CodesListAsPetcatDoesAndReadBack) {
  for (const char* dialect : kDialects) {
    SCOPED_TRACE(dialect);
    std::vector<test::BasicLineBytes> lines;
    std::map<int, std::string> keywords;
    for (const auto& row : ReadTsv(DataFile(std::string("codes/") + dialect + ".codes.tsv"))) {
      const std::string bytes = FromHex(row[0]);
      if (bytes.find('\0') != std::string::npos) continue;
      const auto number = static_cast<uint16_t>(10 * (lines.size() + 1));
      lines.push_back({number, bytes});
      if (row[2] == "keyword") keywords[number] = row[1];
    }
    const std::string prg = test::BasicProgramFile(0x0801, lines);
    test::ScratchDir dir;
    test::WriteFile(dir.File("c.prg"), prg);
    const std::string option = std::string("-dialect:") + dialect;
    RunVantrel(dir.Path(), {"c.prg", option, "-alpha:petcat", "-keycase", "-txt:c.txt"});
    const auto listed = ListingLines(test::ReadFile(dir.File("c.txt")));
    for (const auto& [number, keyword] : keywords) EXPECT_EQ(listed.at(number), keyword) << "line " << number;
    RunVantrel(dir.Path(), {"c.txt", "-alpha:petcat", "-prg:back.prg"});
    EXPECT_EQ(test::ReadFile(dir.File("back.prg")), prg);
  }
}

TEST(Dialects, SamplesTokenizeAndDetokenizeBothWays) {
  for (const char* dialect : kDialects) {
    SCOPED_TRACE(dialect);
    const std::string sample = DataFile(std::string("samples/") + dialect);
    const std::string prg = test::ReadFile(sample + ".prg");
    const std::string option = std::string("-dialect:") + dialect;
    test::ScratchDir dir;
    test::WriteFile(dir.File("s.txt"), test::ReadFile(sample + ".lst.txt"));
    test::WriteFile(dir.File("s.prg"), prg);
    RunVantrel(dir.Path(), {"s.txt", option, "-alpha:petcat", "-prg:from-listing.prg"});
    EXPECT_EQ(test::ReadFile(dir.File("from-listing.prg")), prg);
    // The text names its dialect, so no option is needed to read it back.
    RunVantrel(dir.Path(), {"s.prg", option, "-txt:t.txt"});
    RunVantrel(dir.Path(), {"t.txt", "-prg:from-text.prg"});
    EXPECT_EQ(test::ReadFile(dir.File("from-text.prg")), prg);
  }
}

struct Case {
  const char* name;
  std::string input;  // in.txt, or in.prg when it starts with a load address
  std::vector<std::string> options;
  std::string output;                // the whole output file
  std::vector<std::string> console;  // lines that must appear
};

// Token bytes from the dialect tables' README and the C128 and Simons'
// BASIC manuals' token lists: DOPEN $FE $0D, HIRES $64 $01, PRINT $99.
std::vector<Case> Cases() {
  const std::string c128 = test::BasicProgramFile(0x1C01, {{10, "\xfe\x0d"}});
  return {
      {"C128 program without a dialect", c128, {"-txt:out.txt"}, "{loadaddr:$1c01}\n10 {$fe}{$0d}\n",
       {"Warning: Program looks like BASIC 7.0 (C128): load address $1c01, 1 code unknown to basic2; "
        "-dialect:basic7 reads its keywords"}},
      {"C128 program with its dialect", c128, {"-txt:out.txt", "-dialect:c128"}, "{dialect:basic7}\n10 DOPEN\n", {}},
      {"Simons' BASIC codes are letters to BASIC 2.0", test::BasicProgramFile(0x0801, {{10, "\x64\x01"}}),
       {"-txt:out.txt"}, "10 {$64}{$01}\n",
       {"Warning: Program looks like Simons' BASIC (C64): 1 of its two-byte codes; "
        "-dialect:simons reads its keywords"}},
      {"alias and the machine's load address", "10 dopen\n", {"-prg:out.prg", "-dialect:7.0"},
       test::BasicProgramFile(0x1C01, {{10, "\xfe\x0d"}}), {}},
      {"longest keyword across tables", "{dialect:basic65}\n10 dot=1:a>>b\n", {"-prg:out.prg"},
       test::BasicProgramFile(0x2001, {{10, "\xfe\x4c\xb2" "1:A\xfe\x53" "B"}}), {}},
      {"Simons' keywords take BASIC 2.0 names", "{dialect:simons}\n10 test=1:out=2:hi col 1\n", {"-prg:out.prg"},
       test::BasicProgramFile(0x0801, {{10, "\x64\x58\xb2" "1:\x64\x7f\xb2" "2:\x64\x0c 1"}}), {}},
      {"tokenizer directive on top of a dialect", "{dialect:basic7}\n{tokenizer:$fe50=ZAP}\n10 zap:dopen\n",
       {"-prg:out.prg"}, test::BasicProgramFile(0x1C01, {{10, "\xfe\x50:\xfe\x0d"}}), {}},
      // FAST is $FE $25 in basic7, basic71, basic10 and basic65 (their .tsv files).
      {"a listing of another dialect", "10 x=1:fast\n", {"-prg:out.prg"},
       test::BasicProgramFile(0x0801, {{10, "X\xb2" "1:FAST"}}),
       {"Warning: [in.txt (1)] FAST is a keyword of basic7, basic71, basic10, basic65, not of basic2: "
        "-dialect:basic7 reads it as one"}},
      {"a variable that another dialect's keyword starts", "10 fast=1:do(2)=3:do1=4\n", {"-prg:out.prg"},
       test::BasicProgramFile(0x0801, {{10, "FAST\xb2" "1:DO(2)\xb2" "3:DO1\xb2" "4"}}), {}},
      {"unknown dialect", "10 print\n", {"-prg:out.prg", "-dialect:basic9"}, "",
       {"Error: Unknown BASIC dialect: basic9 (known: basic2, basic1, basic35, basic4, basic4cbm2, basic7, basic71, "
        "basic10, basic65, simons, fc3, basic4ext64, basic4ext20, basic5ext20, superexpander)"}},
  };
}

TEST(Dialects, OptionDirectiveAndWarnings) {
  for (const Case& c : Cases()) {
    SCOPED_TRACE(c.name);
    test::ScratchDir dir;
    const bool program = c.input[0] != '1' && c.input[0] != '{';
    const std::string input = program ? "in.prg" : "in.txt";
    test::WriteFile(dir.File(input), c.input);
    std::vector<std::string> args{input};
    args.insert(args.end(), c.options.begin(), c.options.end());
    const test::RunResult run = RunVantrel(dir.Path(), args);
    const std::string out = c.options[0].substr(1, 3) == "txt" ? "out.txt" : "out.prg";
    EXPECT_EQ(test::FileExists(dir.File(out)) ? test::ReadFile(dir.File(out)) : "", c.output) << run.output;
    for (const std::string& line : c.console) EXPECT_NE(run.output.find(line), std::string::npos) << run.output;
    if (c.console.empty()) {
      EXPECT_EQ(run.output.find("Warning:"), std::string::npos) << run.output;
    }
  }
}

}  // namespace
}  // namespace vantrel
