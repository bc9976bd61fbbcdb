// text/input_file.h: reading an input file whole. The name "-" stands for
// standard input, which is read once and kept, so that every reader of the
// run sees the same bytes.
#pragma once

#include <cstdint>
#include <string>

namespace vantrel {

inline constexpr const char* kStandardInputName = "-";

bool IsStandardInput(const std::string& path);
// A regular file, or standard input.
bool InputExists(const std::string& path);

enum class ReadStatus { Ok, Missing, TooLarge, Failed };

// Reads the whole file into `content`, refusing more than `limit` bytes
// before it allocates them.
ReadStatus ReadInputFile(const std::string& path, uintmax_t limit, std::string& content);

}  // namespace vantrel
