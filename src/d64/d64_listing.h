// d64/d64_listing.h: the directory as LOAD"$",8 and LIST show it on a C64:
// disk name and id, each file's blocks, quoted name and type with its
// unclosed and locked marks, and the blocks free.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "d64/d64_directory.h"
#include "d64/d64_image.h"

namespace vantrel {

// One line per row of the listing, ended by "\n". Text is shown in the C64's
// lower-case character set, the way names are typed here, so every name
// between quotes types back to the file.
std::string DirectoryListing(const D64Image& image, const std::vector<DirEntry>& entries);

// The parts, for other containers' listings: the header line (name and id
// between $A0 shown as blanks) and one line a file.
std::string ListingHeader(std::string_view name, std::string_view id);
std::string ListingLines(const std::vector<DirEntry>& entries);

}  // namespace vantrel
