// basic/bas_program.h: the BASIC program as lines of elements. Text sources
// are tokenized into it and loaded program files detokenized into it; it is
// then prepared, written into the memory image and written out as text.
#pragma once

#include <cstdint>
#include <deque>
#include <span>
#include <string_view>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "basic/bas_line.h"
#include "basic/dialect.h"
#include "basic/line_index.h"
#include "basic/line_lexer.h"
#include "basic/line_numbering.h"
#include "basic/supervariables.h"
#include "basic/text_writer.h"
#include "image/address_range.h"
#include "image/memory_image.h"
#include "image/output_set.h"
#include "image/program_file.h"
#include "petscii/alpha_mode.h"
#include "petscii/petscii_codes.h"
#include "petscii/token_table.h"
#include "source/source_loader.h"

namespace vantrel {

class LineMemory;

// -keepcode: the bytes behind a BASIC program go into its text as data
// lines, or as instructions where they decode to documented ones.
enum class KeepCode { Off, Data, Asm };

struct BasOptions {
  bool crunch = false;
  bool autospace = false;
  bool translateCodes = true;
  bool countRepeats = true;
  bool remRemoval = false;
  bool keywordShortcuts = false;
  bool debugDump = false;
  bool notBasic = false;
  CharacterCase keywordCase = CharacterCase::Auto;
  CharacterCase variableCase = CharacterCase::Auto;
  KeepCode keepCode = KeepCode::Off;
};

class BasProgram {
 public:
  static constexpr uint16_t kUnsetAddress = 0xFFFF;

  BasProgram(SourceLoader& loader, MemoryImage& memory, PetsciiCodes& codes);

  BasOptions& Options() { return options_; }
  void SetDebug(bool on) { options_.debugDump = on; }
  void SetNotBasic(bool on) { options_.notBasic = on; }
  bool NotBasic() const { return options_.notBasic; }
  void SetTokenizeOptions(bool rem_removal, bool autospace, bool crunch);
  void SetDetokenizeOptions(bool autospace, bool crunch, bool translate_codes, bool rem_removal,
                            bool supervariables, CharacterCase key_case, CharacterCase variable_case);

  // The BASIC version or extension whose keywords apply from now on; false
  // (and an error) for a name no dialect has (dialect_use.cpp).
  bool SetDialect(std::string_view name, SourcePos at = {});
  // Tokenizes the loader's BASIC lines (those not tokenized yet).
  bool Tokenize();
  bool HasStatements() const;
  void ResetStartAddress() { load_address_ = header_address_ = kUnsetAddress; }
  // Detokenizes a loaded program file.
  bool Detokenize(ProgramFile file);
  // Prepares the lines and writes them into memory; with -notbasic the
  // memory keeps the loaded bytes.
  bool WriteIntoMemory();
  // What WriteIntoMemory does before writing: references, REM removal,
  // crunching and spacing, line numbers.
  bool Prepare();
  // Prepares a loaded program that is wanted only as text, with the
  // warnings writing it back would give. Not for spaced-out programs, which
  // can outgrow memory.
  bool PrepareText();
  // Where the bytes behind the written program start.
  uint16_t EndAddress() const { return static_cast<uint16_t>(end_address_); }
  // The value of an assembler symbol; none when it is unknown.
  using SymbolValue = std::function<std::optional<uint16_t>(const std::string& name)>;
  // Writes each {sym:name}'s value into the program's text.
  void PatchSymbolReferences(const SymbolValue& value_of);
  // Puts loaded code behind the program back, unless new code took its place.
  void RestoreSavedCode();
  // Takes the used memory as Program().
  bool ExtractProgram();
  const ProgramFile& Program() const { return program_file_; }
  // The machine code kept behind a loaded program for the text outputs;
  // null when there is none.
  const ProgramFile* KeptCode() const { return code_kept_ ? &saved_code_ : nullptr; }

  // `kept_code` (an {asm} block or nothing) ends the text.
  bool WriteTxt(OutputSet& out, const std::string& path, const std::string& kept_code);
  bool WriteLbl(OutputSet& out, const std::string& path, const std::string& kept_code);
  std::vector<std::string> LabelAssignments() const;
  // The -supervariables table as printed after a run.
  std::string SupervariableTable() const;

 private:
  // The line a reference element names (a label-only line forwards to the
  // next line with code); null when none.
  const BasLine* ResolveReference(const BasElement& element) const;

  // Tokenizing (tokenizer.cpp).
  void ResetNumbering();
  std::unique_ptr<BasLine> TokenizeLine(SourcePos at, std::string_view text);
  // Moves the elements read into `line`, which takes only the room they need.
  void TakeElements(BasLine& line);
  bool HandleLineStart(BasLine& line, BasElement& e, bool& at_start);
  void DirectiveAtTokenize(BasLine& line, BasElement& e);
  // Checks on source text (source_checks.cpp).
  bool TakePetcatHeader(const SourceLine& text);
  bool IsPetcatComment(const SourceLine& text);
  void ReadPetcatCharacter(BasElement& e) const;
  void HintPetcat(const BasLine& line);
  void HintPetcatOnce(const std::string& reason, SourcePos at);
  bool CleanElementText(BasElement& e, SourcePos at);
  bool QuestionMarkStatement(const BasElement& e, bool& statement_start);
  void WarnQuestionMark(SourcePos at);
  void ApplyLoadAddress(const std::string& argument, uint16_t& target, SourcePos at);
  void ApplyVar(BasElement& e, const std::string& argument, SourcePos at);
  void ApplySym(BasElement& e, const std::string& argument);
  void SetLoadAddress(uint16_t address, uint16_t& target, SourcePos at);
  // A line of one directive for the text outputs, made by the detokenizer.
  void AddDirectiveLine(TokenizerDirective directive, std::string_view name, const std::string& argument);
  // `bodies`: the bytes of each loaded line.
  void WarnOtherDialect(uint16_t load_address, std::span<const std::string_view> bodies);
  void HintOtherDialect(const BasLine& line);

  // Line numbers and labels (line_numbers.cpp).
  void RegisterLine(BasLine& line);
  void MakeReferences(BasLine& line);
  bool MarkTarget(BasElement& e, SourcePos at);
  void WarnMissingTargets();
  bool PreviousIsGo(const BasLine& line, size_t i) const;
  BasLine* FindTarget(const std::string& key) const;
  void LinkLabelLines();
  void AssignLabel(const std::string& argument, SourcePos at);
  std::string LabelAssignmentText(const BasLine& line) const;

  // Preparing and writing into memory (program_prepare.cpp, program_writer.cpp).
  void RemoveRems();
  void CrunchAndSpace();
  void CrunchLine(BasLine& line);
  void SpaceLine(BasLine& line);
  bool WriteLines();
  bool WriteLine(BasLine& line, LineMemory& memory);
  void DirectiveAtWrite(const BasElement& e, SourcePos at);
  bool SetSwitch(bool& option, std::string_view argument, const char* label, SourcePos at);
  std::string ElementToBytes(const BasElement& e, SourcePos at);
  std::string TypedBytes(std::string_view text) const;
  std::string RemainderBytes(std::string_view text) const;
  // False, and a warning when they overlap, if the code kept behind a
  // loaded program cannot go back behind `program`.
  bool SavedCodeFits(const AddressRange& program);

  // Detokenizing (detokenizer.cpp).
  bool LoadPrg(ProgramFile& file);
  // Reads the line at address `cursor` of `bytes`, the loaded bytes from
  // `address` on, and adds its body to `bodies`.
  bool DetokenizeLine(BasLine& line, std::string_view bytes, uint16_t address, uint32_t& cursor, int32_t& previous,
                      std::vector<std::string_view>& bodies);
  std::string ElementToText(const BasElement& e, std::string_view line) const;
  std::string RemainderText(std::string_view bytes) const;
  // `raw`: the item's bytes, blanks around it included.
  std::string DataItemWithBlanks(const BasElement& e, std::string_view raw, std::string_view line) const;
  void DebugDump(const BasLine& line) const;

  // Text outputs (bas_program.cpp; the text itself comes from TextWriter).
  bool WriteText(OutputSet& out, const std::string& path, std::string text, const char* console_message,
                 const std::string& file_message);
  // The program in one of the writer's forms, after the supervariable
  // definitions and before `kept_code`; a loaded line no text form keeps is
  // warned about.
  std::string ProgramText(std::string (TextWriter::*form)() const, const std::string& kept_code);

  void ShareTranslation();

  SourceLoader& loader_;
  MsgLog& log_;
  MemoryImage& memory_;
  PetsciiCodes& codes_;
  const Dialect* dialect_ = &DefaultDialect();
  TokenTable keywords_;
  BasOptions options_;
  mutable Supervariables supervariables_;  // detokenizing names new variables

  std::vector<std::unique_ptr<BasLine>> lines_;
  std::vector<BasElement> elements_;  // the line being read
  LineIndex index_;
  size_t source_lines_done_ = 0;

  uint16_t load_address_ = kUnsetAddress;
  uint16_t header_address_ = kUnsetAddress;  // from a petcat header line
  bool petcat_text_ = false;       // lines are read as petcat wrote them
  bool petcat_hint_done_ = false;  // -alpha:petcat was suggested, or is moot
  bool dialect_hint_done_ = false;  // -dialect was suggested for a keyword
  bool renumber_requested_ = false;
  // Numeric jump targets no line had when references were made: a line
  // numbered later may still take the number.
  struct MissingTarget {
    SourcePos at;
    std::string key, text;
  };
  std::vector<MissingTarget> missing_targets_;
  LineNumbering numbering_{log_};
  int32_t last_line_number_ = -1;
  // The fewest bytes the lines tokenized so far take in memory.
  uint32_t least_bytes_ = 0;
  bool may_trim_ = false;  // crunching, spacing or REM removal may be on
  bool crunched_ = false;
  bool loaded_from_program_ = false;  // lines came numbered from a program file
  uint32_t end_address_ = 0x0100;
  // Where WriteLines put each {sym:name} placeholder.
  std::unordered_map<const BasElement*, uint32_t> symbol_slots_;
  // The texts of all elements: lines and elements come and go, these stay.
  TextArena texts_;
  ProgramFile saved_code_;
  bool code_kept_ = false;  // saved_code_ goes into text output
  ProgramFile program_file_;
};

}  // namespace vantrel
