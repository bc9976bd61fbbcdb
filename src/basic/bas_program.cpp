#include "basic/bas_program.h"

#include <cstdio>

#include "basic/basic_keywords.h"

namespace vantrel {

BasProgram::BasProgram(FileLocator& locator, SourceLoader& loader, MemoryImage& memory, PetsciiCodes& codes)
    : locator_(locator),
      loader_(loader),
      log_(loader.Log()),
      memory_(memory),
      codes_(codes),
      keywords_(MakeKeywordTable()),
      directives_(MakeDirectiveTable()) {}

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

std::string BasProgram::SupervariableTable() const { return supervariables_.Dump(); }

}  // namespace vantrel
