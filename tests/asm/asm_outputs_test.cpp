// The listing, symbol, relocation and VICE label files: staged like every
// output, refused with the path and the reason when no file can be made.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "asm_fixture.h"
#include "image/image_test_helpers.h"
#include "image/output_set.h"

namespace vantrel {
namespace {

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

TEST(AsmOutputs, FailedWriteKeepsTheOldFile) {
  for (const Output& out : kOutputs) {
    test::AsmFixture f;
    ASSERT_TRUE(f.Assemble(kSource));
    const std::string path = f.dir.File("old");
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
    ASSERT_TRUE(out.save(f.prg, outputs, path)) << out.what;
    EXPECT_TRUE(outputs.Commit(f.q.log));
    EXPECT_NE(test::ReadFile(path), std::string(5000, 'x'));
  }
}

TEST(AsmOutputs, TargetsThatAreNoFile) {
  for (const Output& out : kOutputs) {
    SCOPED_TRACE(out.what);
    test::AsmFixture f;
    ASSERT_TRUE(f.Assemble(kSource));
    const std::string missing = f.dir.File("missing/out");
    OutputSet outputs(true);
    EXPECT_FALSE(out.save(f.prg, outputs, missing));
    EXPECT_EQ(f.Problems().back(), "Error: " + out.cannot_open + missing + ": No such file or directory");
    EXPECT_FALSE(out.save(f.prg, outputs, f.dir.Path()));
    EXPECT_EQ(f.Problems().back(), "Error: " + out.cannot_open + f.dir.Path() + ": Is a directory");
    EXPECT_TRUE(outputs.Empty());
  }
}

}  // namespace
}  // namespace vantrel
