#include "app/entry.h"

#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "app/cmd_line_params.h"
#include "app/converter.h"
#include "app/usage.h"

namespace vantrel {

namespace {

void Print(const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fflush(stdout);
}

// argv[0] may be a bare name found on PATH; the kernel knows the real file.
std::string OwnExecutablePath(const char* argv0) {
  char buf[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n > 0) return std::string(buf, static_cast<size_t>(n));
  return argv0 ? argv0 : "";
}

bool WantsHelp(CmdLineParams& params) {
  if (params.Empty()) return true;
  for (const char* word : {"help", "?", "h"})
    if (CmdLineParams::Found(params.FindParam(word))) return true;
  return false;
}

}  // namespace

int Entry(int argc, char** argv) {
  Print(BannerText());
  std::srand(static_cast<unsigned>(std::time(nullptr) & 0xFFFF));

  std::vector<std::string> args;
  args.push_back(OwnExecutablePath(argc > 0 ? argv[0] : nullptr));
  for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
  CmdLineParams params(args);
  if (WantsHelp(params)) {
    Print(UsageText());
    return -1;
  }
  Converter converter;
  return converter.Run(params) ? 0 : 1;
}

}  // namespace vantrel
