// asm/source_listing.h: the listing of an assembler run: each source line
// as written beside its address and the bytes it placed, macro expansions
// under their call, and a mark where an included file starts and ends.
#pragma once

#include <string>

namespace vantrel {

class AsmPrg;

// The listing text; empty when nothing was built.
std::string SourceListing(const AsmPrg& program);

}  // namespace vantrel
