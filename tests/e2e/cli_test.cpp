// The real binary on the command line: help, input resolution, option
// checks, the closing tally and the exit status.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

#include "image/image_test_helpers.h"
#include "test_support.h"

namespace vantrel {
namespace {

using test::HasLine;
using test::RunVantrel;
using test::ScratchDir;

// Help asked for is a success; no arguments at all keeps the old 255.
TEST(Cli, HelpAndVersion) {
  ScratchDir dir;
  test::WriteFile(dir.File("game.txt"), "10 PRINT\n");
  const std::pair<std::vector<std::string>, int> calls[] = {
      {{}, 255}, {{"game.txt", "-h"}, 0}, {{"/?"}, 0}, {{"-?"}, 0}, {{"game.txt", "--HELP"}, 0},
      {{"-prg", "/h", "game.txt"}, 0}};
  for (const auto& [args, status] : calls) {
    SCOPED_TRACE(args.empty() ? "(none)" : args[0]);
    auto r = RunVantrel(dir.Path(), args, "2>/dev/null");
    EXPECT_EQ(r.status, status);
    EXPECT_TRUE(HasLine(r.output, "\tvantrel <filename.ext> [-<options>]"));  // on standard output
    EXPECT_TRUE(HasLine(r.output, std::string(79, '-')));
    EXPECT_EQ(r.output.find("Starting"), std::string::npos);
  }
  for (const char* word : {"--version", "-version"}) {
    auto r = RunVantrel(dir.Path(), {word}, "2>/dev/null");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.output, "Vantrel 4.01\n");
  }
}

// Inputs that do not resolve and options that do not fit. Every reader
// refuses a directory or a FIFO by name, at once: opening a FIFO would wait
// for a writer forever.
TEST(Cli, InputResolutionErrors) {
  ScratchDir dir;
  test::WriteFile(dir.File("game.txt"), "10 PRINT\n");
  test::WriteFile(dir.File("GAME.PRG"), std::string("\x01\x08\x00\x00", 4));
  test::WriteFile(dir.File("notes.doc"), "x");
  test::WriteFile(dir.File("game.prg"), std::string("\x01\x08\x00\x00", 4));
  std::filesystem::create_symlink(dir.File("game.txt"), dir.File("link.txt"));
  for (const char* fifo : {"pipe.txt", "pipe.prg", "pipe.d64", "pipe.asm"})
    ASSERT_EQ(mkfifo(dir.File(fifo).c_str(), 0600), 0);
  std::filesystem::create_directory(dir.File("folder.txt"));
  std::filesystem::create_directory(dir.File("folder.d64"));
  test::WriteFile(dir.File("inc.txt"), "{include:pipe.txt}\n{include:folder.txt}\n{buildrev:pipe.txt}\n10 PRINT\n");
  test::WriteFile(dir.File("emb.asm"), " embed \"pipe.prg\"\n");
  struct Row {
    std::vector<std::string> args;
    std::vector<std::string> lines;
    int status = 1;
  };
  const Row rows[] = {
      {{"-crunch", "game.txt"}, {"Error: Input file -crunch not found"}},
      {{"game.txt", "-loadext:PRG"}, {"Error: Unknown file type: PRG"}},
      {{"notes.doc", "-prg"}, {"Error: Unknown file type: doc"}},
      {{"Game.txt", "-prg"}, {"Error: Input file Game.txt not found"}},
      {{"game.txt", "-bogus"}, {"Error: Unknown command line parameter -bogus"}},
      {{"game.txt", "", "-bogus"}, {"Error: Unknown command line parameter -bogus"}},
      {{"game.txt", "-prg", "-prg:x"}, {"Error: Unknown command line parameter -prg:x"}},
      {{"game.txt", "-f", "-ovr"}, {"Error: Unknown command line parameter -ovr"}},
      {{"game.txt", "-"}, {"Error: Unknown command line parameter -"}},
      {{"game.txt", "-b4"}, {"Error: Unknown command line parameter -b4"}},
      {{"game.txt", "-hex", "-range:$10000"}, {"Error: Error in -range parameter"}},
      {{"game.txt", "-hex", "-range:$08G0"}, {"Error: Error in -range parameter"}},
      {{"game.txt", "-prg:other", "-range:$0801", "-ovr"},
       {"Warning: -range parameter has no effect without -lst or -hex"}, 0},
      {{"game.txt"}, {"Warning: No output specified"}, 0},
      {{"game.txt", "-rft"}, {"Error: -rft is only valid for pure assembler"}},
      {{"game.txt", "-asm:code"}, {"Warning: No machine code to save as source"}, 0},
      {{"game.txt", "-prg", "-keycase"}, {"Error: -keycase is not valid for text load"}},
      {{"game.txt", "-prg", "-pref:defs"}, {"Error: -pref is not valid for this operation"}},
      {{"game.prg", "-prg"}, {"Error: Output file would overwrite input file"}},
      {{"GAME.PRG", "-txt", "-loadext:PRG"}, {"Error: Unknown file type: PRG"}},
      {{"game.txt", "-txt:./game.txt"}, {"Error: Output file would overwrite input file"}},
      {{"game.txt", "-txt:link.txt"}, {"Error: Output file would overwrite input file"}},
      // A rooted input path is the input, not an option starting with "/".
      {{dir.File("game.txt"), "-txt:" + dir.File("game.txt")}, {"Error: Output file would overwrite input file"}},
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
      {{"emb.asm", "-prg"},
       {"Error: File not found: pipe.prg", "Error: [emb.asm (1)] Unable to load embed file: embed \"pipe.prg\""}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.args[0] + " " + row.lines[0]);
    auto r = RunVantrel(dir.Path(), row.args);
    for (const std::string& line : row.lines) EXPECT_TRUE(HasLine(r.output, line)) << line << "\n" << r.output;
    EXPECT_EQ(r.status, row.status);
  }
  EXPECT_EQ(test::ReadFile(dir.File("game.prg")), std::string("\x01\x08\x00\x00", 4));
  EXPECT_EQ(test::ReadFile(dir.File("game.txt")), "10 PRINT\n");
  EXPECT_TRUE(std::filesystem::is_fifo(dir.File("pipe.prg")) && std::filesystem::is_empty(dir.File("folder.txt")));
  // The inputs above and other.prg, the one output asked for: no file more.
  EXPECT_EQ(test::EntriesIn(dir.Path()), 14u);
}

// Whole runs: the lines they print and the exit status. A run that fails
// leaves every output path as it was (no new file, every old one byte for
// byte, the build revision uncounted), whichever output or check failed.
TEST(Cli, RunsEndWithTallyAndStatus) {
  struct Row {
    std::vector<std::pair<const char*, const char*>> files;
    std::vector<std::string> args;
    std::vector<std::string> lines;
    const char* output = nullptr;  // the one file a run that succeeds writes
  };
  const std::string kTally = "====================\n1 Errors; 0 Warnings\n====================";
  const Row rows[] = {
      {{}, {"missing.txt", "-prg"}, {"Error: Input file missing.txt not found", kTally, "Vantrel failed."}},
      {{{"prog.txt", "  lda #1\n"}}, {"prog.txt", "-loadext:asm", "-crunch", "-rem", "-varcase:u", "-prg", "-asm:x"},
       {"Starting assembler on prog.txt", "Error: -crunch is not valid for assembler",
        "Error: -rem is not valid for assembler", "Error: -asm is not valid for assembler",
        "Error: -varcase is not valid for assembler", "4 Errors; 0 Warnings"}},
      {{{"game.txt", "10 PRINT\n{fatal:stop here}\n20 END\n"}}, {"game.txt", "-prg"},
       {"Fatal: [game.txt (2)] stop here", "Vantrel failed."}},
      {{{"game.txt", "10 PRINT\n{warning:look}\n{error:oops}\n"}}, {"game.txt", "-prg", "-msgfmt:gnu"},
       {"game.txt:2: warning: look", "game.txt:3: error: oops", "1 Errors; 1 Warnings", "Vantrel failed."}},
      // No character of the path can end its position early.
      {{{"my (odd)] x: y.txt", "10 PRINT\n{warning:look}\n"}}, {"my (odd)] x: y.txt", "-prg", "-msgfmt:gnu"},
       {"my (odd)] x: y.txt:2: warning: look", "Vantrel finished"}, "my (odd)] x: y.prg"},
      {{{"game.txt", "10 PRINT\n"}}, {"game.txt", "-prg", "-msgfmt:vi"}, {"Error: Error in -msgfmt parameter"}},
      {{{"game.txt", "10 PRINT\n"}}, {"game.txt", "-prg", "-VERBOSE:list"},
       {"Loading game.txt", "==> Saving in .prg format: game.prg"}, "game.prg"},
      {{{".txt", "10 PRINT\n"}}, {".txt", "-prg"}, {"Starting Vantrel on .txt", "Vantrel finished"}, ".prg"},
      {{{"dodge.txt", "10 PRINT\n"}, {"dodge.prg", "old"}},
       {"dodge.txt", "-prg", "-hex", "-txt:copy", "-d64:disk::DODGE"}, {"Error: File already exists: dodge.prg"}},
      {{{"demo.asm", " orig $c000\n rts\n"}, {"demo.lst", "old"}},
       {"demo.asm", "-prg", "-sym", "-lst"}, {"Error: File already exists: demo.lst"}},
      {{{"demo.asm", " orig $c000\n asmfmt \"-bogus\"\n rts\n"}},
       {"demo.asm", "-prg", "-dis", "-vice"}, {"Error: Invalid AsmFmt specified"}},
      {{{"dodge.txt", "10 PRINT\n"}},
       {"dodge.txt", "-prg", "-txt:none/x"}, {"Error: Can't open file none/x.txt for writing: No such file or directory"}},
      {{{"dodge.txt", "10 PRINT\n{buildrev:rev}\n"}, {"rev", "41"}},
       {"dodge.txt", "-prg", "-hex:/dev/full"}, {"Error: Error saving .hex file /dev/full: No space left on device"}},
      {{{"dodge.txt", "10 PRINT\n"}, {"disk.d64", ""}},
       {"dodge.txt", "-prg", "-d64:disk::DODGE"}, {"Error: Error loading d64 image disk.d64: its size fits no .d64 image "
       "(174848, 175531, 196608, 197376, 205312, 206114 bytes)"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.lines[0]);
    ScratchDir dir;
    for (const auto& [name, content] : row.files) test::WriteFile(dir.File(name), content);
    auto r = RunVantrel(dir.Path(), row.args);
    for (const std::string& line : row.lines) EXPECT_TRUE(HasLine(r.output, line)) << line << "\n" << r.output;
    EXPECT_EQ(r.status, row.output ? 0 : 1);
    EXPECT_EQ(test::EntriesIn(dir.Path()), row.files.size() + (row.output ? 1 : 0));
    for (const auto& [name, content] : row.files) EXPECT_EQ(test::ReadFile(dir.File(name)), content) << name;
    if (row.output) {
      EXPECT_TRUE(test::FileExists(dir.File(row.output)));
    }
  }
  // A run that succeeds counts the build, and the program holds the
  // revision it was made with: 10 PRINT 41.
  ScratchDir dir;
  test::WriteFile(dir.File("rev"), "41");
  test::WriteFile(dir.File("good.txt"), "{buildrev:rev}\n10 PRINT {usedef:__BuildRev}\n");
  EXPECT_EQ(RunVantrel(dir.Path(), {"good.txt", "-prg"}).status, 0);
  EXPECT_EQ(test::ReadFile(dir.File("rev")), "42");
  EXPECT_EQ(test::ReadFile(dir.File("good.prg")), test::BasicProgramFile(0x0801, {{10, "\x99 41"}}));
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

// Standard output carries only the data asked for, so it can be piped and
// read back; "-" names standard input and output.
TEST(Cli, StandardStreams) {
  ScratchDir dir;
  test::WriteFile(dir.File("game.txt"), "10 PRINT \"{clear}HI\":GOTO 10\n20 END\n");
  ASSERT_EQ(RunVantrel(dir.Path(), {"game.txt", "-prg", "-quiet"}).status, 0);
  const std::string prg = test::ReadFile(dir.File("game.prg"));

  auto text = RunVantrel(dir.Path(), {"game.prg", "-txt:con"}, "2>/dev/null");
  ASSERT_EQ(text.status, 0);
  test::WriteFile(dir.File("again.txt"), text.output);
  ASSERT_EQ(RunVantrel(dir.Path(), {"again.txt", "-prg"}).status, 0);
  EXPECT_EQ(test::ReadFile(dir.File("again.prg")), prg);

  const struct {
    std::vector<std::string> args;
    const char* redirect;
    std::string out;
  } rows[] = {
      {{"game.txt", "-prg:-"}, "2>/dev/null", prg},
      {{"-", "-loadext:txt", "-prg:-"}, "2>/dev/null <game.txt", prg},
      {{"-", "-loadext:prg", "-txt:-"}, "2>/dev/null <game.prg", "10 PRINT \"{clear}HI\":GOTO 10\n20 END\n"},
      {{"game.txt", "-prg:/dev/stdout", "-txt:/dev/null"}, "2>/dev/null", prg},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.args[1]);
    auto r = RunVantrel(dir.Path(), row.args, row.redirect);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.output, row.out);
  }
  auto r = RunVantrel(dir.Path(), {"-", "-prg:-"}, "<game.txt");
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(HasLine(r.output, "Error: Standard input needs -loadext to say what it holds (txt, prg or asm)"));
  r = RunVantrel(dir.Path(), {"-", "-loadext:txt", "-prg"}, "<game.txt");
  EXPECT_TRUE(HasLine(r.output, "Error: -prg needs a name when the input is standard input (-prg:- for standard output)"));
  EXPECT_EQ(test::EntriesIn(dir.Path()), 4u);  // game, again: no "-.prg", no "stdout.prg"
}

// Two runs creating the same file at once: exactly one of them may.
TEST(Cli, RacingRunsHaveOneWinner) {
  ScratchDir dir;
  test::WriteFile(dir.File("a.txt"), "10 PRINT \"A\"\n");
  test::WriteFile(dir.File("b.txt"), "10 PRINT \"B\"\n");
  const std::string race = "cd '" + dir.Path() + "' && for i in $(seq 20); do rm -f r.prg; "
                           "'" VANTREL_BINARY "' a.txt -prg:r -q >a.out 2>&1 & "
                           "'" VANTREL_BINARY "' b.txt -prg:r -q >b.out 2>&1 & "
                           "wait; cat a.out b.out; done";
  EXPECT_EQ(test::RunShell(race).output, [] {
    std::string expected;
    for (int i = 0; i < 20; ++i) expected += "Error: File already exists: r.prg\n";
    return expected;
  }());
  EXPECT_EQ(test::EntriesIn(dir.Path()), 5u);  // no temporary file left
}

}  // namespace
}  // namespace vantrel
