// Program -> text -> program must give the program back. Checked on the real
// programs of the corpus and on generated ones holding every byte value.
#include <gtest/gtest.h>

#include <random>

#include "test_support.h"

namespace vantrel {
namespace {

using test::RunVantrel;

// The corpus's BASIC programs; its README names the rest machine code or data.
const char* const kBasicPrograms[] = {
    "BlackJack/black-jack.prg",        "BlackJack/start-black-jack.prg", "Briscola/briscola.prg",
    "Briscola/start-briscola.prg",     "Briscola-en/briscola-en.prg",     "Briscola-en/start-briscola-en.prg",
    "Briscola-it/briscola-it.prg",     "Briscola-it/start-briscola-i.prg", "Poker4/poker-4.prg",
    "Poker4/start-poker-4.prg",        "Poker4-en/poker-4-en.prg",        "Poker4-en/start-poker-4-en.prg",
    "Poker4-it/poker-4-it.prg",        "Poker4-it/start-poker-4-it.prg",  "Test/start-test.prg",
    "Test/test-clipping.prg",
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
    for (const char* alpha : {"-alpha:ascii", "-alpha:lazy", "-alpha:petcat"}) {
      SCOPED_TRACE(alpha);
      Trip t = RoundTrip(prg, {alpha});
      EXPECT_EQ(t.rebuilt, prg);
      EXPECT_EQ(t.via_text, prg);
      EXPECT_EQ(t.text, t.text_again);
      EXPECT_EQ(t.output.find("Error:"), std::string::npos) << t.output;
    }
  }
}

// Bytes that text would read as something else unless written with care;
// each line comes back exactly, in ASCII mode and by default.
TEST(RoundTrip, BytesTextWouldMisread) {
  const struct {
    const char* name;
    std::string body;
  } rows[] = {
      {"keyword spelled out", "PRINT"},
      {"TO in letters", "TOTAL"},
      {"tokens that would merge", "\xcb\xa4 10"},  // GO TO
      {"letters that would join a token", "GO\xa4:S\xa4P:AS\xc7"},
      {"operators stored as plain bytes", "A+B=C/D*E-F<G>H^I"},
      {"lower-case letters", "abc"},
      {"REM ending in blanks", "\x8fXY  "},
      {"open string ending in blanks", "\x99\"HI  "},
      {"blanks around DATA items", "\x83 1, \"A,B\" ,  , 3 "},
      {"jump written with leading zeros", "\x89 0010"},
  };
  for (const auto& row : rows) {
    const std::string prg = test::BasicProgramFile(0x0801, {{10, row.body}});
    for (bool ascii : {true, false}) {
      SCOPED_TRACE(std::string(row.name) + (ascii ? " ascii" : " lazy"));
      Trip t = RoundTrip(prg, ascii ? std::vector<std::string>{"-alpha:ascii"} : std::vector<std::string>{});
      EXPECT_EQ(t.via_text, prg) << t.text;
      EXPECT_EQ(t.text, t.text_again);
    }
  }
}

// Random lines as the C64 stores them: tokens side by side, names of any
// letters (keywords spelled out among them), numbers, operator characters
// stored as plain bytes, strings with any byte, control bytes and
// apostrophes outside quotes, jumps written with leading zeros, DATA items
// and REM text of any bytes, blanks at the edges of all of them.
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
  std::string Blanks() { return std::string(static_cast<size_t>(Pick(0, 2)), ' '); }

  std::string Line() {
    std::string body = Blanks();
    for (int i = 0, n = Pick(1, 8); i < n; ++i) {
      if (Pick(0, 1)) body += ' ';
      body += Atom();
    }
    switch (Pick(0, 5)) {
      case 0: body += ":\x83" + DataItems(); break;            // DATA
      case 1: body += ":\x8f" + Bytes(Pick(0, 20), "") + Blanks(); break;  // REM
      case 2: body += String().substr(0, 4) + Blanks(); break;  // a string left open
      default: body += Blanks(); break;
    }
    if (Pick(0, 4) == 0) body += ":\x8f" + Bytes(Pick(0, 20), "");  // REM after DATA too
    return body;
  }

  std::string DataItems() {
    std::string items;
    for (int i = 0, n = Pick(1, 4); i < n; ++i) {
      if (i) items += ',';
      items += Blanks();
      items += Pick(0, 3) ? Bytes(Pick(0, 6), ",:\"") : '"' + Bytes(Pick(0, 6), "\"") + '"';
      items += Blanks();
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
    static const char* const kSpelled[] = {"PRINT", "TO", "GO", "STOP", "FOR", "AND", "STR", "TAB", "INPUT", "ASC"};
    switch (Pick(0, 8)) {
      case 0: {
        // Any token but DATA and REM, whose rest of line reads differently.
        int t = Pick(0x80, 0xFF);
        return std::string(1, static_cast<char>(t == 0x83 || t == 0x8F ? 0x99 : t));
      }
      case 1: {
        std::string name;
        for (int i = 0, n = Pick(1, 3); i < n; ++i) name += static_cast<char>((Pick(0, 1) ? 'A' : 'a') + Pick(0, 25));
        if (Pick(0, 1)) name += static_cast<char>('0' + Pick(0, 9));
        return name;
      }
      case 2: return std::to_string(Pick(0, 65535));
      case 3: return String();
      case 4: return std::string(1, static_cast<char>(Pick(1, 31)));
      case 5: return "'";
      case 6: return kSpelled[Pick(0, 9)];
      case 7: {
        std::string jump(1, '\x89');  // GOTO
        jump.append(static_cast<size_t>(Pick(1, 2)), '0');
        return jump + std::to_string(Pick(0, 20));
      }
      default: {
        // Every character below $80 that is neither blank, letter, digit nor quote.
        static const std::string kPunct = R"(!#$%&()*+,-./:;<=>?@[\]^_`{|}~)" "\x7f";
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

// In ASCII and petcat mode every byte comes back; otherwise a program whose
// text does not give it back must have said so, and text read back is a
// fixed point.
TEST(RoundTrip, GeneratedPrograms) {
  const struct {
    const char* alpha;
    unsigned seed;
    bool exact;
  } modes[] = {{"-alpha:ascii", 1986, true}, {"-alpha:lazy", 1987, false}, {"-alpha:petcat", 1988, true}};
  for (const auto& mode : modes) {
    ProgramGenerator gen(mode.seed);
    for (int i = 0; i < 25; ++i) {
      SCOPED_TRACE(std::to_string(i) + " " + mode.alpha);
      const std::string prg = gen.Program();
      Trip t = RoundTrip(prg, {mode.alpha});
      EXPECT_EQ(t.rebuilt, prg);
      EXPECT_EQ(t.text_again, t.text_third);
      if (mode.exact) {
        EXPECT_EQ(t.via_text, prg) << t.text;
        EXPECT_EQ(t.text, t.text_again);
      } else if (t.via_text != prg || t.text != t.text_again) {
        EXPECT_NE(t.output.find("Warning: String byte $"), std::string::npos) << t.text;
      }
    }
  }
}

// -keepcode: program -> text -> program keeps the bytes behind BASIC too.
std::string KeepCodeTrip(const std::string& prg, const std::string& keep, const char* alpha) {
  test::ScratchDir dir;
  test::WriteFile(dir.File("in.prg"), prg);
  RunVantrel(dir.Path(), {"in.prg", "-txt:a.txt", keep, alpha});
  RunVantrel(dir.Path(), {"a.txt", "-prg:b.prg", alpha});
  return test::ReadFile(dir.File("b.prg"));
}

// 10 SYS 2061, then machine code: every documented instruction, a few
// undocumented ones, a run of zeros, random data and a jump cut off by the
// end of the file.
std::string ProgramWithCode(unsigned seed) {
  std::string prg = test::BasicProgramFile(0x0801, {{10, "\x9e" "2061"}});
  const uint8_t code[] = {0xA9, 0x12, 0x8D, 0x20, 0xD0, 0xD0, 0xFB, 0x4C, 0x0D, 0x08, 0x20, 0x00, 0x10,
                          0x6C, 0x34, 0x12, 0xAD, 0x12, 0x00, 0xB6, 0x12, 0x91, 0xFB, 0xF0, 0xFF, 0x02,
                          0xA7, 0x12, 0xEB, 0x01, 0x00, 0x00, 0x00, 0x00, 0x0A, 0xEA};
  prg.append(reinterpret_cast<const char*>(code), sizeof code);
  std::mt19937 random(seed);
  for (int i = 0; i < 600; ++i) prg += static_cast<char>(random() & 0xFF);
  return prg + "\xea\x4c";
}

TEST(RoundTrip, KeepCodeKeepsTheBytesBehindBasic) {
  for (const char* keep : {"-keepcode", "-keepcode:asm"}) {
    for (const char* alpha : {"-alpha:ascii", "-alpha:lazy"}) {
      SCOPED_TRACE(std::string(keep) + " " + alpha);
      for (const char* name : kBasicPrograms) {
        const std::string prg = test::ReadFile(test::CorpusPath(std::string("card-games/prg/") + name));
        EXPECT_EQ(KeepCodeTrip(prg, keep, alpha), prg) << name;
      }
      for (unsigned seed : {1u, 2u, 3u}) {
        const std::string prg = ProgramWithCode(seed);
        EXPECT_EQ(KeepCodeTrip(prg, keep, alpha), prg) << seed;
      }
    }
  }
  // Disassembled, with labels where the branch and the jump land; the
  // bytes behind the jmp are no run of code that ends in a jump or a
  // return (the branch to its own operand ends it), so they stay data.
  test::ScratchDir dir;
  test::WriteFile(dir.File("in.prg"), ProgramWithCode(1));
  RunVantrel(dir.Path(), {"in.prg", "-txt:a.txt", "-keepcode:asm"});
  EXPECT_NE(test::ReadFile(dir.File("a.txt"))
                .find("10 SYS2061\n{asm}\n\torig $080d\nl080d:\n\tlda #$12\nl080f:\n\tsta $d020\n\tbne l080f\n"
                      "\tjmp l080d\n\tbyte $20, $00, $10, $6c, $34, $12, $ad, $12\n\tbyte $00, $b6, $12, $91, $fb, $f0, $ff, $02\n"),
            std::string::npos)
      << test::ReadFile(dir.File("a.txt"));
  // Without the option only the warning is carried, as before.
  RunVantrel(dir.Path(), {"in.prg", "-txt:a.txt", "-ovr"});
  EXPECT_NE(test::ReadFile(dir.File("a.txt")).find("{warning:Source .prg file contains non-BASIC code"),
            std::string::npos);
  EXPECT_EQ(test::ReadFile(dir.File("a.txt")).find("{asm}"), std::string::npos);
}

}  // namespace
}  // namespace vantrel
