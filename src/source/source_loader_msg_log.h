// source/source_loader_msg_log.h: the run's message log: Info kept but not
// shown, Warning and above shown, Info printed without a prefix.
#pragma once

#include "log/msg_log.h"

namespace vantrel {

class SourceLoaderMsgLog : public MsgLog {
 public:
  SourceLoaderMsgLog() {
    SetEcho(true);
    SetLevelName(MessageLevel::Info, "");
    SetKeepThreshold(MessageLevel::Info);
    SetConsoleThreshold(MessageLevel::Warning);
  }
};

}  // namespace vantrel
