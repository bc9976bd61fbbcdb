// image/safe_write.h: the one way any output file is written. The bytes go
// to a temporary file beside the target, which is renamed over it only when
// every byte is on disk, so a failed write never leaves a truncated file or
// damages the old one.
#pragma once

#include <string>
#include <string_view>

namespace vantrel {

// Returns false with a short reason ("No such file or directory", ...) when
// the file could not be written; the target is then untouched. An existing
// target must be a regular file, or a link to one, which stays a link; it
// keeps its permission bits.
bool WriteFileSafely(const std::string& path, std::string_view bytes, std::string& reason);

// A seam for tests: makes the next WriteFileSafely fail at the given step.
enum class WriteFault { None, ShortWrite, FailedClose, FailedRename };
void InjectWriteFaultForTesting(WriteFault fault);

}  // namespace vantrel
