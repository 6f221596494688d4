#pragma once
// Stands in for facts about the running system, for diagnostics reports.

#include <string>

namespace vantlo {

class SystemInfo {
  public:
    virtual ~SystemInfo() = default;
    // "macOS" or "Linux".
    virtual std::string operatingSystemName() = 0;
    // "14.5 (23F79)" on macOS; distribution and kernel on Linux ("Debian GNU/Linux 12, kernel
    // 6.1.0-18-amd64"). "Unknown" when it cannot be read.
    virtual std::string operatingSystemVersion() = 0;
    // "arm64", "x86_64", ...
    virtual std::string machineArchitecture() = 0;
};

}  // namespace vantlo
