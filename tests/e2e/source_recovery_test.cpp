// -asm through the real binary: machine code to source and, assembled
// again, back to the same bytes, for the corpus's machine-code files,
// generated code mixed with data, and hand-checked programs.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "asm/opcodes.h"
#include "test_support.h"

namespace vantrel {
namespace {

using test::ReadFile;
using test::RunVantrel;
using test::ScratchDir;
using test::WriteFile;

// The source -asm writes for program file `prg`, and the program that
// source assembles to.
struct RoundTrip {
  std::string source;
  std::string program;
};

RoundTrip Recover(const ScratchDir& dir, const std::string& prg, const std::vector<std::string>& load = {"-notbasic"}) {
  WriteFile(dir.File("in.prg"), prg);
  std::vector<std::string> args = {"in.prg", "-asm:out.asm", "-ovr"};
  args.insert(args.end(), load.begin(), load.end());
  auto r = RunVantrel(dir.Path(), args);
  if (r.status != 0) return {r.output, ""};
  r = RunVantrel(dir.Path(), {"out.asm", "-prg:back.prg", "-ovr"});
  return {ReadFile(dir.File("out.asm")), r.status == 0 ? ReadFile(dir.File("back.prg")) : r.output};
}

size_t Count(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

// Every file of the corpus that is not BASIC: code, tables, character
// sets and a picture.
TEST(SourceRecovery, CorpusMachineCode) {
  ScratchDir dir;
  size_t files = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(test::CorpusPath("card-games/prg"))) {
    const std::string name = entry.path().filename().string();
    if (!name.starts_with("card-") && !name.starts_with("pic-") && !name.starts_with("prg-")) continue;
    SCOPED_TRACE(entry.path().string());
    const std::string prg = ReadFile(entry.path().string());
    const RoundTrip back = Recover(dir, prg);
    EXPECT_EQ(back.program, prg);
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
