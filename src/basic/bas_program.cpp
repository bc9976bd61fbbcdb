#include "basic/bas_program.h"

namespace vantrel {

BasProgram::BasProgram(FileLocator& locator, SourceLoader& loader, MemoryImage& memory)
    : locator_(locator), loader_(loader), memory_(memory) {}

void BasProgram::SetTokenizeOptions(bool, bool, bool) {}
void BasProgram::SetDetokenizeOptions(bool, bool, bool, bool, bool, int32_t, int32_t) {}

bool BasProgram::Tokenize() { return loader_.Log().ReportError("BASIC text input is not supported yet"); }
bool BasProgram::HasStatements() const { return false; }
void BasProgram::ResetStartAddress() {}
bool BasProgram::Detokenize(const ProgramFile&) {
  return loader_.Log().ReportError("BASIC program input is not supported yet");
}
bool BasProgram::PlaceIntoMemory() { return loader_.Log().ReportError("BASIC output is not supported yet"); }

bool BasProgram::WriteTxt(const std::string&, bool) {
  return loader_.Log().ReportError(".txt output is not supported yet");
}
bool BasProgram::WriteLbl(const std::string&, bool) {
  return loader_.Log().ReportError(".lbl output is not supported yet");
}
bool BasProgram::WriteListing(const std::string&, bool, const AddressRange&) {
  return loader_.Log().ReportError(".lst output is not supported yet");
}
std::vector<std::string> BasProgram::LabelAssignments() const { return {}; }
void BasProgram::PrintSupervariables() const {}

}  // namespace vantrel
