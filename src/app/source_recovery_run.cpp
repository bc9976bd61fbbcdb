// -asm in a BASIC run: the machine code loaded (the whole program with
// -notbasic, else the code behind the BASIC program) written as assembler
// source that assembles back to the same bytes.
#include "app/converter.h"
#include "asm/source_recovery.h"

namespace vantrel {

void Converter::WriteRecoveredSource() {
  const AddressRange range = basic_->NotBasic() ? memory_->Used() : memory_->RangeBehindBasic();
  ProgramFile code;
  if (range.IsEmpty() || !memory_->Extract(range, code)) {
    log_->ReportWarning("No machine code to save as source");
    return;
  }
  const std::string& path = options_.asm_source.Text();
  log_->ReportInfo("Saving asm source file: " + path);
  outputs_.Add(*log_, path, RecoveredSource(*opcodes_, code.Bytes(), code.load_address),
               {"Could not open asm source file: " + path, "Error writing " + path});
}

}  // namespace vantrel
