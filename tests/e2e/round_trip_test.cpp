// Program -> text -> program must give the program back. Checked on the real
// programs of the corpus and on generated ones holding every byte value.
#include <gtest/gtest.h>

#include <random>

#include "test_support.h"

namespace vantrel {
namespace {

using test::RunVantrel;

// The corpus README names these as machine code or data, not BASIC.
const char* const kBasicPrograms[] = {
    "BlackJack/black-jack.prg",        "BlackJack/start-black-jack.prg", "Briscola/briscola.prg",
    "Briscola/start-briscola.prg",     "Briscola-en/briscola-en.prg",     "Briscola-en/start-briscola-en.prg",
    "Briscola-it/briscola-it.prg",     "Briscola-it/start-briscola-i.prg", "Poker4/poker-4.prg",
    "Poker4/start-poker-4.prg",        "Poker4-en/poker-4-en.prg",        "Poker4-en/start-poker-4-en.prg",
    "Poker4-it/poker-4-it.prg",        "Poker4-it/start-poker-4-it.prg",  "Test/start-test.prg",
    "Test/test-clipping.prg",
};
const char* const kMachineCode[] = {
    "Poker4/card-routines.prg", "Poker4/card-symbols.prg",  "Poker4/pic-a-poker-4.prg",
    "Poker4/prg-a-poker-4.prg", "Poker4/prg-b-poker-4.prg", "Test/card-routines-clipping.prg",
};

struct Trip {
  std::string rebuilt;     // in.prg -prg
  std::string via_text;    // in.prg -txt, then that text -prg
  std::string text, text_again, text_third;
  std::string output;
};

Trip RoundTrip(const std::string& prg, const std::vector<std::string>& options) {
  test::ScratchDir dir;
  test::WriteFile(dir.File("in.prg"), prg);
  auto run = [&](std::vector<std::string> args) {
    args.insert(args.end(), options.begin(), options.end());
    return RunVantrel(dir.Path(), args).output;
  };
  std::string output = run({"in.prg", "-prg:re.prg", "-txt:a.txt"});
  output += run({"a.txt", "-prg:b.prg"});
  output += run({"b.prg", "-txt:c.txt"});
  run({"c.txt", "-prg:d.prg"});
  run({"d.prg", "-txt:d.txt"});
  auto read = [&dir](const char* name) { return test::ReadFile(dir.File(name)); };
  return {read("re.prg"), read("b.prg"), read("a.txt"), read("c.txt"), read("d.txt"), output};
}

TEST(RoundTrip, CorpusProgramsComeBackByteForByte) {
  for (const char* name : kBasicPrograms) {
    SCOPED_TRACE(name);
    const std::string prg = test::ReadFile(test::CorpusPath(std::string("card-games/prg/") + name));
    ASSERT_GT(prg.size(), 2u);
    for (const char* alpha : {"-alpha:ascii", "-alpha:lazy"}) {
      SCOPED_TRACE(alpha);
      Trip t = RoundTrip(prg, {alpha});
      EXPECT_EQ(t.rebuilt, prg);
      EXPECT_EQ(t.via_text, prg);
      EXPECT_EQ(t.text, t.text_again);
      EXPECT_EQ(t.output.find("Error:"), std::string::npos) << t.output;
    }
  }
}

TEST(RoundTrip, MachineCodeRebuildsWithNotBasic) {
  for (const char* name : kMachineCode) {
    SCOPED_TRACE(name);
    const std::string prg = test::ReadFile(test::CorpusPath(std::string("card-games/prg/") + name));
    test::ScratchDir dir;
    test::WriteFile(dir.File("in.prg"), prg);
    auto r = RunVantrel(dir.Path(), {"in.prg", "-prg:re.prg", "-notbasic"});
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(test::ReadFile(dir.File("re.prg")), prg);
  }
}

// Random lines as the C64 stores them: tokens, names, numbers, strings with
// any byte, control bytes and apostrophes outside quotes, DATA items and REM
// text of any bytes.
class ProgramGenerator {
 public:
  explicit ProgramGenerator(unsigned seed) : rng_(seed) {}

  std::string Program() {
    std::vector<test::BasicLineBytes> lines;
    unsigned number = Pick(0, 20);
    for (int i = 0, n = Pick(1, 25); i < n; ++i) {
      lines.push_back({static_cast<uint16_t>(number), Line()});
      number += Pick(1, 500);
      if (number > 63999) break;
    }
    return test::BasicProgramFile(Pick(0, 3) == 0 ? 0x1c01 : 0x0801, lines);
  }

 private:
  int Pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }

  std::string Line() {
    std::string body;
    for (int i = 0, n = Pick(1, 8); i < n; ++i) {
      if (!body.empty()) body += ' ';  // keeps tokens and names from running together
      body += Atom();
    }
    if (Pick(0, 4) == 0) body += ":\x83" + DataItems();  // DATA
    if (Pick(0, 4) == 0) body += ":\x8f" + Bytes(Pick(0, 20), "");  // REM
    return body;
  }

  // Items as the C64 stores them; blanks around an item are not kept in
  // text, so the items here have none.
  std::string DataItems() {
    std::string items;
    for (int i = 0, n = Pick(1, 4); i < n; ++i) {
      std::string item = Bytes(Pick(1, 6), ",:\"");
      if (item.front() == ' ') item.front() = 'X';
      if (item.back() == ' ') item.back() = 'X';
      items += (i ? "," : "") + item;
    }
    return items;
  }

  std::string Bytes(int n, std::string_view excluded) {
    std::string out;
    while (static_cast<int>(out.size()) < n) {
      const char b = static_cast<char>(Pick(1, 255));
      if (excluded.find(b) == std::string_view::npos) out += b;
    }
    return out;
  }

  std::string Atom() {
    switch (Pick(0, 6)) {
      case 0: {
        // Any token but DATA and REM, whose rest of line reads differently.
        int t = Pick(0x80, 0xFF);
        return std::string(1, static_cast<char>(t == 0x83 || t == 0x8F ? 0x99 : t));
      }
      case 1: {
        std::string name(1, static_cast<char>('A' + Pick(0, 25)));
        if (Pick(0, 1)) name += static_cast<char>('0' + Pick(0, 9));
        return name;
      }
      case 2: return std::to_string(Pick(0, 65535));
      case 3: return String();
      case 4: return std::string(1, static_cast<char>(Pick(1, 31)));
      case 5: return "'";
      default: {
        static const std::string kPunct = "!#$%&(),.:;?@[]{}";
        return std::string(1, kPunct[static_cast<size_t>(Pick(0, static_cast<int>(kPunct.size()) - 1))]);
      }
    }
  }

  std::string String() {
    std::string s = "\"";
    for (int i = 0, n = Pick(0, 12); i < n; ++i) {
      int b = Pick(1, 255);
      if (b == '"') b = '!';
      s.append(static_cast<size_t>(Pick(0, 3) == 0 ? Pick(2, 6) : 1), static_cast<char>(b));
    }
    return s + "\"";
  }

  std::mt19937 rng_;
};

// In ASCII mode every byte comes back; otherwise a program whose text does
// not give it back must have said so, and text read back is a fixed point.
TEST(RoundTrip, GeneratedPrograms) {
  for (bool ascii : {true, false}) {
    ProgramGenerator gen(ascii ? 1986 : 1987);
    for (int i = 0; i < 25; ++i) {
      SCOPED_TRACE(std::to_string(i) + (ascii ? " ascii" : " lazy"));
      const std::string prg = gen.Program();
      Trip t = RoundTrip(prg, ascii ? std::vector<std::string>{"-alpha:ascii"} : std::vector<std::string>{});
      EXPECT_EQ(t.rebuilt, prg);
      EXPECT_EQ(t.text_again, t.text_third);
      if (ascii) {
        EXPECT_EQ(t.via_text, prg) << t.text;
        EXPECT_EQ(t.text, t.text_again);
      } else if (t.via_text != prg || t.text != t.text_again) {
        EXPECT_NE(t.output.find("Warning: String byte $"), std::string::npos) << t.text;
      }
    }
  }
}

}  // namespace
}  // namespace vantrel
