// The assembler through the real binary: byte conformance with 64tass, the
// outputs of an assembler run, listings, symbol and relocation files,
// {asm} blocks inside BASIC with SYS {sym:start}, and source recovered from
// machine code.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <random>
#include <sstream>

#include "../asm/reference_6502.h"
#include "asm/opcodes.h"
#include "test_support.h"
#include "text/text_ops.h"

namespace vantrel {
namespace {

using test::ReadFile;
using test::RunVantrel;
using test::ScratchDir;
using test::WriteFile;

using test::HasLine;

// Assembles `body` with 64tass at `origin`; the program file it writes.
std::string With64tass(const ScratchDir& dir, const std::string& origin, const std::string& body) {
  WriteFile(dir.File("ref.s"), "* = " + origin + "\n" + body);
  const std::string cmd = "cd '" + dir.Path() + "' && 64tass -q -o ref.prg ref.s >/dev/null 2>&1";
  if (std::system(cmd.c_str()) != 0) return "64tass failed";
  return ReadFile(dir.File("ref.prg"));
}

// Writes `name` and runs the binary on it with `args`.
test::RunResult RunOn(const ScratchDir& dir, const std::string& name, const std::string& content,
                      const std::vector<std::string>& args) {
  WriteFile(dir.File(name), content);
  std::vector<std::string> all = {name};
  all.insert(all.end(), args.begin(), args.end());
  return RunVantrel(dir.Path(), all);
}

std::string WithVantrel(const ScratchDir& dir, const std::string& source, const std::vector<std::string>& extra = {}) {
  std::vector<std::string> args = {"-prg", "-ovr"};
  args.insert(args.end(), extra.begin(), extra.end());
  auto r = RunOn(dir, "t.asm", source, args);
  if (r.status != 0) return r.output;
  return ReadFile(dir.File("t.prg"));
}

// Every documented instruction in every mode; branches go forward or to
// themselves.
std::string AllInstructions() {
  std::string body;
  for (const test::Reference6502& r : test::kReference6502) {
    std::string ahead(1, 'f');
    ahead += std::to_string(r.opcode);
    body += "  " + std::string(r.mnemonic) + " " + test::ReferenceOperand(r, r.opcode & 0x20 ? "*" : ahead) + "\n";
    if (r.mode == "rel") body += ahead + ":\n";
  }
  return body + "  rts\n";
}

// Zero-page equates first, loops, tables, forward branches, byte selection
// and text: what real programs are made of.
const char* kRealistic = R"(screen = $0400
ptr = $fb
count = 40
start:  lda #<message
        sta ptr
        lda #>message
        sta ptr+1
        ldy #0
print:  lda (ptr),y
        beq done
        sta screen,y
        iny
        cpy #count
        bne print
done:   ldx #3
fill:   lda table,x
        sta $d020,x
        dex
        bpl fill
        jsr later
        jmp (vector)
later:  inc $d021
        rts
vector: .word start, later
table:  .byte 1, 2, $0e, <table, >table
message: .text "HELLO WORLD"
        .byte 0
)";

std::string ToVantrel(std::string text) {
  for (auto [from, to] : {std::pair{".word", "word"}, {".byte", "byte"}, {".text", "ascii"}}) {
    for (size_t at; (at = text.find(from)) != std::string::npos;) text.replace(at, std::string(from).size(), to);
  }
  return text;
}

// The same macros, called the same way, written for each assembler.
const char* kMacrosTass = R"(setb .macro val, dest
  lda #\val
  sta \dest
.endm
wait .macro count
  ldx #\count
_l dex
  bne _l
.endm
two .macro a, b
  #setb \a, \b
  #wait \a
.endm
start
  #setb 1, $d020
  #wait 5
  #two <start, $0400
  #setb >start+1, $fb
  #wait 7
  rts
)";
const char* kMacrosOurs = R"( orig $c000
{macro:setb(val, dest)}
  lda #val
  sta dest
{endmacro}
{macro:wait(count)}
  ldx #count
@l: dex
  bne <@l
{endmacro}
{macro:two(a, b)}
  setb a, b
  wait a
{endmacro}
start:
  setb 1, $d020
  wait 5
  two <start, $0400
  setb >(start+1), $fb
  wait 7
  rts
)";

std::string Example(const std::string& name) {
  return ReadFile(std::string(VANTREL_TEST_DATA) + "/../../examples/" + name);
}

// Every instruction, a realistic program, macros and the bundled demo,
// each written for both assemblers.
TEST(AssemblerCli, BytesMatch64tass) {
  if (!test::HaveTool("64tass")) GTEST_SKIP() << "64tass is not installed";
  const std::string all = AllInstructions(), demo = Example("demo.asm");
  std::string tass_demo = demo;
  tass_demo.replace(tass_demo.find("orig"), 4, "* =");
  for (auto [from, to] : {std::pair{" byte ", " .byte "}, {" ascii ", " .text "}}) {
    for (size_t at = 0; (at = tass_demo.find(from, at)) != std::string::npos; at += 3)
      tass_demo.replace(at, std::string_view(from).size(), to);
  }
  const struct {
    const char* name;
    std::string ours, origin, tass;
  } rows[] = {
      {"every instruction", " orig $c000\n" + all, "$c000", all},
      {"realistic", " orig $0900\n" + ToVantrel(kRealistic), "$0900", kRealistic},
      {"macros", kMacrosOurs, "$c000", kMacrosTass},
      {"demo example", demo, "$0801", tass_demo},
  };
  ScratchDir dir;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(WithVantrel(dir, row.ours), With64tass(dir, row.origin, row.tass));
  }
}

// A program 64tass assembled, back to source with -asm: 64tass assembles
// that source (its words for orig and byte put in) to the same bytes.
TEST(AssemblerCli, RecoveredSourceMatches64tass) {
  if (!test::HaveTool("64tass")) GTEST_SKIP() << "64tass is not installed";
  ScratchDir dir;
  const std::string program = With64tass(dir, "$0900", kRealistic);
  auto r = RunOn(dir, "r.prg", program, {"-notbasic", "-asm"});
  ASSERT_EQ(r.status, 0) << r.output;
  std::string source = ReadFile(dir.File("r.asm"));
  // jmp (vector): the vector sits behind rts at $092a, worked out by hand.
  EXPECT_TRUE(HasLine(source, "\tjmp ($092b)")) << source;
  source.erase(0, source.find('\n'));
  for (size_t at; (at = source.find("\tbyte")) != std::string::npos;) source.replace(at, 5, "\t.byte");
  EXPECT_EQ(With64tass(dir, "$0900", source), program);
}

// The machine code of the bundled mixed program behind its BASIC part, worked
// out by hand: 10 PRINT "{clear}MACHINE CODE SAYS:" (28 bytes from $0801),
// 20 SYS 2124 (12), 30 PRINT "AND BASIC GOES ON." (27), 40 END (6), the end
// marker (2): the code at $084c, 2124.
TEST(AssemblerCli, MixedExample) {
  if (!test::HaveTool("64tass")) GTEST_SKIP() << "64tass is not installed";
  ScratchDir dir;
  const std::string mixed = Example("mixed.txt");
  auto r = RunOn(dir, "mixed.txt", mixed, {"-prg"});
  ASSERT_EQ(r.status, 0) << r.output;
  const std::string basic = test::BasicProgramFile(0x0801, {{10, "\x99\x20\x22\x93MACHINE CODE SAYS:\x22"},
                                                            {20, "\x9e  2124"},
                                                            {30, "\x99\x20\x22" "AND BASIC GOES ON.\x22"},
                                                            {40, "\x80"}});
  const std::string block = mixed.substr(mixed.find("{asm}") + 6, mixed.find("{endasm}") - mixed.find("{asm}") - 6);
  EXPECT_EQ(ReadFile(dir.File("mixed.prg")), basic + With64tass(dir, "$084c", block).substr(2));
}

TEST(AssemblerCli, OutputsOnlyWithoutErrors) {
  ScratchDir dir;
  auto r = RunOn(dir, "demo.asm", " orig $c000\n lda #1\n rts\n", {"-prg", "-bin", "-hex", "-d64:disk.d64::\"DEMO\""});
  EXPECT_EQ(r.status, 0) << r.output;
  EXPECT_EQ(ReadFile(dir.File("demo.prg")), std::string("\x00\xc0\xa9\x01\x60", 5));
  EXPECT_EQ(ReadFile(dir.File("demo.bin")), "\xa9\x01\x60");
  EXPECT_EQ(ReadFile(dir.File("demo.hex")).substr(0, 15), "c000: a9 01 60 ");
  EXPECT_TRUE(test::FileExists(dir.File("disk.d64")));

  // Resolve-pass problems fail the run before any file is written.
  r = RunOn(dir, "bad.asm", " orig $c000\n lda nothere\n", {"-prg", "-dbg"});
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(HasLine(r.output, "Error: [bad.asm (2)] Unresolved operand: nothere: lda nothere")) << r.output;
  EXPECT_TRUE(HasLine(r.output, "===============AsmPrg output=====================")) << r.output;
  EXPECT_FALSE(test::FileExists(dir.File("bad.prg")));

  // A listing up to $FFFF ends; debugstall marks the chosen pass.
  r = RunOn(dir, "top.asm", " orig $fff0\n debugstall \"+\", \"link\"\n area 16, $ea\n",
          {"-dis:con", "-range:$fff8-$ffff"});
  EXPECT_EQ(r.status, 0) << r.output;
  EXPECT_TRUE(HasLine(r.output, "\tffff  ea      \t nop  \t;")) << r.output;
  // A program ending at $FFFF loads back.
  r = RunVantrel(dir.Path(), {"top.asm", "-prg"});
  r = RunVantrel(dir.Path(), {"top.prg", "-notbasic", "-hex:con"});
  EXPECT_EQ(r.status, 0) << r.output;
  EXPECT_NE(r.output.find("fff0: ea ea ea ea ea ea ea ea ea ea ea ea ea ea ea ea"), std::string::npos) << r.output;
  EXPECT_EQ(r.output.find("stall"), std::string::npos);
  WriteFile(dir.File("stall.asm"), " debugstall \"+\", \"assemble\"\n nop\n");
  EXPECT_TRUE(HasLine(RunVantrel(dir.Path(), {"stall.asm", "-prg"}).output, "stall"));
}

const char* kListed = R"( orig $c000
start:  ldx #$00
loop:   lda text,x
        beq done
        jsr $ffd2
        inx
        bne loop
done:   rts
text:   ascii "HI"
        byte 0
        hex a7 12
)";

TEST(AssemblerCli, Listings) {
  struct Row {
    std::string asmfmt;
    std::string listing;
  };
  const Row rows[] = {
      {"",
       "start:\n\tc000  a2 00   \t ldx #$00 \t;#$00\nloop:\n\tc002  bd 0e c0\t lda $c00e,x \t;text,x\n"
       "\tc005  f0 06   \t beq $c00d \t;done\n\tc007  20 d2 ff\t jsr $ffd2 \t;$ffd2\n\tc00a  e8      \t inx  \t;\n"
       "\tc00b  d0 f5   \t bne $c002 \t;loop\ndone:\n\tc00d  60      \t rts  \t;\ntext:\n"
       "\tc00e  48      \t pha  \t;\n\tc00f  49 00   \t eor #$00 \t;#$00\n\tc011  a7 12   \t ??? $12 \t;$12\n"},
      {" asmfmt \"-mon -labels -illegal\"\n",
       "\tc000  a2 00   \t ldx #$00\n\tc002  bd 0e c0\t lda $c00e,x\n\tc005  f0 06   \t beq $c00d\n"
       "\tc007  20 d2 ff\t jsr $ffd2\n\tc00a  e8      \t inx \n\tc00b  d0 f5   \t bne $c002\n\tc00d  60      \t rts \n"
       "\tc00e  48      \t pha \n\tc00f  49 00   \t eor #$00\n\tc011  a7 12   \t lax $12\n"},
      {" asmfmt \"-mon -addlabels -labels -'%a %c%t%l'\"\n",
       "start:\nc000 2\t\nloop:\nc002 4*\t\nc005 2 | 3\t\nc007 6\t\nc00a 2\t\nc00b 2 | 3\t\ndone:\nc00d 6\t\ntext:\n"
       "c00e 3\t\nc00f 2\t\nc011 3\t\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.asmfmt);
    ScratchDir dir;
    auto r = RunOn(dir, "l.asm", kListed + row.asmfmt, {"-dis"});
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(ReadFile(dir.File("l.dis")), row.listing);
  }
  ScratchDir dir;
  auto r = RunOn(dir, "l.asm", std::string(kListed) + " asmfmt \"-nosuch\"\n", {"-dis"});
  EXPECT_TRUE(HasLine(r.output, "Error: Invalid AsmFmt specified")) << r.output;
  EXPECT_FALSE(test::FileExists(dir.File("l.dis")));
}

// The source listing of the bundled demo, checked by hand: addresses
// from the byte counts, operands from the labels, branch offsets counted
// back from the next instruction.
TEST(AssemblerCli, SourceListing) {
  ScratchDir dir;
  auto r = RunOn(dir, "demo.asm", Example("demo.asm"), {"-lst"});
  ASSERT_EQ(r.status, 0) << r.output;
  const std::string listing = ReadFile(dir.File("demo.lst"));
  const char* expected = R"(      = $ffd2      chrout  = $ffd2
      = $d020      border  = $d020
      = $d021      paper   = $d021
0801                       orig $0801
                           ; 10 SYS 2061
0801  0b 08 0a 00          byte $0b, $08, $0a, $00, $9e
0805  9e
0806  32 30 36 31          ascii "2061"
080a  00 00 00             byte 0, 0, 0
080d  ad 27 08     start:  lda colours
0810  8d 20 d0             sta border
0813  ad 28 08             lda colours+1
0816  8d 21 d0             sta paper
0819  a2 00                ldx #0
081b  bd 29 08     next:   lda message,x
081e  f0 06                beq done
0820  20 d2 ff             jsr chrout
0823  e8                   inx
0824  d0 f5                bne next
0826  60           done:   rts
0827  06 00        colours: byte 6, 0              ; blue border, black paper
0829  93 05        message: byte 147, 5            ; clear the screen, white text
082b  48 45 4c 4c          ascii "HELLO FROM VANTREL"
082f  4f 20 46 52
0833  4f 4d 20 56
0837  41 4e 54 52
083b  45 4c
083d  0d 00                byte 13, 0
)";
  EXPECT_EQ(listing.substr(listing.find("      = $ffd2")), expected);

  // Included lines between marks, expansions under their call, long fills cut.
  WriteFile(dir.File("lib.asm"), "{macro:poke(v, at)}\n lda #v\n sta at\n{endmacro}\nlib: rts\n");
  r = RunOn(dir, "main.asm", " orig $c000\n{include:lib.asm}\ngo: poke 1, $d020\n area 40, $ea\n", {"-lst:con"});
  EXPECT_EQ(r.status, 0) << r.output;
  EXPECT_NE(r.output.find("c000                orig $c000\n;>>> lib.asm\nc000  60           lib: rts\n;<<< lib.asm\n"
                          "c001               go: poke 1, $d020\nc001  a9 01        + lda #1\nc003  8d 20 d0     + sta $d020\n"
                          "c006  ea ea ea ea   area 40, $ea\n"),
            std::string::npos)
      << r.output;
  EXPECT_NE(r.output.find("c022  ea ea ea ea\nc026  ...\n"), std::string::npos) << r.output;
}

// The listing's instructions, assembled again, give the same bytes.
TEST(AssemblerCli, ListingAssemblesBack) {
  ScratchDir dir;
  const std::string first = WithVantrel(dir, " orig $c000\n" + AllInstructions() + " asmfmt \"-mon -'%t%i %o'\"\n",
                                        {"-dis"});
  const std::string listing = ReadFile(dir.File("t.dis"));
  ASSERT_FALSE(listing.empty());
  EXPECT_EQ(WithVantrel(dir, " orig $c000\n" + listing), first);
}

TEST(AssemblerCli, SymbolFiles) {
  ScratchDir dir;
  auto r = RunOn(dir, "s.asm", " orig $c000\n!start: lda #count\ncount = 3\n@l: rts\n", {"-prg", "-sym"});
  EXPECT_EQ(ReadFile(dir.File("s.sym")), "start  = $c000\n");
  r = RunVantrel(dir.Path(), {"s.asm", "-prg", "-ovr", "-sym", "-symlvl:general"});
  EXPECT_EQ(ReadFile(dir.File("s.sym")), "count  =   $03\nstart  = $c000\n");
  r = RunVantrel(dir.Path(), {"s.asm", "-prg", "-ovr", "-sym:con", "-symlvl:@"});
  EXPECT_TRUE(HasLine(r.output, "-Symbol Table-\n@l@0   = $c002\ncount  =   $03\nstart  = $c000\n"
                            "--------------\n3 symbols"))
      << r.output;
  r = RunOn(dir, "n.asm", " rts\n", {"-prg", "-sym", "-verbose"});
  EXPECT_TRUE(HasLine(r.output, "No symbols to save")) << r.output;
  EXPECT_FALSE(test::FileExists(dir.File("n.sym")));

  // The -sym3 file is an assembly block a BASIC source can include.
  r = RunVantrel(dir.Path(), {"s.asm", "-prg", "-ovr", "-sym:lib.sym", "-sym3", "-symlvl:general"});
  EXPECT_EQ(ReadFile(dir.File("lib.sym")), "{asm}\ncount  =   $03\nstart  = $c000\n{endasm}\n");
  r = RunOn(dir, "main.txt", "{include:lib.sym}\n10 SYS {sym:start}:POKE {sym:count},0\n", {"-prg"});
  EXPECT_EQ(r.status, 0) << r.output;
  EXPECT_NE(ReadFile(dir.File("main.prg")).find("\x9e 49152:\x97     3,0"), std::string::npos);
  // Local labels too, kept as comments: they are found by search, not by name.
  r = RunVantrel(dir.Path(), {"s.asm", "-prg", "-ovr", "-sym:lib.sym", "-sym3", "-symlvl:local"});
  EXPECT_EQ(ReadFile(dir.File("lib.sym")), "{asm}\n; @l@0   = $c002\ncount  =   $03\nstart  = $c000\n{endasm}\n");
  r = RunVantrel(dir.Path(), {"main.txt", "-prg", "-ovr"});
  EXPECT_EQ(r.status, 0) << r.output;
}

// Every label, and equates that are addresses; locals under their label;
// a break line for each break; BASIC line starts in a BASIC program.
TEST(AssemblerCli, ViceLabels) {
  ScratchDir dir;
  auto r = RunOn(dir, "v.asm",
               " orig $c000\nscreen = $0400\ncount = 3\nstart: ldx #count\n break\n@loop: dex\n"
               " bne <@loop\nmy-sub: break\n rts\n@loop: nop\n",
               {"-prg", "-vice"});
  EXPECT_EQ(r.status, 0) << r.output;
  EXPECT_EQ(ReadFile(dir.File("v.vs")), "al C:0400 .screen\nal C:c000 .start\nal C:c002 .start_loop_0\n"
                                        "al C:c005 .my_sub\nal C:c006 .my_sub_loop_1\nbreak C:c002\nbreak C:c005\n");
  // 10 SYS 2072 fills $0801-$080c, 20 GOTO 10 $080d-$0815, the end link
  // $0816-$0817; the code follows at $0818.
  r = RunOn(dir, "b.txt", "10 SYS {sym:go}\n20 GOTO 10\n{asm}\ngo: lda #1\n break\n rts\n{endasm}\n",
          {"-prg", "-vice:mon.lbl"});
  EXPECT_EQ(ReadFile(dir.File("mon.lbl")), "al C:0801 .line_10\nal C:080d .line_20\nal C:0818 .go\nbreak C:081a\n");
  r = RunVantrel(dir.Path(), {"b.txt", "-prg", "-vice:mon.lbl"});
  EXPECT_TRUE(HasLine(r.output, "Error: File already exists: mon.lbl")) << r.output;
  r = RunOn(dir, "e.asm", " orig $c000\n break 1\n", {"-vice"});
  EXPECT_TRUE(HasLine(r.output, "Error: [e.asm (2)] break takes no argument: break 1")) << r.output;
}

// Applying the relocation table to the program assembled at $c000 gives
// the program assembled $2f3 bytes higher, whatever lines come before the
// origin and whatever constants the operands add to addresses.
TEST(AssemblerCli, RelocationTable) {
  const std::string body = ToVantrel(kRealistic) +
                           "tail:   jmp tail\n        lda #<tail\n        ldx #>tail\n"
                           "        lda #<tail+1\n        ldx #>tail+1\n        ldy #<(table+3)\n"
                           "        byte <table+2, >table-1, >(table+300)\n        word tail-2, tail-table\n"
                           "        lda table+1,x\n        sta tail-start+$0400\n"
                           "mid = tail+1\nlo = <table\n        lda mid\n        ldx #>mid\n        ldy #lo+1\n";
  ScratchDir dir;
  const std::string before = "border = $d020\n";
  const std::string low = WithVantrel(dir, before + " orig $c000\n" + body, {"-rft"});
  const std::string high = WithVantrel(dir, before + " orig $c2f3\n" + body);
  ASSERT_EQ(low.size(), high.size());
  std::string moved = low;
  moved[0] = static_cast<char>(0xF3);
  moved[1] = static_cast<char>(0xC2);
  std::istringstream table(ReadFile(dir.File("t.rft")));
  std::string value, location, kind;
  int entries = 0;
  while (table >> value >> location >> kind) {
    const unsigned target = std::stoul(value.substr(1), nullptr, 16) + 0xC2F3;
    const size_t at = std::stoul(location.substr(1), nullptr, 16) + 2;
    ++entries;
    if (kind == "[w]") {
      moved[at] = static_cast<char>(target & 0xFF);
      moved[at + 1] = static_cast<char>(target >> 8);
    } else {
      moved[at] = static_cast<char>(kind == "[l]" ? target & 0xFF : target >> 8);
    }
  }
  EXPECT_GT(entries, 16);
  EXPECT_EQ(moved, high);

  // A value no entry can move is named.
  auto r = RunOn(dir, "w.asm", " orig $c000\nt: lda t/2\n", {"-rft"});
  EXPECT_TRUE(HasLine(r.output, "Warning: [w.asm (2)] Operand cannot be relocated: t/2: t: lda t/2")) << r.output;
}

TEST(AssemblerCli, InlineBlocksBehindBasic) {
  ScratchDir dir;
  WriteFile(dir.File("mixed.txt"),
            "10 SYS {sym:start}\n{asm}\nstart: lda #1\n sta $d020\n rts\n{endasm}\n20 END\n");
  auto r = RunVantrel(dir.Path(), {"mixed.txt", "-prg", "-lst"});
  ASSERT_EQ(r.status, 0) << r.output;
  // 10 SYS 2069: link $080d, number 10, SYS, a blank, " 2069" (five
  // characters); 20 END; the end marker at $0813; the code right behind it.
  const std::string expected = std::string("\x01\x08\x0d\x08\x0a\x00\x9e\x20\x20" "2069\x00", 14) +
                               std::string("\x13\x08\x14\x00\x80\x00\x00\x00", 8) + "\xa9\x01\x8d\x20\xd0\x60";
  EXPECT_EQ(ReadFile(dir.File("mixed.prg")), expected);
  EXPECT_EQ(ReadFile(dir.File("mixed.lst")),
            "start:\n\t0815  a9 01   \t lda #$01 \t;#$01\n\t0817  8d 20 d0\t sta $d020 \t;$d020\n"
            "\t081a  60      \t rts  \t;\n");
}

// -asm: machine code to source and, assembled again, back to the same
// bytes, for the corpus's machine-code files, generated code mixed with
// data, and hand-checked programs.

// The source -asm writes for program file `prg`, and the program that
// source assembles to.
struct RoundTrip {
  std::string source;
  std::string program;
};

RoundTrip Recover(const ScratchDir& dir, const std::string& prg, const std::vector<std::string>& load = {"-notbasic"}) {
  std::vector<std::string> args = {"-asm:out.asm", "-ovr"};
  args.insert(args.end(), load.begin(), load.end());
  auto r = RunOn(dir, "in.prg", prg, args);
  if (r.status != 0) return {r.output, ""};
  r = RunVantrel(dir.Path(), {"out.asm", "-prg:back.prg", "-ovr"});
  return {ReadFile(dir.File("out.asm")), r.status == 0 ? ReadFile(dir.File("back.prg")) : r.output};
}

size_t Count(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

// Every file of the corpus that is not BASIC (code, tables, character sets
// and a picture), back to source and, with -notbasic, straight back.
TEST(SourceRecovery, CorpusMachineCode) {
  ScratchDir dir;
  size_t files = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(test::CorpusPath("card-games/prg"))) {
    const std::string name = entry.path().filename().string();
    if (!name.starts_with("card-") && !name.starts_with("pic-") && !name.starts_with("prg-")) continue;
    SCOPED_TRACE(entry.path().string());
    const std::string prg = ReadFile(entry.path().string());
    const RoundTrip back = Recover(dir, prg, {"-notbasic", "-prg:re.prg"});
    EXPECT_EQ(back.program, prg);
    EXPECT_EQ(ReadFile(dir.File("re.prg")), prg);  // rebuilt as it was loaded
    // The routines read as a program: jumps land on labels.
    if (name.starts_with("card-routines")) {
      EXPECT_GT(Count(back.source, ":\n"), 20u);
    }
    ++files;
  }
  EXPECT_EQ(files, 25u);
}

// Random instructions of every opcode, branches and jumps into the code,
// tables and zero runs; a fixed seed keeps each run the same.
std::string GeneratedProgram(uint32_t seed, uint16_t load) {
  std::mt19937 rng(seed);
  std::string bytes = {static_cast<char>(load & 0xFF), static_cast<char>(load >> 8)};
  auto put = [&bytes](uint32_t b) { bytes += static_cast<char>(b & 0xFF); };
  while (bytes.size() < 1500) {
    const uint32_t kind = rng() % 3;
    const uint32_t count = 1 + rng() % 24;
    for (uint32_t i = 0; i < count; ++i) {
      if (kind == 1) put(rng());  // a table
      if (kind == 2) put(0);      // fill
      if (kind != 0) continue;
      const uint32_t opcode = rng() % 8 == 0 ? 0x20 : rng() % 256;
      put(opcode);
      const uint32_t length = InstructionLength(Opcodes()[static_cast<uint8_t>(opcode)].mode);
      const uint32_t into_code = load + rng() % (bytes.size() - 1);
      if (length == 3 && opcode == 0x20) put(into_code), put(into_code >> 8);
      else for (uint32_t k = 1; k < length; ++k) put(rng());
    }
    if (kind == 0) put(rng() % 2 ? 0x60 : 0x4c), put(rng()), put(load >> 8);
  }
  return bytes;
}

TEST(SourceRecovery, GeneratedCodeWithData) {
  ScratchDir dir;
  size_t instructions = 0, labels = 0;
  const uint16_t loads[] = {0x0801, 0x1000, 0xc000, 0xf000};
  for (uint32_t seed = 1; seed <= 12; ++seed) {
    SCOPED_TRACE(seed);
    const std::string prg = GeneratedProgram(seed, loads[seed % 4]);
    const RoundTrip back = Recover(dir, prg);
    EXPECT_EQ(back.program, prg);
    instructions += Count(back.source, "\n\t") - Count(back.source, "\tbyte");
    labels += Count(back.source, ":\n");
  }
  // Not all data: runs of random opcodes that stay instructions, and labels.
  EXPECT_GT(instructions, 500u);
  EXPECT_GT(labels, 10u);
}

// Programs worked out by hand from the 6510's opcode values.
TEST(SourceRecovery, HandChecked) {
  struct Case {
    const char* name;
    std::string prg;
    std::vector<std::string> load;
    std::string source;
    std::string back;  // the program the source assembles to; empty: `prg`
  };
  const Case cases[] = {
      // ldx #0 / loop: lda text,x / beq done / jsr $ffd2 / inx / bne loop /
      // done: rts / text: "HI", 0
      {"loop and text",
       std::string("\x00\xc0\xa2\x00\xbd\x0e\xc0\xf0\x06\x20\xd2\xff\xe8\xd0\xf5\x60\x48\x49\x00", 19),
       {"-notbasic"},
       "\torig $c000\n\tldx #$00\nlc002:\n\tlda $c00e,x\n\tbeq lc00d\n\tjsr $ffd2\n\tinx\n\tbne lc002\n"
       "lc00d:\n\trts\n\tbyte $48, $49, $00\n", ""},
      // Undocumented opcodes stay instructions only where they assemble
      // back: lax $1234 ($af) and nop $0012 ($0c) do; lax $12 ($a7) and
      // nop $12 ($04) would come back absolute, $eb is sbc #, and kil ($02)
      // has no source form.
      {"undocumented",
       std::string("\x00\xc0\x20\x05\xc0\x60\xa7\xaf\x34\x12\x0c\x12\x00\x60\xa7\x12\x04\x12\xeb\x01\x02", 21),
       {"-notbasic"},
       "\torig $c000\n\tjsr lc005\n\trts\n\tbyte $a7\nlc005:\n\tlax $1234\n\tnop $0012\n\trts\n"
       "\tbyte $a7, $12, $04, $12, $eb, $01, $02\n", ""},
      // 10 SYS 2061 at $0801-$080a, the end link at $080b: the code behind
      // the BASIC program only.
      {"behind BASIC",
       std::string("\x01\x08\x0b\x08\x0a\x00\x9e\x32\x30\x36\x31\x00\x00\x00\xa9\x01\x60", 17),
       {},
       "\torig $080d\n\tlda #$01\n\trts\n",
       std::string("\x0d\x08\xa9\x01\x60", 5)},
  };
  ScratchDir dir;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const RoundTrip back = Recover(dir, c.prg, c.load);
    EXPECT_EQ(back.source, c.source);
    EXPECT_EQ(back.program, c.back.empty() ? c.prg : c.back);
  }
}

}  // namespace
}  // namespace vantrel
