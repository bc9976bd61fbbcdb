// source/source_loader_msg_log.h: the run's message log: Info kept but not
// shown, Warning and above shown, Info printed without a prefix.
#pragma once

#include "app/msg_log.h"

namespace vantrel {

class SourceLoaderMsgLog : public MsgLog {
 public:
  SourceLoaderMsgLog() {
    SetEcho(true);
    SetLevelName(static_cast<int32_t>(MessageLevel::Info), "");
    SetKeepThreshold(static_cast<int32_t>(MessageLevel::Info));
    SetConsoleThreshold(static_cast<int32_t>(MessageLevel::Warning));
  }
};

}  // namespace vantrel
