// Every BASIC dialect through the real binary, against petcat's own token
// tables, code listings and samples (tests/data/dialects, VICE petcat 3.10).
// The dialect option, directive and warnings are cases of the detokenizer test.
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

}  // namespace
}  // namespace vantrel
