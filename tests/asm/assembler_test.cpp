// The opcode table against an independent 6502 reference, the table facts
// the assembler relies on, and reading the addressing mode of an operand.
// Whole assemblies in-process: opcode choice, line forms, pseudo-ops, the
// passes' checks and messages, local labels, the symbol table, macro calls
// (parameters, labels of their own, calls inside bodies, messages that name
// the call and the body line) and the output files, staged like every output
// and refused with the path and the reason when no file can be made.
#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "asm/opcodes.h"
#include "asm_fixture.h"
#include "image/image_test_helpers.h"
#include "image/output_set.h"
#include "reference_6502.h"
#include "text/text_ops.h"

namespace vantrel {
namespace {

std::string_view TableWord(std::string_view reference_mode) {
  if (reference_mode == "imp" || reference_mode == "acc") return "reg";
  if (reference_mode == "zp") return "zrp";
  return reference_mode;
}

TEST(Opcodes, DocumentedRowsMatchTheReference) {
  std::set<int> documented;
  for (const test::Reference6502& r : test::kReference6502) {
    SCOPED_TRACE(r.mnemonic);
    const OpcodeEntry& e = Opcodes()[r.opcode];
    documented.insert(r.opcode);
    EXPECT_EQ(e.opcode, r.opcode);
    EXPECT_EQ(MnemonicName(e.mnemonic), r.mnemonic);
    EXPECT_EQ(ModeWord(e.mode), TableWord(r.mode));
    EXPECT_EQ(InstructionLength(e.mode), static_cast<uint32_t>(r.length));
    EXPECT_EQ(e.cycles, r.cycles);
    EXPECT_EQ(e.pageCrossing, r.page);
    EXPECT_FALSE(e.IsIllegal());
  }
  // Every other opcode is undocumented.
  for (int op = 0; op < 256; ++op) {
    if (documented.count(op) == 0) {
      EXPECT_TRUE(Opcodes()[static_cast<uint8_t>(op)].IsIllegal()) << op;
    }
  }
}

TEST(Opcodes, TableFacts) {
  int register_nops = 0;
  for (int op = 0; op < 256; ++op) {
    const OpcodeEntry& e = Opcodes()[static_cast<uint8_t>(op)];
    if (e.mnemonic == Mnemonic::Nop && e.mode == AddressingMode::Register) ++register_nops;
    if (e.mnemonic == Mnemonic::Kil) {
      EXPECT_EQ(e.mode, AddressingMode::None) << op;
      EXPECT_EQ(e.cycles, 0) << op;
    }
  }
  EXPECT_EQ(register_nops, 1);
  for (uint8_t op : {0x1A, 0x3A, 0x5A, 0x7A, 0xDA, 0xFA}) EXPECT_EQ(Opcodes()[op].mode, AddressingMode::None);
  for (uint8_t op : {0x02, 0x12, 0x22, 0x32, 0x42, 0x52, 0x62, 0x72, 0x92, 0xB2, 0xD2, 0xF2})
    EXPECT_EQ(Opcodes()[op].mnemonic, Mnemonic::Kil);
  EXPECT_EQ(Opcodes()[0xEB].mnemonic, Mnemonic::Sbc);
  EXPECT_EQ(Opcodes()[0xEB].mode, AddressingMode::Immediate);
  for (uint8_t op : {0x80, 0x82, 0x89, 0xC2, 0xE2}) EXPECT_EQ(Opcodes()[op].mnemonic, Mnemonic::Nop);
  // The lowest opcode wins where a mnemonic and mode occur twice.
  struct Lowest {
    Mnemonic m;
    AddressingMode mode;
    uint8_t opcode;
  };
  for (const Lowest& l : {Lowest{Mnemonic::Sbc, AddressingMode::Immediate, 0xE9},
                          {Mnemonic::Nop, AddressingMode::Immediate, 0x80},
                          {Mnemonic::Nop, AddressingMode::ZeroPage, 0x04},
                          {Mnemonic::Nop, AddressingMode::Absolute, 0x0C},
                          {Mnemonic::Nop, AddressingMode::AbsoluteX, 0x1C},
                          {Mnemonic::Nop, AddressingMode::ZeroPageX, 0x14}})
    EXPECT_EQ(Opcodes().FindOpcode(l.m, l.mode)->opcode, l.opcode);
  EXPECT_FALSE(Opcodes().FindOpcode(Mnemonic::Stx, AddressingMode::ZeroPageX));
  EXPECT_EQ(FindMnemonic("xaa"), Mnemonic::Xaa);
}

TEST(Opcodes, OperandModes) {
  struct Row {
    std::string operand;
    bool jmp;
    AddressingMode mode;
    std::string value;
  };
  const Row rows[] = {
      {"", false, AddressingMode::Register, ""},
      {"#1", false, AddressingMode::Immediate, "1"},
      {"#1,x", false, AddressingMode::Unknown, "1,x"},
      {"#','", false, AddressingMode::Immediate, "','"},
      {"$12", false, AddressingMode::Absolute, "$12"},
      {"($12),Y", false, AddressingMode::ZeroPageYIndirect, "$12"},
      {"( $12 ) , y", false, AddressingMode::ZeroPageYIndirect, "$12"},
      {"($12,x)", false, AddressingMode::ZeroPageXIndirect, "$12"},
      {"$12),y", false, AddressingMode::Unknown, "12"},
      {"($1234)", true, AddressingMode::Indirect, "$1234"},
      {"($1234)", false, AddressingMode::Absolute, "($1234)"},
      {"Table,X", false, AddressingMode::AbsoluteX, "table"},
      {"table , y", false, AddressingMode::AbsoluteY, "table"},
      {"' ',x", false, AddressingMode::AbsoluteX, "' '"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.operand);
    std::string text = row.operand;
    EXPECT_EQ(ParseOperandMode(text, row.jmp), row.mode);
    EXPECT_EQ(text, row.value);
  }
  EXPECT_EQ(FormatOperand(AddressingMode::Unknown, "x"), "!! Addressing mode error !! (%s)");
}

std::string HexBytes(const std::string& bytes) {
  std::string out;
  for (char c : bytes) {
    if (!out.empty()) out += ' ';
    out += Hex(static_cast<uint8_t>(c), 2);
  }
  return out;
}

struct Row {
  std::string source;  // assembled at $c000
  std::string bytes;   // from $c000, or "" when none are expected
  std::vector<std::string> problems;
};

void Check(const Row& row, const std::string& before = " orig $c000\n") {
  SCOPED_TRACE(row.source);
  test::AsmFixture f;
  const bool ok = f.Assemble(before + row.source);
  std::vector<std::string> problems = f.Problems();
  // The fixture cuts the path from the position only.
  for (std::string& p : problems)
    for (size_t at; (at = p.find(f.dir.File(""))) != std::string::npos;) p.erase(at, f.dir.File("").size());
  EXPECT_EQ(problems, row.problems);
  bool error = false;
  for (const std::string& p : row.problems) error = error || p.starts_with("Error");
  EXPECT_EQ(ok, !error);
  EXPECT_EQ(HexBytes(f.Bytes(0xC000)), row.bytes);
}

TEST(Assembler, OpcodeChoice) {
  const Row rows[] = {
      {" lda $12\n", "a5 12", {}},
      {" lda 300\n", "ad 2c 01", {}},
      {" lda $0012\n", "ad 12 00", {}},
      {" nop $12\n", "0c 12 00", {}},
      {" lax $12\n", "af 12 00", {}},
      {" stx $12,y\n", "96 12", {}},
      {" jmp ($1234)\n", "6c 34 12", {}},
      {" lda ($1234)\n", "ad 34 12", {}},
      {" LDA ( $12 ) , y\n", "b1 12", {}},
      {" Lda #':'\n lda #';' ; comment\n", "a9 3a a9 3b", {}},
      {" lda #'{clr}'\n", "a9 93", {}},
      {" sbc #1\n nop #1\n asl\n", "e9 01 80 01 0a", {}},
      {"zp = $fb\n lda zp\n lda fwd\nfwd = $fc\n", "a5 fb a5 fc", {}},
      {" stx $12,x\n", "", {"Error: 2: Illegal addressing mode: stx can't be used with ZeroPageX mode: stx $12,x"}},
      {" lda #1,x\n", "", {"Error: 2: Illegal addressing mode: lda can't be used with Unknown mode: lda #1,x"}},
      {" kil\n", "", {"Error: 2: Illegal addressing mode: kil can't be used with Register mode: kil"}},
      {" bne #1\n", "", {"Error: 2: Illegal branch destination: bne #1"}},
      {" bne\n", "", {"Error: 2: Illegal branch destination: bne"}},
      // "<" and ">" are byte-wide before the label has an address: $c00c.
      {" sta <t\n stx <t,y\n lda >t\n lda <t+1\n lda t&$0f,x\n lda >t-1,x\nt: rts\n",
       "85 0c 96 0c a5 c0 a5 0d b5 0c b5 bf 60", {}},
      {" lda #-128\n lda #-1\n lda #-$0002\n", "a9 80 a9 ff a9 fe", {}},
      {" lda #-200\n", "", {"Error: 2: Immediate value too small: -200 -- (-200 < -128): lda #-200"}},
      {" lda #300\n", "", {"Error: 2: Immediate value too big: 300 -- (300 > 255): lda #300"}},
      {" lda ($1234),y\n", "", {"Error: 2: Expecting zero page value: $1234 -- (4660 > 255): lda ($1234),y"}},
  };
  for (const Row& row : rows) Check(row);
}

TEST(Assembler, LinesAndSymbols) {
  const Row rows[] = {
      {"loop: dex\n bne loop\n", "ca d0 fd", {}},
      {"Loop: dex\n bne LOOP\n", "ca d0 fd", {}},
      {"   ; only a comment\ncount = 3 ; three\n ldx #count\n", "a2 03", {}},
      {"loop:\n beq fwd\n nop\nfwd: rts\n", "f0 01 ea 60", {}},
      {"@l: dex\n bne <@l\n@l: dey\n bne <@l\n beq >@l\n@l: rts\n", "ca d0 fd 88 d0 fd f0 00 60", {}},
      {"loop dex\n", "", {"Error: 2: Unknown instruction loop"}},
      {"= 3\n", "", {"Error: 2: No label found"}},
      {"count =\n", "", {"Error: 2: Expected value not found"}},
      {": dex\n", "", {"Error: 2: No label found"}},
      {"1x = 3\n", "", {"Error: 2: Invalid symbol name: \"1x\""}},
      {"count = 1\ncount = 2\n", "", {"Error: 3: Symbol redefinition: count"}},
      {"a: nop\nA: nop\n", "", {"Error: 3: Symbol redefinition: a"}},
      {" bne @l\n", "", {"Error: 2: No search direction supplied: bne @l", "Error: 2: Unresolved operand: @l: bne @l"}},
      {" bne <@l\n", "", {"Error: 2: Could not find local label @l: bne <@l",
                          "Error: 2: Unresolved operand: <@l: bne <@l"}},
      {" lda nothere\n sta nothere\nq = nothere+1\n", "",
       {"Error: 2: Unresolved operand: nothere: lda nothere", "Error: 3: Unresolved operand: nothere: sta nothere",
        "Error: 4: Could not resolve symbol: q = nothere+1"}},
      // Cyclic equates end as unresolved instead of looping.
      {"a = b + 1\nb = a + 1\n", "", {"Error: 2: Could not resolve symbol: a = b + 1",
                                       "Error: 3: Could not resolve symbol: b = a + 1"}},
      {" beq far\n area 200\nfar: rts\n", "", {"Error: 2: Branch out of range.  beq can't reach far: beq far"}},
      {"x: bne x\n", "d0 fe", {}},
      {"x: bne x+1\n", "", {"Error: 2: Branch out of range.  bne can't reach x+1: x: bne x+1"}},
      {"{alpha:nosuch}\n", "", {"Error: 2: Invalid alpha mode nosuch"}},
      {"{addrcheck:$c000}\n", "", {"Error: 2: AddrCheck directive not implemented in assembler yet; use addrcheck pseudo-op"}},
      {" nop {red}\n", "", {"Error: 2: Unknown directive {red}"}},
  };
  for (const Row& row : rows) Check(row);
}

TEST(Assembler, PseudoOps) {
  const Row rows[] = {
      {" byte 1, 2, $ff\n word $1234\n data 1, $1234\n", "01 02 ff 34 12 01 34 12", {}},
      {" ascii \"AB\", 13, \"{red}\"\n", "41 42 0d 1c", {}},
      // A forward reference in data is measured as a word and stays one.
      {" data later\n nop\nlater: rts\n", "03 c0 ea 60", {}},
      {" word start\nstart: byte <start, >start\n", "02 c0 02 c0", {}},
      {" bits ..**..**\n bits -/\\|\n hex 01 ff 7f\n bin 101 00000001\n", "33 1b 01 ff 7f 05 01", {}},
      {" area 3, $ff\n rts\n", "ff ff ff 60", {}},
      {" nop\n align 4, $ea\n rts\n", "ea ea ea ea 60", {}},
      {" align 0\n align 1\n rts\n", "60", {}},
      {" byte 1, 2, 300\n", "", {"Error: 2: Parameter must be in the range 0 - 255 [=300]: byte 1, 2, 300"}},
      {" byte \"A\"\n", "", {"Error: 2: Expecting Symbolic argument: byte \"A\""}},
      {" byte\n", "", {"Error: 2: Expecting at  least 1 arguments: byte"}},
      {" byte 1,,2\n", "", {"Error: 2: Empty operand: byte 1,,2"}},
      {" bits ...\n", "", {"Error: 2: Bits operand must have multiple of 8 bits: bits ..."}},
      {" bits .x......\n", "", {"Error: 2: Bin operand has bad value: .x......: bits .x......"}},
      {" bits\n", "", {"Error: 2: Empty Bits operand: bits"}},
      {" hex 01 ff 100\n", "", {"Error: 2: Hex operand contains oversized value: 100: hex 01 ff 100"}},
      {" hex -1\n", "", {"Error: 2: Hex operand is illegal: -1: hex -1"}},
      {" hex 0g\n", "", {"Error: 2: Hex operand has bad value: 0g: hex 0g"}},
      {" bin 2\n", "", {"Error: 2: Bin operand has bad value: 2: bin 2"}},
      {" hex\n", "", {"Error: 2: Hex operand has no values: hex"}},
      {" orig $0900\n", "", {"Error: 2: Setting origin back is not allowed: orig $0900",
                          "Error: 2: Error assembling to address $c000: orig $0900"}},
      {" orig fwd\nfwd: rts\n", "", {"Error: 2: Unresolved argument: orig fwd",
                                      "Error: 2: Error assembling to address $c000: orig fwd"}},
      {" align 1, 2, 3\n", "", {"Error: 2: Expecting one or two arguments: alignment [, fill]: align 1, 2, 3"}},
      // What a line's first fault leaves behind is not reported again.
      {" area\n", "", {"Error: 2: Expecting one or two arguments: area [, fill]: area"}},
      {" asmfmt 3\n", "", {"Error: 2: Expecting Text argument: asmfmt 3"}},
      {" orig $cffe\n nop\n nop\n addrcheck $cfff\n", "",
       {"Warning: 2: Large change in origin: orig $cffe", "Error: 5: Address Check error: $d000 > $cfff: addrcheck $cfff"}},
      {" embed\n", "", {"Error: 2: Expecting at  least 1 arguments: embed",
                        "Error: 2: Syntax: embed \"filepath\" [,start offset [,length]]: embed"}},
      {" embed sprite\n", "", {"Error: 2: No filename specified for embed pseudo op: embed sprite"}},
      // Independent faults found by different passes, in line order, from one run.
      {" lda #300\n sta undefined1\n ldx #1,y\n* = $c100\n foo\n bne *+200\n rts\n", "",
       {"Error: 2: Immediate value too big: 300 -- (300 > 255): lda #300",
        "Error: 3: Unresolved operand: undefined1: sta undefined1",
        "Error: 4: Illegal addressing mode: ldx can't be used with Unknown mode: ldx #1,y",
        "Error: 5: Set the address with \"orig $c100\", not \"* =\"", "Error: 6: Unknown instruction foo",
        "Error: 7: Branch out of range.  bne can't reach *+200: bne *+200"}},
  };
  for (const Row& row : rows) Check(row);
}

TEST(Assembler, OriginsAndMemoryEnds) {
  test::AsmFixture plain;
  ASSERT_TRUE(plain.Assemble(" rts\n"));
  EXPECT_EQ(plain.memory.Used(), AddressRange(0x0100, 0x0100));

  test::AsmFixture moved;
  ASSERT_TRUE(moved.Assemble(" orig $0801\n rts\n orig $c000\n rts\n"));
  EXPECT_EQ(moved.Problems(), std::vector<std::string>{"Warning: 3: Large change in origin: orig $c000"});

  test::AsmFixture aligned;
  ASSERT_TRUE(aligned.Assemble(" orig $c000\n nop\n nop\n nop\n align 256\n rts\n"));
  EXPECT_EQ(aligned.memory.Used(), AddressRange(0xC000, 0xC100));
  EXPECT_EQ(aligned.Bytes(0xC003), std::string(253, '\0') + "\x60");

  // Vectors may fill memory up to $FFFF, but not one byte past it.
  test::AsmFixture vectors;
  ASSERT_TRUE(vectors.Assemble(" orig $fffa\n word $1234, $5678, $9abc\n"));
  EXPECT_EQ(HexBytes(vectors.Bytes(0xFFFA)), "34 12 78 56 bc 9a");
  test::AsmFixture wrap;
  EXPECT_FALSE(wrap.Assemble(" orig $fffe\n lda $1234\n rts\n rts\n"));
  EXPECT_EQ(wrap.Problems(), std::vector<std::string>{"Error: 2: Error assembling to address $fffe: lda $1234"});
}

TEST(Assembler, Embed) {
  test::AsmFixture f;
  std::string data;
  for (int i = 0; i < 100; ++i) data += static_cast<char>(i);
  test::WriteFile(f.dir.File("sprite.bin"), data);
  f.q.locator.AddDirectory(HiPath(f.dir.Path() + "/"));
  ASSERT_TRUE(f.Assemble(" orig $c000\n embed \"sprite.bin\", 2, 64\n embed \"sprite.bin\", 98, 10\n"));
  EXPECT_EQ(f.Bytes(0xC000), data.substr(2, 64) + data.substr(98));
  test::AsmFixture past;
  test::WriteFile(past.dir.File("sprite.bin"), data);
  past.q.locator.AddDirectory(HiPath(past.dir.Path() + "/"));
  EXPECT_FALSE(past.Assemble(" embed \"sprite.bin\", 100\n"));
  EXPECT_EQ(past.Problems(), std::vector<std::string>{"Error: 1: No data read from file: embed \"sprite.bin\", 100"});
}

TEST(Assembler, SymbolLevelsAndDump) {
  test::AsmFixture f;
  ASSERT_TRUE(f.Assemble(" orig $c000\n!start: rts\n^ptr = $fb\n@l: nop\n@l: nop\nwide = $ff+1\n"));
  const SymbolTable& t = f.prg.Symbols();
  EXPECT_EQ(t.DumpSymbols(SymbolLevel::Auto), "-Symbol Table-\nstart  = $c000\n--------------\n1 symbol\n");
  EXPECT_EQ(t.DumpSymbols(SymbolLevel::Debug),
            "--------------Symbol Table---------------\n"
            "@l@0   = $c001; [Local][word][lbl][Reloc]\n"
            "@l@1   = $c002; [Local][word][lbl][Reloc]\n"
            "ptr    =   $fb; [Genrl][byte][sym][Reloc]\n"
            "start  = $c000; [Impnt][word][lbl][Reloc]\n"
            "wide   = $0100; [Genrl][auto][sym][     ]\n"
            "-----------------------------------------\n5 symbols\n");

  test::AsmFixture demoted;
  ASSERT_TRUE(demoted.Assemble("{symdemote:on}\n!start: rts\n"));
  EXPECT_EQ(demoted.Symbol("start")->level, SymbolLevel::General);
  test::AsmFixture empty;
  ASSERT_TRUE(empty.Assemble(" rts\n"));
  EXPECT_EQ(empty.prg.Symbols().DumpSymbols(SymbolLevel::Auto), "No symbols\n");
}

const char* kMacros = R"( orig $c000
{macro:poke(value, where)}
  lda #value   ; value stays in comments
  sta where
{endmacro}
{MACRO:Wait(n)}
  ldx #n
@l: dex
  bne <@l
{endmacro}
{macro:both(v)}
  Poke v, $d020
  wait v
{endmacro}
{macro:nothing}
{endmacro}
)";

// Bytes worked out by hand from the 6510 opcodes; messages name the body
// line and every call that led to it.
TEST(MacroExpansion, ExpandsAndReports) {
  const Row rows[] = {
      {" poke 1, $d020\n", "a9 01 8d 20 d0", {}},
      {" poke ',', $fb\n", "a9 2c 85 fb", {}},
      {"go: poke 0, go\n", "a9 00 8d 00 c0", {}},
      {" poke <(tab+1), (tab)\ntab = $fb\n", "a9 fc 85 fb", {}},
      {" nothing\n rts\n", "60", {}},
      // Each expansion has its own @l; the one outside stays the outside's.
      {"@l: wait 2\n wait 3\n bne <@l\n", "a2 02 ca d0 fd a2 03 ca d0 fd d0 f4", {}},
      {" both 4\n", "a9 04 8d 20 d0 a2 04 ca d0 fd", {}},
      {" poke 1\n", "", {"Error: 17: Macro poke takes 2 arguments, not 1"}},
      {" nothing 1\n wait\n", "",
       {"Error: 17: Macro nothing takes 0 arguments, not 1", "Error: 18: Macro wait takes 1 argument, not 0"}},
      {" both 300\n", "",
       {"Error: 3: Immediate value too big: 300 -- (300 > 255): lda #300   ; value stays in comments (in macro poke called at t.asm (12), "
        "in macro both called at t.asm (17))",
        "Error: 7: Immediate value too big: 300 -- (300 > 255): ldx #300 (in macro wait called at t.asm (13), "
        "in macro both called at t.asm (17))"}},
      {"{macro:deep}\n deep\n{endmacro}\n deep\n", "",
       {"Error: 18: Macro calls nested more than 16 deep: deep (in macro deep called at t.asm (18), "
        "in macro deep called at t.asm (20))"}},
  };
  for (const Row& row : rows) Check(row, kMacros);
}

struct Output {
  const char* what;
  std::function<bool(AsmPrg&, OutputSet&, const std::string&)> save;
  std::string cannot_open;  // followed by the path that no file can be made at
};

const Output kOutputs[] = {
    {"lst",
     [](AsmPrg& p, OutputSet& o, const std::string& path) { return p.ExportDisassembly(o, path, AddressRange::Reset()); },
     "Could not open asm file: "},
    {"sym",
     [](AsmPrg& p, OutputSet& o, const std::string& path) { return p.SaveSymbols(o, path, SymbolLevel::All, false); },
     "Could not open sym file for saving: "},
    {"rft", [](AsmPrg& p, OutputSet& o, const std::string& path) { return p.SaveRelocationTable(o, path); },
     "Could not open relocation file: "},
    {"vs", [](AsmPrg& p, OutputSet& o, const std::string& path) { return p.SaveViceLabels(o, path); },
     "Could not open VICE label file: "},
};

constexpr const char* kSource = " orig $c000\nstart: lda #<start\n jmp start\n";

// A failed write keeps the old file; a path no file can be made at is
// refused with the path and the reason.
TEST(AsmOutputs, FailedWritesAndTargetsThatAreNoFile) {
  for (const Output& out : kOutputs) {
    test::AsmFixture f;
    ASSERT_TRUE(f.Assemble(kSource));
    const std::string path = f.dir.File("old"), missing = f.dir.File("missing/out");
    OutputSet outputs(true);
    for (WriteFault fault : {WriteFault::ShortWrite, WriteFault::FailedClose, WriteFault::FailedRename}) {
      SCOPED_TRACE(std::string(out.what) + " / fault " + std::to_string(static_cast<int>(fault)));
      test::WriteFile(path, std::string(5000, 'x'));
      ASSERT_TRUE(out.save(f.prg, outputs, path));
      InjectWriteFaultForTesting(fault);
      EXPECT_FALSE(outputs.Commit(f.q.log));
      EXPECT_TRUE(f.Problems().back().starts_with("Error: Error writing " + path + ": ")) << f.Problems().back();
      EXPECT_EQ(test::ReadFile(path), std::string(5000, 'x'));
      EXPECT_EQ(test::EntriesIn(f.dir.Path()), 2u);  // the source and the old file
    }
    SCOPED_TRACE(out.what);
    EXPECT_FALSE(out.save(f.prg, outputs, missing));
    EXPECT_EQ(f.Problems().back(), "Error: " + out.cannot_open + missing + ": No such file or directory");
    EXPECT_FALSE(out.save(f.prg, outputs, f.dir.Path()));
    EXPECT_EQ(f.Problems().back(), "Error: " + out.cannot_open + f.dir.Path() + ": Is a directory");
    EXPECT_TRUE(outputs.Empty());
    ASSERT_TRUE(out.save(f.prg, outputs, path));
    EXPECT_TRUE(outputs.Commit(f.q.log));
    EXPECT_NE(test::ReadFile(path), std::string(5000, 'x'));
  }
}

}  // namespace
}  // namespace vantrel
