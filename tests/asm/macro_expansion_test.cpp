// Macro calls in whole assemblies: parameters, labels of their own, calls
// inside bodies, and messages that name the call and the body line.
#include <gtest/gtest.h>

#include "asm_fixture.h"
#include "text/text_ops.h"

namespace vantrel {
namespace {

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

TEST(MacroExpansion, Expands) {
  struct Row {
    std::string calls;
    std::string bytes;  // worked out by hand from the 6510 opcodes
  };
  const Row rows[] = {
      {" poke 1, $d020\n", "a9 01 8d 20 d0"},
      {" poke ',', $fb\n", "a9 2c 85 fb"},
      {"go: poke 0, go\n", "a9 00 8d 00 c0"},
      {" poke <(tab+1), (tab)\ntab = $fb\n", "a9 fc 85 fb"},
      {" nothing\n rts\n", "60"},
      // Each expansion has its own @l; the one outside stays the outside's.
      {"@l: wait 2\n wait 3\n bne <@l\n", "a2 02 ca d0 fd a2 03 ca d0 fd d0 f4"},
      {" both 4\n", "a9 04 8d 20 d0 a2 04 ca d0 fd"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.calls);
    test::AsmFixture f;
    EXPECT_TRUE(f.Assemble(kMacros + row.calls)) << testing::PrintToString(f.Problems());
    std::string hex;
    for (char c : f.Bytes(0xC000)) {
      if (!hex.empty()) hex += ' ';
      hex += Hex(static_cast<uint8_t>(c), 2);
    }
    EXPECT_EQ(hex, row.bytes);
  }
}

TEST(MacroExpansion, Errors) {
  struct Row {
    std::string calls;
    std::vector<std::string> problems;
  };
  const Row rows[] = {
      {" poke 1\n", {"Error: 17: Macro poke takes 2 arguments, not 1"}},
      {" nothing 1\n wait\n",
       {"Error: 17: Macro nothing takes 0 arguments, not 1", "Error: 18: Macro wait takes 1 argument, not 0"}},
      {" both 300\n",
       {"Error: 3: Immediate value too big: 300 -- (300 > 255): lda #300   ; value stays in comments (in macro poke called at t.asm (12), "
        "in macro both called at t.asm (17))",
        "Error: 7: Immediate value too big: 300 -- (300 > 255): ldx #300 (in macro wait called at t.asm (13), "
        "in macro both called at t.asm (17))"}},
      {"{macro:deep}\n deep\n{endmacro}\n deep\n",
       {"Error: 18: Macro calls nested more than 16 deep: deep (in macro deep called at t.asm (18), "
        "in macro deep called at t.asm (20))"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.calls);
    test::AsmFixture f;
    EXPECT_FALSE(f.Assemble(kMacros + row.calls));
    std::vector<std::string> problems = f.Problems();
    // The fixture cuts the path from the position only.
    for (std::string& p : problems)
      for (size_t at; (at = p.find(f.dir.File(""))) != std::string::npos;) p.erase(at, f.dir.File("").size());
    EXPECT_EQ(problems, row.problems);
  }
}

}  // namespace
}  // namespace vantrel
