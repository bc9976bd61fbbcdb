// The real binary on the command line: help, input resolution, option
// checks, the closing tally and the exit status.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

#include "test_support.h"

namespace vantrel {
namespace {

using test::RunVantrel;
using test::ScratchDir;

bool Has(const std::string& output, const std::string& line) {
  return output.find(line + "\n") != std::string::npos;
}

TEST(Cli, HelpPrintsUsageAndExits255) {
  ScratchDir dir;
  test::WriteFile(dir.File("game.txt"), "10 PRINT\n");
  const std::vector<std::vector<std::string>> calls = {
      {}, {"game.txt", "-h"}, {"/?"}, {"game.txt", "--HELP"}, {"-prg", "/h", "game.txt"}};
  for (const auto& args : calls) {
    SCOPED_TRACE(args.empty() ? "(none)" : args[0]);
    auto r = RunVantrel(dir.Path(), args);
    EXPECT_EQ(r.status, 255);
    EXPECT_TRUE(Has(r.output, "\tvantrel <filename.ext> [-<options>]"));
    EXPECT_TRUE(Has(r.output, std::string(79, '-')));
    EXPECT_EQ(r.output.find("Starting"), std::string::npos);
  }
}

TEST(Cli, InputResolutionErrors) {
  ScratchDir dir;
  test::WriteFile(dir.File("game.txt"), "10 PRINT\n");
  test::WriteFile(dir.File("GAME.PRG"), std::string("\x01\x08\x00\x00", 4));
  test::WriteFile(dir.File("notes.doc"), "x");
  test::WriteFile(dir.File("game.prg"), std::string("\x01\x08\x00\x00", 4));
  std::filesystem::create_symlink(dir.File("game.txt"), dir.File("link.txt"));
  struct Row {
    std::vector<std::string> args;
    std::string line;
    int status = 1;
  };
  const Row rows[] = {
      {{"-crunch", "game.txt"}, "Error: Input file -crunch not found"},
      {{"game.txt", "-loadext:PRG"}, "Error: Unknown file type: PRG"},
      {{"notes.doc", "-prg"}, "Error: Unknown file type: doc"},
      {{"Game.txt", "-prg"}, "Error: Input file Game.txt not found"},
      {{"game.txt", "-bogus"}, "Error: Unknown command line parameter -bogus"},
      {{"game.txt", "", "-bogus"}, "Error: Unknown command line parameter -bogus"},
      {{"game.txt", "-prg", "-prg:x"}, "Error: Unknown command line parameter -prg:x"},
      {{"game.txt", "-f", "-ovr"}, "Error: Unknown command line parameter -ovr"},
      {{"game.txt", "-"}, "Error: Unknown command line parameter -"},
      {{"game.txt", "-b4"}, "Error: Unknown command line parameter -b4"},
      {{"game.txt", "-hex", "-range:$10000"}, "Error: Error in -range parameter"},
      {{"game.txt", "-hex", "-range:$08G0"}, "Error: Error in -range parameter"},
      {{"game.txt", "-prg:other", "-range:$0801", "-ovr"}, "Warning: -range parameter has no effect without -lst or -hex", 0},
      {{"game.txt"}, "Warning: No output specified", 0},
      {{"game.txt", "-rft"}, "Error: -rft is only valid for pure assembler"},
      {{"game.txt", "-prg", "-keycase"}, "Error: -keycase is not valid for text load"},
      {{"game.txt", "-prg", "-pref:defs"}, "Error: -pref is not valid for this operation"},
      {{"game.prg", "-prg"}, "Error: Output file would overwrite input file"},
      {{"GAME.PRG", "-txt", "-loadext:PRG"}, "Error: Unknown file type: PRG"},
      {{"game.txt", "-txt:./game.txt"}, "Error: Output file would overwrite input file"},
      {{"game.txt", "-txt:link.txt"}, "Error: Output file would overwrite input file"},
      // A rooted input path is the input, not an option starting with "/".
      {{dir.File("game.txt"), "-txt:" + dir.File("game.txt")}, "Error: Output file would overwrite input file"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.line);
    auto r = RunVantrel(dir.Path(), row.args);
    EXPECT_TRUE(Has(r.output, row.line)) << r.output;
    EXPECT_EQ(r.status, row.status);
  }
  EXPECT_EQ(test::ReadFile(dir.File("game.prg")), std::string("\x01\x08\x00\x00", 4));
  EXPECT_EQ(test::ReadFile(dir.File("game.txt")), "10 PRINT\n");
}

// Every reader refuses a directory or a FIFO by name, at once: opening a
// FIFO would wait for a writer forever.
TEST(Cli, InputsThatAreNoFile) {
  ScratchDir dir;
  for (const char* fifo : {"pipe.txt", "pipe.prg", "pipe.d64", "pipe.asm"})
    ASSERT_EQ(mkfifo(dir.File(fifo).c_str(), 0600), 0);
  std::filesystem::create_directory(dir.File("folder.txt"));
  std::filesystem::create_directory(dir.File("folder.d64"));
  test::WriteFile(dir.File("game.prg"), std::string("\x01\x08\x00\x00", 4));
  test::WriteFile(dir.File("inc.txt"), "{include:pipe.txt}\n{include:folder.txt}\n{buildrev:pipe.txt}\n10 PRINT\n");
  test::WriteFile(dir.File("emb.asm"), " embed \"pipe.prg\"\n");
  const struct {
    std::vector<std::string> args;
    std::vector<std::string> lines;
  } rows[] = {
      {{"folder.txt", "-prg"}, {"Error: Input file folder.txt not found"}},
      {{"pipe.txt", "-prg"}, {"Error: Input file pipe.txt not found"}},
      {{"pipe.prg", "-txt"}, {"Error: Input file pipe.prg not found"}},
      {{"pipe.asm", "-prg"}, {"Error: Input file pipe.asm not found"}},
      {{"pipe.d64::GAME", "-txt"}, {"Error: Input file pipe.d64::GAME not found"}},
      {{"folder.d64::GAME", "-txt"}, {"Error: Input file folder.d64::GAME not found"}},
      {{"inc.txt", "-prg"},
       {"Error: [inc.txt (1)] File not found: pipe.txt", "Error: [inc.txt (2)] File not found: folder.txt",
        "Error: [inc.txt (3)] File not found: pipe.txt"}},
      {{"game.prg", "-txt", "-pref:pipe"}, {"Error: Preface file not found: pipe.txt"}},
      {{"emb.asm", "-prg"}, {"Error: File not found: pipe.prg", "Error: [emb.asm (1)] Unable to load embed file: embed \"pipe.prg\""}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.args[0]);
    auto r = RunVantrel(dir.Path(), row.args);
    for (const std::string& line : row.lines) EXPECT_TRUE(Has(r.output, line)) << line << "\n" << r.output;
    EXPECT_EQ(r.status, 1);
  }
  EXPECT_TRUE(std::filesystem::is_fifo(dir.File("pipe.prg")) && std::filesystem::is_empty(dir.File("folder.txt")));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 9);
}

// Whole runs: the lines they print, the exit status, and the output file
// written only on success.
TEST(Cli, RunsEndWithTallyAndStatus) {
  struct Row {
    const char* file;  // written with `text` when not empty
    const char* text;
    std::vector<std::string> args;
    std::vector<std::string> lines;
    int status;
    const char* output;
  };
  const std::string kTally = "====================\n1 Errors; 0 Warnings\n====================";
  const Row rows[] = {
      {"", "", {"missing.txt", "-prg"}, {"Error: Input file missing.txt not found", kTally, "Vantrel failed."}, 1,
       "missing.prg"},
      {"prog.txt", "  lda #1\n", {"prog.txt", "-loadext:asm", "-crunch", "-rem", "-varcase:u", "-prg"},
       {"Starting assembler on prog.txt", "Error: -crunch is not valid for assembler",
        "Error: -rem is not valid for assembler", "Error: -varcase is not valid for assembler", "3 Errors; 0 Warnings"},
       1, "prog.prg"},
      {"game.txt", "10 PRINT\n{fatal:stop here}\n20 END\n", {"game.txt", "-prg"},
       {"Fatal: [game.txt (2)] stop here", "Vantrel failed."}, 1, "game.prg"},
      {"game.txt", "10 PRINT\n{warning:look}\n{error:oops}\n", {"game.txt", "-prg", "-msgfmt:gnu"},
       {"game.txt:2: warning: look", "game.txt:3: error: oops", "Vantrel failed."}, 1, "game.prg"},
      {"game.txt", "10 PRINT\n", {"game.txt", "-prg", "-msgfmt:vi"}, {"Error: Error in -msgfmt parameter"}, 1,
       "game.prg"},
      {"game.txt", "10 PRINT\n", {"game.txt", "-prg", "-VERBOSE:list"},
       {"Loading game.txt", "==> Saving in .prg format: game.prg"}, 0, "game.prg"},
      {".txt", "10 PRINT\n", {".txt", "-prg"}, {"Starting Vantrel on .txt", "Vantrel finished"}, 0, ".prg"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.args[0]);
    ScratchDir dir;
    if (*row.file != '\0') test::WriteFile(dir.File(row.file), row.text);
    auto r = RunVantrel(dir.Path(), row.args);
    for (const std::string& line : row.lines) EXPECT_TRUE(Has(r.output, line)) << line << "\n" << r.output;
    EXPECT_EQ(r.status, row.status);
    EXPECT_EQ(test::FileExists(dir.File(row.output)), row.status == 0);
  }
}

// Text lost on a full or closed standard output fails the run; a run that
// writes only files does not depend on it.
TEST(Cli, ConsoleOutputThatCannotBeWrittenFails) {
  ScratchDir dir;
  test::WriteFile(dir.File("game.txt"), "10 PRINT\n");
  const struct {
    std::vector<std::string> args;
    const char* redirect;
    int status;
  } rows[] = {
      {{"game.txt", "-txt:con"}, ">/dev/full", 1},
      {{"game.txt", "-lbl:CON"}, ">/dev/full", 1},
      {{"game.txt", "-hex:con"}, ">/dev/full", 1},
      {{"game.txt", "-txt:con"}, ">&-", 1},
      {{"game.txt", "-hex:con"}, ">&-", 1},
      {{"game.txt", "-prg", "-ovr"}, ">/dev/full", 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.args[1] + row.redirect);
    EXPECT_EQ(RunVantrel(dir.Path(), row.args, row.redirect).status, row.status);
  }
  EXPECT_TRUE(test::FileExists(dir.File("game.prg")));
}

}  // namespace
}  // namespace vantrel
