// The opcode table against an independent 6502 reference, the table facts
// the assembler relies on, and reading the addressing mode of an operand.
#include <gtest/gtest.h>

#include <set>

#include "asm/opcodes.h"
#include "reference_6502.h"

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
  EXPECT_EQ(FindMnemonic("LDA"), Mnemonic::Lda);
  EXPECT_EQ(FindMnemonic("xaa"), Mnemonic::Xaa);
  EXPECT_EQ(FindMnemonic("orig"), Mnemonic::None);
  EXPECT_EQ(MnemonicName(76u), "ERROR!");
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
  EXPECT_EQ(FormatOperand(AddressingMode::ZeroPageYIndirect, "$12"), "($12),y");
  EXPECT_EQ(FormatOperand(AddressingMode::Unknown, "x"), "!! Addressing mode error !! (%s)");
  EXPECT_EQ(ModeName(AddressingMode::ZeroPageX), "ZeroPageX");
  EXPECT_EQ(ModeWord(AddressingMode::Unknown), "???");
}

}  // namespace
}  // namespace vantrel
