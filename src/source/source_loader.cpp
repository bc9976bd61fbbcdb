#include "source/source_loader.h"

#include <string>

#include "text/text_ops.h"

namespace vantrel {

SourceLoader::SourceLoader(SourceLoaderMsgLog& log, FileLocator& locator) : log_(log), locator_(locator) {}

bool SourceLoader::LoadSource(const std::string& name, SourceType) {
  return log_.ReportError("Loading text sources is not supported yet: " + name);
}

void SourceLoader::DefinePredefined() {}
void SourceLoader::DefineVariable(const std::string&) {}
void SourceLoader::DefineVariable(const std::string&, const std::string&) {}
bool SourceLoader::IsDefined(const std::string&) const { return false; }
std::string SourceLoader::VariableValue(const std::string&) const { return {}; }

std::string SourceLoader::ContextText(const std::string& message) const { return message; }
bool SourceLoader::Error(const std::string& message) { return log_.ReportError(ContextText(message)); }
bool SourceLoader::Fatal(const std::string& message) { return log_.ReportFatal(ContextText(message)); }
bool SourceLoader::Warning(const std::string& message) { return log_.ReportWarning(ContextText(message)); }
bool SourceLoader::Info(const std::string& message) { return log_.ReportInfo(ContextText(message)); }

void SourceLoader::SetContext(int32_t file_key, int32_t line_number) {
  context_key_ = file_key;
  context_line_ = line_number;
}

void SourceLoader::UpdateBuildRevision() {}

void SourceLoader::Summary(const std::string& program_name) {
  const std::string tally = std::to_string(log_.CountAt(static_cast<int32_t>(MessageLevel::Error))) +
                            " Errors; " +
                            std::to_string(log_.CountAt(static_cast<int32_t>(MessageLevel::Warning))) +
                            " Warnings";
  const std::string rule = Repeat('=', tally.size());
  const bool failed = log_.CountAt(static_cast<int32_t>(MessageLevel::Error)) > 0;
  log_.SetConsoleThreshold(0);
  log_.ReportInfo(rule);
  log_.ReportInfo(tally);
  log_.ReportInfo(rule);
  log_.ReportInfo(program_name + (failed ? " failed." : " finished"));
}

}  // namespace vantrel
