#include "basic/bas_program.h"

#include <cstdio>

#include "basic/basic_keywords.h"

namespace vantrel {

BasProgram::BasProgram(SourceLoader& loader, MemoryImage& memory, PetsciiCodes& codes)
    : loader_(loader),
      log_(loader.Log()),
      memory_(memory),
      codes_(codes),
      keywords_(MakeKeywordTable()) {}

void BasProgram::SetTokenizeOptions(bool rem_removal, bool autospace, bool crunch) {
  options_.remRemoval = rem_removal;
  options_.autospace = autospace;
  options_.crunch = crunch;
}

void BasProgram::SetDetokenizeOptions(bool autospace, bool crunch, bool translate_codes, bool rem_removal,
                                      bool supervariables, CharacterCase key_case, CharacterCase variable_case) {
  options_.autospace = autospace;
  options_.crunch = crunch;
  options_.translateCodes = translate_codes;
  options_.countRepeats = translate_codes;
  options_.remRemoval = rem_removal;
  options_.keywordCase = key_case;
  options_.variableCase = variable_case;
  supervariables_.SetEnabled(supervariables);
}

void BasProgram::ShareTranslation() {
  codes_.SetTranslateCodes(options_.translateCodes);
  codes_.SetCountRepeats(options_.countRepeats);
}

bool BasProgram::WriteTxt(OutputSet& out, const std::string& path, const std::string& kept_code) {
  return WriteText(out, path, ProgramText(&TextWriter::Txt, kept_code), "==> Exporting txt format",
                   "==> Saving in txt format: " + path);
}

bool BasProgram::WriteLbl(OutputSet& out, const std::string& path, const std::string& kept_code) {
  return WriteText(out, path, ProgramText(&TextWriter::Lbl, kept_code), "==> Exporting lbl format",
                   "==> Saving in label format: " + path);
}

std::string BasProgram::ProgramText(std::string (TextWriter::*form)() const, const std::string& kept_code) {
  const TextWriter writer(lines_, index_, keywords_);
  if (const BasLine* line = writer.FirstEmptyLine())
    log_.ReportWarning("Line " + line->text + " holds nothing and will be dropped when this text is tokenized");
  std::string text = (writer.*form)();
  if (supervariables_.Enabled()) text.insert(0, supervariables_.Definitions());
  return text += kept_code;
}

bool BasProgram::WriteText(OutputSet& out, const std::string& path, std::string text, const char* console_message,
                           const std::string& file_message) {
  log_.ReportInfo(PlaceOf(path) == OutputPlace::Console ? std::string(console_message) : file_message);
  return out.Add(log_, path, std::move(text), NoteFor(path, "Error writing " + path));
}

std::string BasProgram::SupervariableTable() const { return supervariables_.Dump(); }

}  // namespace vantrel
