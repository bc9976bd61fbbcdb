#include "d64/d64_file_spec.h"

#include <gtest/gtest.h>

#include "d64/d64_test_support.h"

namespace vantrel {
namespace {

TEST(D64FileSpec, C64NameSyntax) {
  struct Row {
    const char* text;
    bool ok;
    DiskCommand command;
    int drive;
    const char* name;
    FileType kind;
    FileMode mode;
  };
  const Row rows[] = {
      {"MYPROG", true, DiskCommand::Plain, 0, "MYPROG", FileType::Prg, FileMode::Read},
      {"\"MY PROG\"", true, DiskCommand::Plain, 0, "MY PROG", FileType::Prg, FileMode::Read},
      {"@:MYPROG", true, DiskCommand::Replace, 0, "MYPROG", FileType::Prg, FileMode::Read},
      {"@1:MYPROG", true, DiskCommand::Replace, 1, "MYPROG", FileType::Prg, FileMode::Read},
      {"0:MYPROG", false, DiskCommand::Invalid, 0, "", FileType::Prg, FileMode::Read},
      {"s0:OLD", true, DiskCommand::Scratch, 0, "OLD", FileType::Prg, FileMode::Read},
      {":COLON", true, DiskCommand::Plain, 0, ":COLON", FileType::Prg, FileMode::Read},
      {"DATA,S,W", true, DiskCommand::Plain, 0, "DATA", FileType::Seq, FileMode::Write},
      {"DATA,usr,r", true, DiskCommand::Plain, 0, "DATA", FileType::Usr, FileMode::Read},
      {"$", true, DiskCommand::Directory, 0, "$", FileType::Prg, FileMode::Read},
      {"", false, DiskCommand::Plain, 0, "", FileType::Prg, FileMode::Read},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    D64FileSpec spec;
    EXPECT_EQ(ParseC64Name(row.text, 0, spec), row.ok);
    EXPECT_EQ(spec.command, row.command);
    if (!row.ok) continue;
    EXPECT_EQ(spec.drive, row.drive);
    EXPECT_EQ(spec.name, row.name);
    EXPECT_EQ(spec.kind, row.kind);
    EXPECT_EQ(spec.mode, row.mode);
  }
}

TEST(D64FileSpec, ImageSpecs) {
  struct Row {
    const char* text;
    bool is_spec;
    const char* image;  // empty: parse fails with `message`
    const char* message;
  };
  const Row rows[] = {
      {"games::ROCKET", true, "games.d64", ""},
      {"dir/games.D64::\"ROCKET\"", true, "dir/games.D64", ""},
      {"\"work.d64::@:GAME\"", true, "work.d64", ""},
      {"game.prg::X", true, "game.prg", ""},
      {"games.d64", false, "", "Error: Incorrect D64::C64 filename syntax\n"},
      {"::ROCKET", false, "", "Error: Incorrect D64::C64 filename syntax\n"},
      {"games::", false, "", "Error: Incorrect D64::C64 filename syntax\n"},
      {"games::0:ROCKET", true, "", "Error: Incorrect D64::C64 filename syntax\n"},
      {"games::\"\"", true, "", "Error: filename is blank\n"},
      {"games::@:", true, "", "Error: filename is blank\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    EXPECT_EQ(IsImageSpec(row.text), row.is_spec);
    MsgLog log;
    D64FileSpec spec;
    const bool ok = ParseImageSpec(log, row.text, spec);
    EXPECT_EQ(ok, *row.image != '\0');
    EXPECT_EQ(test::Transcript(log), row.message);
    if (ok) {
      EXPECT_EQ(spec.image_path.Text(), row.image);
    }
  }
}

TEST(D64FileSpec, Wildcards) {
  struct Row {
    const char* pattern;
    const char* name;
    bool match;
  };
  const Row rows[] = {
      {"ROCK*", "ROCKET", true},  {"ROCK*", "ROCK", true},     {"R?CKET", "ROCKET", true},
      {"R?CKET", "RCKET", false}, {"rocket", "ROCKET", false}, {"ROCK", "ROCKET", false},
      {"*O*E?", "ROCKET", true},  {"A*B*C", "AXBYBZC", true},  {"A*B*C", "AXBYCZ", false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.pattern) + " " + row.name);
    EXPECT_EQ(MatchesPattern(row.pattern, row.name), row.match);
  }
}

}  // namespace
}  // namespace vantrel
