// BASIC text to .prg through the real binary. Expected programs are worked
// out by hand from the C64 token values and PETSCII codes: each row lists the
// lines as {number, body}, and Prg() lays them out as the ROM does (link word
// to the next line, line number, body, 0; two 0 bytes end the program).
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "test_support.h"

namespace vantrel {
namespace {

// "99 20 22 'HI' 22": hex bytes, with 'text' for a run of ASCII characters.
std::string ParseBody(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size();) {
    if (text[i] == ' ') {
      ++i;
    } else if (text[i] == '\'') {
      size_t close = text.find('\'', i + 1);
      out += text.substr(i + 1, close - i - 1);
      i = close + 1;
    } else {
      out += static_cast<char>(std::stoi(text.substr(i, 2), nullptr, 16));
      i += 2;
    }
  }
  return out;
}

struct Line {
  uint16_t number;
  std::string body;
};

std::string Prg(uint16_t load, const std::vector<Line>& lines) {
  std::vector<test::BasicLineBytes> bytes;
  for (const Line& line : lines) bytes.push_back({line.number, ParseBody(line.body)});
  return test::BasicProgramFile(load, bytes);
}

struct Conversion {
  test::RunResult run;
  std::optional<std::string> prg;  // none when no file was written
};

Conversion Convert(const std::string& source, const std::vector<std::string>& options) {
  test::ScratchDir dir;
  test::WriteFile(dir.File("t.txt"), source);
  std::vector<std::string> args = {"t.txt", "-prg"};
  args.insert(args.end(), options.begin(), options.end());
  Conversion c{test::RunVantrel(dir.Path(), args), std::nullopt};
  if (test::FileExists(dir.File("t.prg"))) c.prg = test::ReadFile(dir.File("t.prg"));
  return c;
}

using test::HasLine;

struct ProgramRow {
  const char* source;
  std::vector<Line> lines;
  std::vector<std::string> options = {};
  uint16_t load = 0x0801;
};

TEST(Tokenizer, Programs) {
  // The layout helper agrees with the bytes the C64 stores for 10 PRINT "HI".
  ASSERT_EQ(Prg(0x0801, {{10, "99 20 22 'HI' 22"}}),
            std::string("\x01\x08\x0c\x08\x0a\x00\x99\x20\x22HI\x22\0\0\0", 15));
  const ProgramRow rows[] = {
      {"10 PRINT \"HI\"\n", {{10, "99 20 22 'HI' 22"}}},
      {"\xEF\xBB\xBF" "10 PRINT\n", {{10, "99"}}},  // a UTF-8 byte-order mark is not text
      // Colour and cursor codes, repeat counts, numeric codes and modifiers in strings.
      {"10 PRINT \"{clear}{white}A{down}{rvs on}B{rvrs off}{lt. blue}{left}{home}\"\n",
       {{10, "99 20 22 93 05 41 11 12 42 92 9a 9d 13 22"}}},
      {"10 PRINT \"{CLEAR}{Clr}{red:3}X{right:2}\"\n", {{10, "99 20 22 93 93 1c 1c 1c 58 1d 1d 22"}}},
      {"10 PRINT \"{$41}{147}{%101}{pi}{shift}A{lift}A\"\n", {{10, "99 20 22 41 93 05 ff c1 41 22"}}},
      {"{quoter:$5c=yen}\n10 PRINT \"{YEN}\"\n", {{10, "99 20 22 5c 22"}}},
      {"10 PRINT \"Hi\"\n{alpha:alt}\n20 PRINT \"Hi\"\n", {{10, "99 20 22 'HI' 22"}, {20, "99 20 22 c8 49 22"}}},
      // A TAB in a string is kept as its byte; an unclosed string runs to the line's end.
      {"10 PRINT \"A\tB\"\r\n20 PRINT \"HI\n", {{10, "99 20 22 'A' 09 'B' 22"}, {20, "99 20 22 'HI'"}}},
      // Braces outside quotes: a number below 256 is that byte; anything else is pi.
      {"10 {$41}=1:PRINT {256};{pi};{nosuch}\n", {{10, "41 b2 31 3a 99 20 ff 3b ff 3b ff"}}},
      // petcat listings: a header, right-aligned numbers, lower-case keywords, petcat's names.
      {";game.prg ==0801==\n   10 print\"{clr}{wht}hello{CBM-A}{SHIFT-*}{rvon}x{rvof}{CTRL-A}{gry3}\"\n"
       "  100 goto10\n10000 end\n",
       {{10, "99 22 93 05 'HELLO' b0 c0 12 58 92 01 9b 22"}, {100, "89 '10'"}, {10000, "80"}}},
      {";game.prg ==1001==\n   10 print\n", {{10, "99"}}, {}, 0x1001},
      {";game.prg ==c000==\n{loadaddr:$2000}\n10 print\n", {{10, "99"}}, {}, 0x2000},
      {"; ==0801==\nprint\n", {{0, "99"}}},  // the header is no line 0
      // What petcat's listings mean, with the header, -alpha:petcat or
      // {alpha:petcat}: lower case unshifted and upper case shifted (strings,
      // REM and DATA alike), "~" pi, ";" lines comments, blanks at the end
      // kept, "'" a character, {3 down} a repeat, codes in a REM's quotes.
      {";l.prg ==0801==\n10 print\"Hello\"\n", {{10, "99 22 c8 'ELLO' 22"}}},
      {";l.prg ==0801==\n10 a=~:print\"~{$7e}\"\n", {{10, "41 b2 ff 3a 99 22 ff 7e 22"}}},
      {";l.prg ==0801==\n10 rem \"{clr}{2 rght}\" Ok\n", {{10, "8f 20 22 93 1d 1d 22 20 cf 4b"}}},
      {";l.prg ==0801==\n10 goto 10 \n20 print\"a  \n", {{10, "89 20 '10' 20"}, {20, "99 22 41 '  '"}}},
      {";l.prg ==0801==\n; a comment\n10 print'\n", {{10, "99 27"}}},
      {";cards.prg ==0801==\n   10 print\"{clr}{wht}Hi{blk}{CBM-A}{cbm-a}{SHIFT-A}{shift-*}{CTRL-A}{ctrl-z}"
       "{rvon}{rvof}{rght}{gry1}{lblu}{$a0}\";\n   20 data Ace, \"Two {down}\"\n   30 rem Cards ~\n",
       {{10, "99 22 93 05 c8 49 90 b0 b0 c1 c0 01 1a 12 92 1d 97 9a a0 22 3b"},
        {20, "83 20 c1 43 45 2c 20 22 d4 57 4f 20 11 22"},
        {30, "8f 20 c3 41 52 44 53 20 ff"}}},
      {"10 print\"Hi\"\n", {{10, "99 22 c8 49 22"}}, {"-alpha:petcat"}},
      {"10 print\"Hi\"\n{alpha:petcat}\n20 print\"Hi\";~\n; note\n", {{10, "99 22 'HI' 22"}, {20, "99 22 c8 49 22 3b ff"}}},
      {";l.prg ==0801==\n10 print\"Hi\";~\n", {{10, "99 22 'HI' 22 3b 7e"}}, {"-alpha:lazy"}},  // the option wins
      {"10 print\"{3 down}{2 sh space}{12abc}\"\n", {{10, "99 22 11 11 11 a0 a0 0c 22"}}},
      // With -alpha:alt a REM holds its letters as a string does.
      {"10 REM iec IEC\n20 PRINT\"iec IEC\"\n", {{10, "8f 20 'IEC' 20 c9 c5 c3"}, {20, "99 22 'IEC' 20 c9 c5 c3 22"}},
       {"-alpha:alt"}},
      // Lines may end in CR alone (a PETSCII SEQ export, an old Mac text).
      {"10 PRINT\"A\"\r20 PRINT\"B\"\r", {{10, "99 22 41 22"}, {20, "99 22 42 22"}}},
      // A "?" stays the character it is (and is warned about).
      {"10 ?\"A\"\n", {{10, "3f 22 41 22"}}},
      // Outside quotes petcat's names are their bytes; Vantrel's stay pi.
      {"10 a={wht}:print {pi};{SHIFT-A};{red};{clr}\n", {{10, "41 b2 05 3a 99 20 ff 3b c1 3b ff 3b ff"}}},
      // DATA is stored as typed, blanks included (a trailing blank is part of
      // an unquoted item's value); letters follow the alpha mode, as in REM.
      {"10 DATA 1, 2 ,3\n", {{10, "83 20 31 2c 20 32 20 2c 33"}}},
      {"10 DATA HELLO WORLD , x y,,4:PRINT\n", {{10, "83 20 'HELLO WORLD ' 2c 20 'X Y' 2c 2c 34 3a 99"}}},
      {"10 DATA \"A:B\", \"C, D\":PRINT\n", {{10, "83 20 22 'A:B' 22 2c 20 22 'C, D' 22 3a 99"}}},
      {"10 DATA PRINT,GOTO:PRINT\n", {{10, "83 20 'PRINT' 2c 'GOTO' 3a 99"}}},
      {"10 DATA \\_{$c1}~\n", {{10, "83 20 5c 5f c1 7e"}}},
      // REM text is raised like the strings (alpha mode Lazy by default); -rem
      // drops it with the colon before it.
      {"10 A=1:REM comment\n", {{10, "41 b2 31 3a 8f ' COMMENT'"}}},
      {"10 A=1:REM comment\n", {{10, "41 b2 31"}}, {"-rem"}},
      {"10 REM X\n20 GOTO 10\n", {{20, "89 20 '20'"}}, {"-rem"}},
      {"{remremoval:on}\n10 A=1:REM X\n{remremoval:off}\n20 REM Y\n", {{10, "41 b2 31"}, {20, "8f ' Y'"}}},
      {"10 PRINT\"X\"'comment\n20 PRINT \"A'B\"'c\n' a whole comment line\n",
       {{10, "99 22 58 22"}, {20, "99 20 22 'A' 27 'B' 22"}}},
      // Keywords, also inside names and in lower case, as the C64 reads them.
      {"10 GO TO 10\n", {{10, "cb 20 a4 20 '10'"}}},
      {"10 FORI=1TO9STEP2:NEXTI:TOTAL=1\n", {{10, "81 49 b2 31 a4 39 a9 32 3a 82 49 3a a4 'TAL' b2 31"}}},
      {"10 PRINT#1,A$:INPUT#1,B:PRINT?\n", {{10, "98 31 2c 41 24 3a 84 31 2c 42 3a 99 3f"}}},
      {"10 for i=1 to 3:print i;\"hi\":next\n20 if a then 10\n",
       {{10, "81 20 49 b2 31 20 a4 20 33 3a 99 20 49 3b 22 'HI' 22 3a 82"}, {20, "8b 20 41 20 a7 20 '10'"}}},
      {"{shortkeywords:on}\n10 Po53280,0:?\"A\"\n", {{10, "97 '53280' 2c 30 3a 99 22 41 22"}}},
      {"{tokenizer:$CC=\"FOO\"}\n10 FOO:PRINT\n", {{10, "cc 3a 99"}}},
      // A new name for a code: the old one is letters again; a keyword's name
      // taken, then dropped, tokenizes as nothing but INT.
      {"{tokenizer:$CC=FOO}\n{tokenizer:$CC=BAR}\n10 FOO:BAR\n", {{10, "'FOO' 3a cc"}}},
      {"{tokenizer:$CC=PRINT}\n10 PRINT\n", {{10, "cc"}}},
      {"{tokenizer:$CC=PRINT}\n{tokenizer:$CC=}\n10 PRINT\n", {{10, "'PR' b5"}}},
      {"{var:score=SC}\n10 {var:score}={var:SCORE}+1\n", {{10, "'SC' b2 'SC' aa 31"}}},
      // Crunching drops blanks and a trailing colon; without it both stay.
      {"10 FOR I = 1 TO 9 : PRINT \"A B\" : NEXT I :\n", {{10, "81 49 b2 31 a4 39 3a 99 22 'A B' 22 3a 82 49"}},
       {"-crunch"}},
      {"10 FOR I = 1 TO 9 : PRINT \"A B\" : NEXT I :\n",
       {{10, "81 20 49 20 b2 20 31 20 a4 20 39 20 3a 20 99 20 22 'A B' 22 20 3a 20 82 20 49 20 3a"}}},
      {"10 A = 1\n{crunch:on}\n20 B = 2\n", {{10, "41 20 b2 20 31"}, {20, "42 b2 32"}}},
      {"{crunch:on} 10 A = 1\n", {{10, "41 b2 31"}}},
      // Jump targets follow renumbering; RUN and LIST arguments do not.
      {"{renumber}\n{number:100}\n{step:10}\n5 ON X GOSUB 6,7:GOTO 5\n6 RETURN\n7 IF A THEN 6\n"
       "8 RUN 5:LIST 6:GO TO 7\n",
       {{100, "91 20 58 20 8d 20 '110' 2c '120' 3a 89 20 '100'"}, {110, "8e"}, {120, "8b 20 41 20 a7 20 '110'"},
        {130, "8a 20 '5' 3a 9b 20 '6' 3a cb 20 a4 20 '120'"}}},
      // Labelled sources.
      {"{number:100}\n{step:10}\n{:start}\nPRINT \"A\"\nGOTO {:start}\n",
       {{100, "99 20 22 41 22"}, {110, "89 20 '100'"}}},
      {"{number:10}\nPRINT\n{nice:100}\n{:menu}\nPRINT \"M\"\n{nice:10}\nGOSUB {:Menu}\n",
       {{10, "99"}, {100, "99 20 22 4d 22"}, {110, "8d 20 '100'"}}},
      {"{number:300}\n{nice:100}\n{:a}\nPRINT\n", {{300, "99"}}},
      {"{assign:menu=9000}\n10 GOTO {:menu}\n", {{10, "89 20 '9000'"}}},
      // Names whose 32-bit hashes are equal are still told apart.
      {"{:l122789}\nPRINT \"A\"\n{:l339192}\nGOTO {:l339192}\n", {{0, "99 20 22 41 22"}, {1, "89 20 '1'"}}},
      {"{assign:m794391=100}\n10 GOTO 52883\n52883 END\n", {{10, "89 20 '52883'"}, {52883, "80"}}},
      {"{:start}\nPRINT\nRUN {:start}\n", {{0, "99"}, {1, "8a 20 '0'"}}},
      {"{:top} PRINT\nGOTO {:top}\n", {{0, "99"}, {1, "89 20 '0'"}}},
      {"{:120}\nPRINT\nGOTO {:120}\n", {{120, "99"}, {121, "89 20 '120'"}}},
      {"{:a}\nON X GOSUB {:a},{:B}\n{:b} RETURN\n", {{0, "91 20 58 20 8d 20 '0' 2c '1'"}, {1, "8e"}}},
      // Load address, and a program that ends exactly on the last byte of memory.
      {"{loadaddr:$c000}\n{loadaddr:49152}\n10 PRINT\n", {{10, "99"}}, {}, 0xC000},
      {"{loadaddr:$fff0}\n10 A=1234567\n", {{10, "41 b2 '1234567'"}}, {}, 0xFFF0},
      // Missing numbers continue by one; out-of-order lines are kept in source order.
      {"10 PRINT\nPRINT \"X\"\n20 END\n", {{10, "99"}, {11, "99 20 22 58 22"}, {20, "80"}}},
      {"PRINT\nEND\n", {{0, "99"}, {1, "80"}}},
      {"{renumber}\n20 PRINT \"B\"\n10 PRINT \"A\"\n", {{0, "99 20 22 42 22"}, {1, "99 20 22 41 22"}}},
      // Numbered lines keep their numbers even out of order or repeated, as
      // loaded programs must to come back unchanged.
      {"20 PRINT\n10 END\n10 STOP\n", {{20, "99"}, {10, "80"}, {10, "90"}}},
      // A jump to a missing line keeps its digits; numbers from 64000 on still store.
      {"10 GOTO 100\n", {{10, "89 20 '100'"}}},
      {"10 GOTO 0010\n", {{10, "89 20 '0010'"}}},  // the target's number, as written
      // "0010" is line 10; blanks before a comment go with it.
      {"0010 PRINT X  'note\n20 GOTO 10\n", {{10, "99 20 58"}, {20, "89 20 '10'"}}},
      {"64000 PRINT\n", {{64000, "99"}}},
  };
  for (const ProgramRow& row : rows) {
    SCOPED_TRACE(row.source);
    Conversion c = Convert(row.source, row.options);
    ASSERT_TRUE(c.prg) << c.run.output;
    EXPECT_EQ(*c.prg, Prg(row.load, row.lines));
    EXPECT_EQ(c.run.status, 0) << c.run.output;
  }
}

struct MessageRow {
  std::string source;
  std::vector<std::string> options;
  std::vector<std::string> lines;  // console lines, all expected
};

TEST(Tokenizer, Messages) {
  const MessageRow rows[] = {
      {"10 PRINT {red\n", {}, {"Error: [t.txt (1)] Syntax error: {red"}},
      {"10 PRINT \"{nosuch}\"\n", {}, {"Error: [t.txt (1)] Unknown or badly formed token in string: \"{nosuch}\""}},
      {"20 PRINT\n10 PRINT\n", {}, {"Warning: [t.txt (2)] Found out of order line 10"}},
      {"10 PRINT\n10 END\n", {}, {"Warning: [t.txt (2)] Line number re-use: 10"}},
      {"{:a}\nPRINT\n{:A}\nPRINT\n", {}, {"Warning: [t.txt (3)] Label has already been declared: {:a}"}},
      {"{loadaddr:$fff0}\n10 PRINT \"ABCDEFGHIJKLMNOP\"\n", {},
       {"Error: [t.txt (2)] Ran off end of memory!", "Error: [t.txt (2)] Error writing to address $fff0"}},
      // The line's 0 lands on $ffff: no room for the next link.
      {"{loadaddr:$fff0}\n10 A=123456789\n", {},
       {"Error: [t.txt (2)] Ran off end of memory!", "Error: [t.txt (2)] Error writing to address $fff0"}},
      // The line fits but the end marker after it does not.
      {"{loadaddr:$fff0}\n10 A=12345678\n", {},
       {"Error: Ran off end of memory!", "Error: Error writing to address $ffff"}},
      {"{loadaddr:$c000}\n", {}, {"Error: No program to save"}},
      {"10 REM ONLY\n", {"-rem"}, {"Error: No program to save"}},
      {"{number:100}\n{:a}\nPRINT\n{number:50}\nPRINT\n", {},
       {"Error: [t.txt (4)] Can't honor NUMBER directive for line 50"}},
      {"{step:0}\n{:a}\nPRINT\n", {}, {"Error: [t.txt (1)] Can't honor STEP directive for line 0"}},
      {"{nice:0}\n{:a}\nPRINT\n{nice:-5}\n", {},
       {"Error: [t.txt (1)] Can't honor NICE directive for line 0",
        "Error: [t.txt (4)] Can't honor NICE directive for line -5"}},
      {"{assign:a=10}\n{assign:A=20}\n10 PRINT\n", {}, {"Error: [t.txt (2)] Label was already assigned: {:a}"}},
      {"{assign:a=x}\n10 PRINT\n", {}, {"Error: [t.txt (1)] Line number assignment is non-numeric: a=x"}},
      {"10 GOTO 100\n", {}, {"Warning: [t.txt (1)] Can't locate target line: 100"}},
      // The lines after 10 become 11 and 12, so the target is found.
      {"10 GOTO 12\nPRINT \"A\"\nPRINT \"B\"\n", {}, {"0 Errors; 0 Warnings"}},
      {"10 GOTO {:nowhere}\n", {}, {"Error: [t.txt (1)] Can't locate target line: {:nowhere}"}},
      {"{:a}\nRUN {:nowhere}\n", {}, {"Error: [t.txt (2)] Can't locate target line: {:nowhere}"}},
      {"{:a}\nGOTO {:end}\n{:end}\n", {}, {"Error: [t.txt (2)] Can't locate target line: {:end}"}},
      {"64000 PRINT\n", {}, {"Warning: [t.txt (1)] Invalid line number: 64000"}},
      {"10 PRINT {0}\n20 PRINT \"A{null}\"\n{alpha:poke}\n30 PRINT \"{$80}\"\n", {},
       {"Warning: [t.txt (1)] Zero byte inside line 10", "Warning: [t.txt (2)] Zero byte inside line 20",
        "Warning: [t.txt (4)] Zero byte inside line 30"}},
      {"65536 PRINT\n", {}, {"Error: [t.txt (1)] Invalid line number: 65536"}},
      {"65535 PRINT\nPRINT\n", {},
       {"Warning: [t.txt (1)] Invalid line number: 65535", "Error: [t.txt (2)] Invalid line number: 65536"}},
      // The line after the largest number must not count past it.
      {"99999999999 PRINT\n20 PRINT\n", {}, {"Error: [t.txt (1)] Invalid line number: 99999999999"}},
      {"{:-5}\nPRINT\n", {},
       {"Error: [t.txt (2)] Invalid line number: -5",
        "Error: [t.txt (2)] Missing line number. Please add one or request a {renumber}."}},
      {"{number:63999}\n{:a}\nPRINT\nPRINT\n", {}, {"Warning: [t.txt (4)] Invalid line number: 64000"}},
      {"{number:64000}\n{:big}\nPRINT\n", {"-labels"}, {"{assign:big=<invalid line number>}", "1 label assignments"}},
      {"{:start}\nPRINT\n{:loop}\nGOTO {:loop}\n{:end}\n", {"-labels"},
       {"----------line label assignments-----------------\n{assign:start=0}\n{assign:loop=1}\n"
        "{assign:end=<line number not found>}\n-------------------------------------------------\n"
        "3 label assignments\n"}},
      {"{loadaddr:$10000}\n10 PRINT\n", {}, {"Error: [t.txt (1)] Invalid start address"}},
      {";x.prg ==ffff==\n10 PRINT\n", {}, {"Error: [t.txt (1)] Invalid start address"}},
      {";a.prg ==0801==\n10 PRINT\n;b.prg ==c000==\n", {}, {"Error: [t.txt (3)] Starting address is already set"}},
      {"{loadaddr:$FFFF}\n10 PRINT\n", {}, {"Error: [t.txt (1)] Invalid start address"}},
      {"{loadaddr:c000}\n10 PRINT\n", {}, {"Error: [t.txt (1)] Invalid start address"}},
      {"{loadaddr:$c000}\n{loadaddr:$c001}\n10 PRINT\n", {},
       {"Error: [t.txt (2)] Starting address is already set"}},
      {"{tokenizer:$CC=\"FOO\"}\n{quoter:$5c=yen}\n10 PRINT\n", {"-verbose"},
       {"[t.txt (1)] Modifying BASIC tokenizer", "[t.txt (1)] Adding token $cc = FOO",
        "[t.txt (2)] Modifying Quoter tokenizer"}},
      {"{tokenizer:$1CC=X}\n{quoter:yen}\n10 PRINT\n", {},
       {"Error: [t.txt (1)] Invalid value in: $1CC=X", "Error: [t.txt (1)] error in tokenizer directive",
        "Error: [t.txt (2)] Badly formatted assigment: yen", "Error: [t.txt (2)] error in quoter directive"}},
      {"{crunch:on}\n{autospace:off}\n{remremoval:yes}\n{crsrcodes:n}\n{crsrcount:t}\n{shortkeywords:0}\n10 PRINT\n",
       {"-verbose"},
       {"[t.txt (1)] Crunch mode turned on", "[t.txt (2)] AutoSpace mode turned off",
        "[t.txt (3)] REM Removal mode turned on", "[t.txt (4)] CrsrCodes mode turned off",
        "[t.txt (5)] CrsrCount mode turned on", "[t.txt (6)] Keyword shortcuts mode turned off"}},
      {"{CRUNCH:maybe}\n10 PRINT\n", {}, {"Error: [t.txt (1)] Crunch mode directive error"}},
      {"{remremoval}\n10 PRINT\n", {}, {"Error: [t.txt (1)] REM Removal mode directive error"}},
      {"{alpha:alt}\n{alpha:nosuch}\n{varcase:lo}\n{keywordcase:zz}\n10 PRINT\n", {"-verbose"},
       {"[t.txt (1)] Setting Alpha handling mode to Alt", "Error: [t.txt (2)] Error in Alpha directive",
        "[t.txt (3)] Variable case mode Lower", "[t.txt (4)] Keyword case invalid value: zz"}},
      {"{var:sc=SC}\n", {}, {"Error: [t.txt (1)] Supervariable name sc must be longer than 2 characters"}},
      {"{var:1st=A}\n", {}, {"Error: [t.txt (1)] Supervariable 1st must start with a letter"}},
      {"{var:first=1A}\n", {}, {"Error: [t.txt (1)] BASIC variable 1A must start with a letter"}},
      {"{var:score=SC}\n{var:points=SC}\n", {}, {"Error: [t.txt (2)] BASIC variable already defined: SC"}},
      {"{var:score=SC}\n{var:SCORE=SD}\n", {}, {"Error: [t.txt (2)] Supervariable already defined: SCORE"}},
      {"10 PRINT {var:nothing}\n", {}, {"Error: [t.txt (1)] SuperVariable is not defined: nothing"}},
      {"10 SYS {sym:start}\n", {}, {"Error: [t.txt (1)] Could not resolve symbol start"}},
      {"10 SYS {sym:start}\n{asm}\nstart: lda #300\n{endasm}\n", {},
       {"Error: [t.txt (3)] Immediate value too big: 300 -- (300 > 255): start: lda #300"}},
      // Text a C64 line cannot hold as written keeps its meaning, with a word.
      {std::string("10 PRINT\n30 PRINT 1\0:PRINT 2\n", 29), {},
       {"Warning: [t.txt (2)] Zero byte outside quotes ends the line; the text after it is dropped"}},
      {"10 PRINT \"A\tB\"\n", {},
       {"Warning: [t.txt (1)] TAB in a string, REM or DATA is stored as byte $09; write {$09} to keep it without "
        "this warning"}},
      {"10 REM A\rB\n", {},
       {"Warning: [t.txt (1)] Carriage return in a string, REM or DATA dropped; write {$0d} to keep the byte"}},
      {"10 PRINT\n20 ?\"A\":IF X THEN ?\n", {},
       {"Warning: [t.txt (2)] \"?\" at the start of a statement stays a character, which the C64 reads as a "
        "syntax error: write PRINT, or use {shortkeywords:on}"}},
      // Text that petcat would read otherwise, once per run.
      {"10 print\"Hello\"\n", {},
       {"Warning: [t.txt (1)] As a petcat listing this text would read differently (upper-case letters are "
        "shifted there): if it is one, use -alpha:petcat"}},
      {"10 PRINT\n; note\n", {},
       {"Warning: [t.txt (2)] As a petcat listing this text would read differently (a line starting with ; is a "
        "comment there): if it is one, use -alpha:petcat"}},
      {"10 A=~\n", {},
       {"Warning: [t.txt (1)] As a petcat listing this text would read differently (~ is pi there): if it is one, "
        "use -alpha:petcat"}},
  };
  for (const MessageRow& row : rows) {
    SCOPED_TRACE(row.source);
    Conversion c = Convert(row.source, row.options);
    bool error = false;
    for (const std::string& line : row.lines) {
      EXPECT_TRUE(HasLine(c.run.output, line)) << line << "\n" << c.run.output;
      error = error || line.starts_with("Error: ");
    }
    EXPECT_EQ(c.run.status, error ? 1 : 0) << c.run.output;
    EXPECT_EQ(c.prg.has_value(), !error);
  }
}

// A BASIC program file up to its end marker: the load address, lines of a
// link word, a line number and bytes up to a 0, then a 0 link word.
std::string ProgramPart(const std::string& prg) {
  size_t p = 2;
  while (p + 1 < prg.size() && (prg[p] != 0 || prg[p + 1] != 0)) p = prg.find('\0', p + 4) + 1;
  return prg.substr(0, p + 2);
}

// petcat's listings of the corpus programs (tests/data/corpus/README.md)
// tokenize to the programs they were made from, with no option given.
TEST(Tokenizer, PetcatListingsOfTheCorpus) {
  size_t listings = 0;
  for (const auto& entry : std::filesystem::directory_iterator(test::CorpusPath("card-games/petcat"))) {
    const std::string name = entry.path().stem().string();  // <folder>--<program>
    SCOPED_TRACE(name);
    const size_t dash = name.find("--");
    ASSERT_NE(dash, std::string::npos);
    const std::string prg = test::ReadFile(
        test::CorpusPath("card-games/prg/" + name.substr(0, dash) + "/" + name.substr(dash + 2) + ".prg"));
    Conversion c = Convert(test::ReadFile(entry.path().string()), {});
    ASSERT_TRUE(c.prg) << c.run.output;
    EXPECT_EQ(*c.prg, ProgramPart(prg));
    EXPECT_EQ(c.run.output.find("petcat"), std::string::npos) << c.run.output;
    ++listings;
  }
  EXPECT_EQ(listings, 16u);
}

// Rebuilding a loaded program keeps the code behind it unless the new
// BASIC text grows into it.
TEST(Tokenizer, LoadedCodeBehindBasic) {
  test::ScratchDir dir;
  // 10 PRINTA, then LDA #1 / RTS right after the end marker at $0808.
  const std::string prg = Prg(0x0801, {{10, "99 41"}}) + "\xa9\x01\x60";
  test::WriteFile(dir.File("p.prg"), prg);
  auto kept = test::RunVantrel(dir.Path(), {"p.prg", "-prg:kept.prg"});
  EXPECT_EQ(test::ReadFile(dir.File("kept.prg")), prg) << kept.output;
  auto spaced = test::RunVantrel(dir.Path(), {"p.prg", "-prg:spaced.prg", "-autospace"});
  EXPECT_TRUE(HasLine(spaced.output, "Warning: Removed conflicting loaded non-BASIC code at $080a 080c"))
      << spaced.output;
  EXPECT_EQ(test::ReadFile(dir.File("spaced.prg")), Prg(0x0801, {{10, "99 20 41"}}));
  EXPECT_EQ(spaced.status, 0);
  // Line 10 links into line 20's number 0, so the program seems to end at
  // $080a and what follows is kept as code; the lines read one after
  // another fill $0801-$080e. A run for text only says so too.
  test::WriteFile(dir.File("q.prg"), std::string("\x01\x08\x09\x08\x0a\x00\x99\x00\x0d\x08\x00\x00\x99\x00\x00\x00\xa9\x01\x60", 19));
  auto text = test::RunVantrel(dir.Path(), {"q.prg", "-txt:q.txt"});
  EXPECT_TRUE(HasLine(text.output, "Warning: Removed conflicting loaded non-BASIC code at $080b 0811")) << text.output;
}

// The bundled examples give the programs worked out by hand from the token
// and PETSCII values (hello's in tests/e2e/hello.prg).
TEST(Tokenizer, Examples) {
  const std::string data = VANTREL_TEST_DATA;
  Conversion hello = Convert(test::ReadFile(data + "/../../examples/hello.txt"), {});
  Conversion guess = Convert(test::ReadFile(data + "/../../examples/guess.txt"), {});
  EXPECT_EQ(hello.run.status + guess.run.status, 0) << hello.run.output << guess.run.output;
  EXPECT_EQ(hello.prg, test::ReadFile(data + "/hello.prg"));
  // Labels become line numbers 10, 20, ...; {:ask} names the line after it.
  EXPECT_EQ(guess.prg,
            Prg(0x0801, {{10, "99 20 22 93 9e 'GUESS MY NUMBER (1-100)' 22"},
                         {20, "'N' b2 b5 '(' bb '(1)' ac '100)' aa '1:T' b2 '0'"},
                         {30, "'T' b2 'T' aa '1:' 85 20 22 05 'YOUR GUESS' 22 ';G'"},
                         {40, "8b 20 'G' b3 'N' 20 a7 20 99 20 22 9f 'HIGHER' 22 ':' 89 20 '30'"},
                         {50, "8b 20 'G' b1 'N' 20 a7 20 99 20 22 9c 'LOWER' 22 ':' 89 20 '30'"},
                         {60, "99 20 22 1e 'RIGHT IN' 22 ';T;' 22 'TRIES!' 22"},
                         {70, "85 20 22 05 'AGAIN (Y/N)' 22 ';A$'"},
                         {80, "8b 20 'A$' b2 22 'Y' 22 20 a7 20 '10'"},
                         {90, "80"}}));
}

}  // namespace
}  // namespace vantrel
