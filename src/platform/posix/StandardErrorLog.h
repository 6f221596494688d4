#pragma once
// The log on a plain POSIX system: one line per message on standard error, which the desktop
// session (or systemd's journal, when Vantlo runs as a user service) collects.

#include <mutex>

#include "platform/Log.h"

namespace vantlo {

class StandardErrorLog : public Log {
  public:
    void write(const std::string& line) override;

  private:
    std::mutex mutex_;
};

}  // namespace vantlo
