// Images shared with the Debian tools cc1541 (writes images; -V validates
// the BAM against the files as CBM DOS would) and cbmconvert (extracts
// files). Skipped where the tools are not installed.
#include <cstdlib>
#include <filesystem>
#include <map>

#include <gtest/gtest.h>

#include "d64/d64_files.h"
#include "d64/d64_test_support.h"
#include "test_support.h"

namespace vantrel {
namespace {

using test::ReadBytes;
using Files = std::map<std::string, std::vector<uint8_t>>;

class D64Interop : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!test::HaveTool("cc1541") || !test::HaveTool("cbmconvert")) GTEST_SKIP() << "cc1541 or cbmconvert missing";
  }
  // Runs `command` in the scratch directory; its output goes to the failure message.
  void Run(const std::string& command) {
    std::string line = "cd '" + dir_.Path();
    line += "' && " + command + " >'" + dir_.File("tool.out") + "' 2>&1";
    EXPECT_EQ(std::system(line.c_str()), 0) << command << "\n" << test::ReadFile(dir_.File("tool.out"));
  }
  // Every file cbmconvert extracts from the image, by host name.
  Files Extract() {
    std::filesystem::create_directory(dir_.File("out"));
    Run("cd out && cbmconvert -N -d ../disk.d64");
    Files files;
    for (const auto& entry : std::filesystem::directory_iterator(dir_.File("out"))) {
      files[entry.path().filename().string()] = ReadBytes(entry.path().string());
    }
    return files;
  }
  bool Save(const std::string& name, const ProgramFile& file) {
    MsgLog log;
    return test::SaveNow(log, image_ + "::" + name, file, true);
  }

  test::ScratchDir dir_;
  std::string image_ = dir_.File("disk.d64");
};

std::string Corpus(const char* prg) { return test::CorpusPath(std::string("card-games/prg/Poker4/") + prg); }

TEST_F(D64Interop, Cc1541ImageLoadsAndTakesAnotherFile) {
  // cc1541 turns lower-case host letters into the C64's upper case.
  Run("cc1541 -n disk -i ab -f start -w '" + Corpus("start-poker-4.prg") + "' -f 'poker 4' -w '" +
      Corpus("poker-4.prg") + "' -f pic -w '" + Corpus("pic-a-poker-4.prg") + "' -T SEQ -f data -w '" +
      Corpus("prg-b-poker-4.prg") + "' disk.d64");
  const std::pair<const char*, const char*> files[] = {
      {"start", "start-poker-4.prg"}, {"poker 4", "poker-4.prg"}, {"p?c", "pic-a-poker-4.prg"}, {"data,s", "prg-b-poker-4.prg"}};
  for (const auto& [name, prg] : files) {
    SCOPED_TRACE(name);
    MsgLog log;
    ProgramFile out;
    ASSERT_TRUE(LoadFromImage(log, image_ + "::" + name, out)) << test::Transcript(log);
    EXPECT_EQ(out.Bytes(), ReadBytes(Corpus(prg)));
  }
  const ProgramFile added = test::MakePrg(0x0801, 9000, 5);
  ASSERT_TRUE(Save("added", added));
  Run("cc1541 -q -V disk.d64");
  const Files expected = {{"start.prg", ReadBytes(Corpus("start-poker-4.prg"))},
                          {"poker 4.prg", ReadBytes(Corpus("poker-4.prg"))},
                          {"pic.prg", ReadBytes(Corpus("pic-a-poker-4.prg"))},
                          {"data.seq", ReadBytes(Corpus("prg-b-poker-4.prg"))},
                          {"added.prg", test::PrgBytes(added)}};
  EXPECT_EQ(Extract(), expected);
}

TEST_F(D64Interop, ToolsReadANewVantrelImage) {
  const ProgramFile two = test::MakePrg(0xC000, 20000, 2);  // 79 blocks over tracks 17 to 14
  const ProgramFile three = test::MakePrg(0x0801, 300, 3);
  const ProgramFile bigger = test::MakePrg(0x1001, 1000, 4);
  ASSERT_TRUE(Save("one", test::MakePrg(0x0801, 100, 1)));
  ASSERT_TRUE(Save("two", two));
  ASSERT_TRUE(Save("THREE,S", three));  // shifted letters, upper case on the host
  ASSERT_TRUE(Save("@:one", bigger));
  Run("cc1541 -q -V disk.d64");
  const Files expected = {{"one.prg", test::PrgBytes(bigger)}, {"two.prg", test::PrgBytes(two)}, {"THREE.seq", three.Bytes()}};
  EXPECT_EQ(Extract(), expected);
}

}  // namespace
}  // namespace vantrel
