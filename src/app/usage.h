// app/usage.h: the banner and the usage text.
#pragma once

#include <string>

namespace vantrel {

inline constexpr int kConsoleWidth = 79;
inline constexpr const char* kVersion = "4.01";

std::string BannerText();
std::string UsageText();

}  // namespace vantrel
