// image/hex_dump.h: the text dump of a program's bytes used by .hex files:
// sixteen bytes a line, with the address in front and the characters behind.
#pragma once

#include <string>

#include "image/program_file.h"

namespace vantrel {

// One line per 16 bytes (the last may be shorter), each ended by "\n":
// "0801: 0b 08 ...|.....". A pending load address is taken out first.
std::string HexDump(const ProgramFile& file, bool with_addresses, bool with_characters);

}  // namespace vantrel
