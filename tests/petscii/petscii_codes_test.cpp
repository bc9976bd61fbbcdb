#include "petscii/petscii_codes.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "test_support.h"
#include "text/text_ops.h"

namespace vantrel {
namespace {

// Bytes as written in the C64 documentation, for readable expectations.
std::string Bytes(std::initializer_list<int> values) {
  std::string bytes;
  for (int v : values) bytes += static_cast<char>(v);
  return bytes;
}

struct Quoter {
  MsgLog log;
  PetsciiCodes codes{log};
  explicit Quoter(AlphaMode mode = AlphaMode::Lazy) { codes.SetAlpha(mode); }

  // The bytes of `text`, or "FAIL".
  std::string In(const std::string& text) const {
    std::string bytes;
    return codes.TextToPetscii(text, bytes) ? bytes : "FAIL";
  }
  size_t Warnings() const { return log.CountAt(MessageLevel::Warning); }
};

// CHR$ codes of the C64's control keys and colours (the CHR$ code table of
// the Programmer's Reference Guide), with their output names.
struct NameRow {
  const char* name;
  int code;
};
const NameRow kPrimaryNames[] = {
    {"f1", 133},        {"f2", 137},         {"f3", 134},       {"f4", 138},        {"f5", 135},
    {"f6", 139},        {"f7", 136},         {"f8", 140},       {"stop", 3},        {"shft ret", 141},
    {"switchdisable", 8}, {"switchenable", 9}, {"lowercase", 14}, {"uppercase", 142}, {"left", 157},
    {"right", 29},      {"up", 145},         {"down", 17},      {"home", 19},       {"clear", 147},
    {"insert", 148},    {"backspace", 20},   {"rvrs on", 18},   {"rvrs off", 146},  {"black", 144},
    {"white", 5},       {"red", 28},         {"green", 30},     {"blue", 31},       {"purple", 156},
    {"yellow", 158},    {"cyan", 159},       {"orange", 129},   {"brown", 149},     {"lt. red", 150},
    {"lt. green", 153}, {"lt. blue", 154},   {"gray1", 151},    {"gray2", 152},     {"gray3", 155},
    {"^", 94},          {"back arrow", 95},  {"pound", 92},     {"shft pound", 169}, {"cmdr pound", 168},
    {"shft space", 160},
};

TEST(PetsciiCodes, PrimaryNamesBothWays) {
  Quoter q;
  for (const NameRow& row : kPrimaryNames) {
    SCOPED_TRACE(row.name);
    const std::string braced = std::string("{") + row.name + "}";
    EXPECT_EQ(q.In(braced), Bytes({row.code}));
    EXPECT_EQ(q.codes.PetsciiToText(Bytes({row.code})), braced);
  }
}

// Other spellings of the names above, and the names of petcat listings
// family by family, with the codes of the PETSCII chart.
TEST(PetsciiCodes, AliasesReadAsTheirCodes) {
  std::string cbm, shift, ctrl, shift_bytes, ctrl_bytes;
  for (char c = 'A'; c <= 'Z'; ++c) {
    cbm += std::string("{CBM-") + c + "}";
    shift += std::string("{SHIFT-") + c + "}";
    ctrl += std::string("{CTRL-") + c + "}";
    shift_bytes += static_cast<char>(c + 0x80);  // $C1-$DA
    ctrl_bytes += static_cast<char>(c - 0x40);   // $01-$1A
  }
  const std::pair<std::string, std::string> rows[] = {
      {"{CLEAR}{Clear}{clr}{runstop}{shift return}{del}{reverse off}{ctrl pound}{light blue}{dark grey}{grey}",
       Bytes({147, 147, 147, 3, 141, 20, 146, 28, 154, 151, 152})},
      {"{lt grey}{up arrow}{null}{return}{space}{quote}{pi}", Bytes({155, 94, 0, 13, 32, 34, 255})},
      {"{blk}{wht}{cyn}{pur}{grn}{blu}{yel}", Bytes({0x90, 0x05, 0x9F, 0x9C, 0x1E, 0x1F, 0x9E})},
      {"{orng}{brn}{lred}{gry1}{gry2}{lgrn}{lblu}{gry3}", Bytes({0x81, 0x95, 0x96, 0x97, 0x98, 0x99, 0x9A, 0x9B})},
      {"{rvon}{rvof}{rght}{sret}{esc}{swlc}{swuc}{dish}{ensh}",
       Bytes({0x12, 0x92, 0x1D, 0x8D, 0x1B, 0x0E, 0x8E, 0x08, 0x09})},
      {cbm, Bytes({0xB0, 0xBF, 0xBC, 0xAC, 0xB1, 0xBB, 0xA5, 0xB4, 0xA2, 0xB5, 0xA1, 0xB6, 0xA7,
                   0xAA, 0xB9, 0xAF, 0xAB, 0xB2, 0xAE, 0xA3, 0xB8, 0xBE, 0xB3, 0xBD, 0xB7, 0xAD})},
      {"{CBM-*}{CBM-+}{CBM--}{CBM-@}{CBM-POUND}", Bytes({0xDF, 0xA6, 0xDC, 0xA4, 0xA8})},
      {shift, shift_bytes},
      {"{SHIFT-*}{SHIFT-+}{SHIFT--}{SHIFT-@}{SHIFT-POUND}", Bytes({0xC0, 0xDB, 0xDD, 0xBA, 0xA9})},
      {ctrl, ctrl_bytes},
      {"{Shift-Space}{sh space}{$a0}", Bytes({0xA0, 0xA0, 0xA0})},
      // Names petcat shares with Vantrel.
      {"{clr}{home}{up}{down}{left}{inst}{del}{red}{stop}{pound}{up arrow}{left arrow}{pi}",
       Bytes({0x93, 0x13, 0x91, 0x11, 0x9D, 0x94, 0x14, 0x1C, 0x03, 0x5C, 0x5E, 0x5F, 0xFF})},
      {"{f1}{f2}{f3}{f4}{f5}{f6}{f7}{f8}", Bytes({0x85, 0x89, 0x86, 0x8A, 0x87, 0x8B, 0x88, 0x8C})},
      // Any letter case, and counts, as for Vantrel's names.
      {"{cbm-a}{Ctrl-z}{WHT:2}", Bytes({0xB0, 0x1A, 0x05, 0x05})},
  };
  Quoter q;
  for (const auto& [text, bytes] : rows) EXPECT_EQ(q.In(text), bytes) << text;
  // Output keeps Vantrel's names.
  EXPECT_EQ(q.codes.PetsciiToText(Bytes({0x05, 0x12, 0xB0, 0x1D})), "{white}{rvrs on}{$b0}{right}");
  // A name the quoter table has, also one a {quoter:...} gave, wins.
  test::QuietLoader directive;
  ASSERT_TRUE(q.codes.Quoter().ApplyAssignments("$41=wht", directive.log, SourcePos{}));
  EXPECT_EQ(q.In("{WHT}{blk}"), Bytes({0x41, 0x90}));
}

TEST(PetsciiCodes, TextToPetscii) {
  struct Row {
    AlphaMode mode;
    const char* text;
    std::string bytes;
  };
  const Row rows[] = {
      {AlphaMode::Lazy, "\"Hi!\"", Bytes({0x22, 0x48, 0x49, 0x21, 0x22})},
      {AlphaMode::Lazy, "{shift}a{lift}a", Bytes({0xC1, 0x41})},
      {AlphaMode::Lazy, "{cmdr}a{ctrl}1{shft}+{shift}{$c1}", Bytes({0xB0, 0x90, 0xDB, 0xC1})},
      {AlphaMode::Lazy, "{red:3}{down:0}", Bytes({0x1C, 0x1C, 0x1C})},
      {AlphaMode::Lazy, "{$5c}{147}{%101}{12abc}{pi}{$FF}", Bytes({0x5C, 0x93, 0x05, 0x0C, 0xFF, 0xFF})},
      {AlphaMode::Alt, "{$41}aA", Bytes({0xC1, 0x41, 0xC1})},
      {AlphaMode::Upper, "aA", Bytes({0xC1, 0xC1})},
      {AlphaMode::Invert, "aA", Bytes({0x41, 0x61})},
      {AlphaMode::Ascii, "aA", Bytes({0x61, 0x41})},
      {AlphaMode::Poke, "Aa @{pi}{clear}", Bytes({0x01, 0x01, 0x20, 0x00, 0x5E, 0x00})},
      {AlphaMode::PokeAlt, "Aa{$c1}", Bytes({0x41, 0x01, 0x41})},
      // petcat: upper case shifted, "~" pi; its codes are bytes, not letters.
      {AlphaMode::Petcat, "aA~{$41}{$7e}{shift}a{$41}", Bytes({0x41, 0xC1, 0xFF, 0x41, 0x7E, 0xC1, 0xC1})},
      // petcat's repeat form, in every mode; a number without a name stays a number.
      {AlphaMode::Lazy, "{3 down}{2 SH SPACE}{0 red}{12abc}", Bytes({0x11, 0x11, 0x11, 0xA0, 0xA0, 0x0C})},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.text) + " in " + ToString(row.mode));
    EXPECT_EQ(Quoter(row.mode).In(row.text), row.bytes);
  }
  for (const char* bad : {"{shift:2}", "{shift:}", "{nosuch}", "A{red", "{}", "{$}", "{256}", "{$1234}", "{65521}",
                          "{red:2000000000}", "{red:256}", "{red:-1}", "{red:3x}", "{red:}"}) {
    EXPECT_EQ(Quoter().In(bad), "FAIL") << bad;
  }
  EXPECT_EQ(Quoter().In("{right:255}"), std::string(255, '\x1d'));
}

TEST(PetsciiCodes, PetsciiToText) {
  struct Row {
    AlphaMode mode;
    bool translate;
    bool count;
    std::string bytes;
    const char* text;
  };
  const Row rows[] = {
      {AlphaMode::Lazy, true, true, Bytes({0x22, 0x41, 0x31, 0x5C, 0x7B, 0xFF, 0x22}), "\"A1{pound}{$7b}{$ff}\""},
      {AlphaMode::Lazy, true, true, Bytes({0x1C, 0x1C, 0x1C, 0x1D, 0x1D, 0x1D, 0x1D}), "{red:3}{right:4}"},
      {AlphaMode::Lazy, true, false, Bytes({0x1C, 0x1C, 0x1C}), "{red}{red}{red}"},
      {AlphaMode::Lazy, true, true, Bytes({0xC1, 0xC1, 0x41, 0x41}), "{$c1:2}AA"},
      // Raw codes, except those that would split the line or open a brace.
      {AlphaMode::Lazy, false, true, Bytes({0xC1, 0x1C, 0x7B, 0x0D, 0x0A, 0x09}), "A\x1c{$7b}{$0d}{$0a}{$09}"},
      {AlphaMode::Alt, true, true, Bytes({0x41, 0xC1, 0x61}), "aA{$61}"},
      {AlphaMode::Lower, true, true, Bytes({0x41, 0xC1}), "a{$c1}"},
      {AlphaMode::Upper, true, true, Bytes({0xC1}), "A"},
      {AlphaMode::Ascii, true, true, Bytes({0x61, 0xC1}), "a{$c1}"},
      {AlphaMode::Petcat, true, true, Bytes({0x41, 0xC1, 0xFF, 0x7E, 0x61}), "aA~{$7e}{$61}"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    Quoter q(row.mode);
    q.codes.SetTranslateCodes(row.translate);
    q.codes.SetCountRepeats(row.count);
    EXPECT_EQ(q.codes.PetsciiToText(row.bytes), row.text);
  }
  // A run longer than a count may say is cut into counts that read back.
  EXPECT_EQ(Quoter().codes.PetsciiToText(std::string(300, '\x1d')), "{right:255}{right:45}");
}

TEST(PetsciiCodes, LossIsReportedOncePerLine) {
  Quoter q;
  EXPECT_EQ(q.codes.PetsciiToText(Bytes({0x41, 0x62, 0x61}), "10"), "A{$62}{$61}");
  ASSERT_EQ(q.Warnings(), 1u);
  const std::string& text = q.log.Messages().back().text;
  EXPECT_NE(text.find("$62 in line 10 "), std::string::npos) << text;
  EXPECT_NE(text.find("-alpha:ascii"), std::string::npos) << text;
  q.codes.PetsciiToText(Bytes({0x63}), "10");
  EXPECT_EQ(q.Warnings(), 1u);
  q.codes.PetsciiToText(Bytes({0x63}), "20");
  EXPECT_EQ(q.Warnings(), 2u);
}

// The bytes that no text converts back to: text and codes both pass through
// AlphaIn, so the bytes outside its image are lost (worked out from the
// letter tables: Lazy sends a-z and A-Z both to $41-$5A, and so on).
std::set<int> LostBytes(AlphaMode mode) {
  std::set<int> lost;
  // petcat's codes are bytes, so every byte has one.
  if (mode == AlphaMode::None || mode == AlphaMode::Ascii || mode == AlphaMode::Invert || mode == AlphaMode::Petcat)
    return lost;
  for (int b = 0x61; b <= 0x7A; ++b) lost.insert(b);
  if (mode == AlphaMode::Upper)
    for (int b = 0x41; b <= 0x5A; ++b) lost.insert(b);
  return lost;
}

TEST(PetsciiCodes, EveryByteSurvivesARoundTrip) {
  const AlphaMode modes[] = {AlphaMode::None,  AlphaMode::Ascii, AlphaMode::Normal, AlphaMode::Lazy,  AlphaMode::Alt,
                             AlphaMode::Upper, AlphaMode::Lower, AlphaMode::Invert, AlphaMode::Petcat};
  for (AlphaMode mode : modes) {
    const std::set<int> lost = LostBytes(mode);
    for (bool count : {true, false}) {
      std::string all;
      for (int b = 0; b < 256; ++b) {
        SCOPED_TRACE(ToString(mode) + " byte " + std::to_string(b) + (count ? " counted" : ""));
        const bool kept = lost.count(b) == 0;
        if (kept) all += std::string(3, static_cast<char>(b)) + static_cast<char>(b ^ 1);
        for (size_t run : {1, 3}) {
          Quoter q(mode);
          q.codes.SetCountRepeats(count);
          const std::string bytes(run, static_cast<char>(b));
          EXPECT_EQ(q.In(q.codes.PetsciiToText(bytes)) == bytes, kept);
          EXPECT_EQ(q.Warnings(), kept ? 0u : 1u);
        }
      }
      // Neighbouring forms must not run into each other.
      std::erase_if(all, [&](char c) { return lost.count(static_cast<uint8_t>(c)) != 0; });
      Quoter q(mode);
      q.codes.SetCountRepeats(count);
      EXPECT_EQ(q.In(q.codes.PetsciiToText(all)), all) << ToString(mode);
      EXPECT_EQ(q.Warnings(), 0u);
    }
  }
}

TEST(PetsciiCodes, QuoterDirectiveRebindsNames) {
  Quoter q(AlphaMode::Alt);
  test::QuietLoader directive;
  ASSERT_TRUE(q.codes.Quoter().ApplyAssignments("$41=CLR;$5E=", directive.log, SourcePos{}));
  EXPECT_EQ(q.In("{clr}{Clear}"), Bytes({0xC1, 0x93}));  // codes pass through AlphaIn
  EXPECT_EQ(q.codes.PetsciiToText(Bytes({0x93, 0x5E})), "{clear}^");
  // {clr} gives $C1 in Alt; the letter a is what reads back as $41.
  EXPECT_EQ(q.codes.PetsciiToText(Bytes({0x41})), "a");
  EXPECT_EQ(q.Warnings(), 0u);
}

TEST(PetsciiCodes, AlphaDirective) {
  struct Row {
    const char* name;
    bool ok;
    AlphaMode mode;
    const char* message;
  };
  const Row rows[] = {
      {"lazy", true, AlphaMode::Lazy, "Setting Alpha handling mode to Lazy"},
      {"POKEALT", true, AlphaMode::PokeAlt, "Setting Alpha handling mode to PokeAlt"},
      {"Invert", true, AlphaMode::Invert,
       "Warning: Setting Alpha mode to deprecated Invert mode. Consider using Alt or Lazy"},
      {"bogus", false, AlphaMode::Ascii, "Error: Error in Alpha directive"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Quoter q(AlphaMode::Ascii);
    test::QuietLoader directive;
    EXPECT_EQ(q.codes.SetAlphaMode(row.name, directive.log, SourcePos{}), row.ok);
    EXPECT_EQ(q.codes.Alpha(), row.mode);
    EXPECT_EQ(directive.Lines(), std::vector<std::string>{row.message});
  }
  Quoter q(AlphaMode::Alt);
  q.codes.SetAlpha(ReadAlphaMode("nonsense"));
  EXPECT_EQ(q.codes.Alpha(), AlphaMode::Alt);
}

// Modes are named in any letter case and shown by their own names.
TEST(AlphaMode, NamesAndReaders) {
  for (const char* name : {"Ascii", "Normal", "Lazy", "Alt", "Poke", "PokeAlt", "Upper", "Lower", "Invert", "Petcat"})
    EXPECT_EQ(ToString(ReadAlphaMode(UpperCopy(name))), name);
  EXPECT_EQ(ReadAlphaMode("none"), AlphaMode::Error);
  const std::pair<const char*, CharacterCase> cases[] = {
      {"L", CharacterCase::Lower}, {"lo", CharacterCase::Lower},   {"UP", CharacterCase::Upper},
      {"upper", CharacterCase::Upper}, {"Auto", CharacterCase::Auto}, {"lowercase", CharacterCase::Invalid}};
  for (const auto& [name, value] : cases) EXPECT_EQ(ReadCharacterCase(name), value) << name;
}

}  // namespace
}  // namespace vantrel
