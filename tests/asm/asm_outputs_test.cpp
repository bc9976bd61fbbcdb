// The listing, symbol, relocation and VICE label files when the file system fails them:
// each failure is reported, the old file stays as it was and no temporary
// file is left beside it.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <functional>

#include "asm_fixture.h"
#include "image/image_test_helpers.h"
#include "image/safe_write.h"

namespace vantrel {
namespace {

struct Output {
  const char* what;
  std::function<bool(AsmPrg&, const std::string&)> save;
  std::string cannot_open;  // followed by the path that no file can be made at
};

const Output kOutputs[] = {
    {"lst", [](AsmPrg& p, const std::string& path) { return p.ExportDisassembly(path, true, AddressRange::Reset()); },
     "Could not open asm file: "},
    {"sym", [](AsmPrg& p, const std::string& path) { return p.SaveSymbols(path, SymbolLevel::All, false, true); },
     "Could not open sym file for saving: "},
    {"rft", [](AsmPrg& p, const std::string& path) { return p.SaveRelocationTable(path, true); },
     "Could not open relocation file: "},
    {"vs", [](AsmPrg& p, const std::string& path) { return p.SaveViceLabels(path, true); },
     "Could not open VICE label file: "},
};

constexpr const char* kSource = " orig $c000\nstart: lda #<start\n jmp start\n";

TEST(AsmOutputs, FailedWriteKeepsTheOldFile) {
  for (const Output& out : kOutputs) {
    test::AsmFixture f;
    ASSERT_TRUE(f.Assemble(kSource));
    const std::string path = f.dir.File("old");
    for (WriteFault fault : {WriteFault::ShortWrite, WriteFault::FailedClose, WriteFault::FailedRename}) {
      SCOPED_TRACE(std::string(out.what) + " / fault " + std::to_string(static_cast<int>(fault)));
      test::WriteFile(path, std::string(5000, 'x'));
      InjectWriteFaultForTesting(fault);
      EXPECT_FALSE(out.save(f.prg, path));
      EXPECT_EQ(f.Problems().back(), "Error: Error writing " + path);
      EXPECT_EQ(test::ReadFile(path), std::string(5000, 'x'));
      EXPECT_EQ(test::EntriesIn(f.dir.Path()), 2u);  // the source and the old file
    }
    EXPECT_TRUE(out.save(f.prg, path)) << out.what;
    EXPECT_NE(test::ReadFile(path), std::string(5000, 'x'));
  }
}

TEST(AsmOutputs, TargetsThatAreNoFile) {
  for (const Output& out : kOutputs) {
    SCOPED_TRACE(out.what);
    test::AsmFixture f;
    ASSERT_TRUE(f.Assemble(kSource));
    const std::string missing = f.dir.File("missing/out"), fifo = f.dir.File("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(out.save(f.prg, missing));
    EXPECT_EQ(f.Problems().back(), "Error: " + out.cannot_open + missing);
    EXPECT_FALSE(out.save(f.prg, f.dir.Path()));
    EXPECT_EQ(f.Problems().back(), "Error: " + out.cannot_open + f.dir.Path());
    EXPECT_FALSE(out.save(f.prg, fifo));
    EXPECT_EQ(f.Problems().back(), "Error: Error writing " + fifo);
    EXPECT_TRUE(std::filesystem::is_fifo(fifo));
    EXPECT_EQ(test::EntriesIn(f.dir.Path()), 2u);
  }
}

}  // namespace
}  // namespace vantrel
