// asm/vice_labels.h: the label file VICE's monitor reads (x64sc
// -moncommands FILE, or "ll" in the monitor): one "al C:c000 .name" line
// per address name and one "break C:c000" line per break pseudo-op.
#pragma once

#include <string>
#include <vector>

namespace vantrel {

class AsmPrg;
struct AddressName;

// The file's text; empty when there is nothing to write. `extra` names
// come first, then the program's labels and address equates in source
// order, then its breaks.
std::string ViceLabelText(const AsmPrg& program, const std::vector<AddressName>& extra);

}  // namespace vantrel
