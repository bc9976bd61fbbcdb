// image_test_helpers.h: small builders and log readers the image tests share.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "image/program_file.h"
#include "log/msg_log.h"

namespace vantrel::test {

inline ProgramFile MakePrg(uint16_t load_address, std::vector<uint8_t> bytes, bool pending = false) {
  ProgramFile f;
  f.type = FileType::Prg;
  f.load_address = load_address;
  f.load_address_pending = pending;
  f.SetData(std::move(bytes));
  return f;
}

inline std::vector<std::string> Texts(const MsgLog& log, MessageLevel level = MessageLevel::Error) {
  std::vector<std::string> out;
  for (const MsgLogMsg& m : log.Messages())
    if (m.level == level) out.push_back(m.text);
  return out;
}

inline size_t EntriesIn(const std::string& dir) {
  return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(dir), {}));
}

}  // namespace vantrel::test
