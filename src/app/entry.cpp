#include "app/entry.h"

#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "app/cmd_line_params.h"
#include "app/converter.h"
#include "app/usage.h"

namespace vantrel {

namespace {

void Print(std::FILE* stream, const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stream);
  std::fflush(stream);
}

// argv[0] may be a bare name found on PATH; the kernel knows the real file.
std::string OwnExecutablePath(const char* argv0) {
  char buf[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n > 0) return std::string(buf, static_cast<size_t>(n));
  return argv0 ? argv0 : "";
}

bool Mentions(CmdLineParams& params, std::initializer_list<const char*> words) {
  for (const char* word : words)
    if (CmdLineParams::Found(params.FindParam(word, false))) return true;
  return false;
}

}  // namespace

int Entry(int argc, char** argv) {
  std::srand(static_cast<unsigned>(std::time(nullptr) & 0xFFFF));

  std::vector<std::string> args;
  args.push_back(OwnExecutablePath(argc > 0 ? argv[0] : nullptr));
  for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
  CmdLineParams params(args);
  if (params.Empty()) {
    Print(stdout, BannerText() + UsageText());
    return -1;
  }
  if (Mentions(params, {"help", "?", "h"})) {
    Print(stdout, BannerText() + UsageText());
    return 0;
  }
  if (Mentions(params, {"version"})) {
    Print(stdout, std::string("Vantrel ") + kVersion + "\n");
    return 0;
  }
  if (!Mentions(params, {"quiet", "q"})) Print(stderr, BannerText());
  std::unique_ptr<Converter> converter;
  bool ok = false;
  try {
    converter = std::make_unique<Converter>();
    ok = converter->Run(params);
  } catch (const std::bad_alloc&) {
    // Only when even the report found no room: a text that needs none.
    std::fputs("Fatal: ", stderr);
    std::fputs(kOutOfMemory, stderr);
    std::fputs("\n", stderr);
  }
#if defined(__SANITIZE_ADDRESS__)
  converter.reset();
#else
  // Every file is written and closed by now; freeing the objects of a large
  // assembly one by one costs more than the rest of the exit, and the system
  // takes the memory back anyway. The pointer stays reachable.
  static Converter* const finished = converter.release();
  (void)finished;
#endif
  return ok ? 0 : 1;
}

}  // namespace vantrel
