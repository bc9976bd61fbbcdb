// app/entry.h: the process entry: banner, help, and one Converter run.
#pragma once

namespace vantrel {

// Returns the process exit status: -1 after the usage text shown for no
// arguments, 0 after help or the version, 1 when an error was reported,
// else 0.
int Entry(int argc, char** argv);

}  // namespace vantrel
