#pragma once
// Stands in for the system log, where Vantlo writes its few "[Vantlo] ..." lines.

#include <string>

namespace vantlo {

class Log {
  public:
    virtual ~Log() = default;
    // Writes one line; never fails (a log that cannot be written drops the line).
    virtual void write(const std::string& line) = 0;
};

}  // namespace vantlo
