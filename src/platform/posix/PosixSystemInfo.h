#pragma once
// Facts about the running Linux system for diagnostics: the distribution from os-release and the
// kernel and machine from uname.

#include <string>

#include "platform/SystemInfo.h"

namespace vantlo {

class PosixSystemInfo : public SystemInfo {
  public:
    std::string operatingSystemName() override;
    // "Debian GNU/Linux 12 (bookworm), kernel 6.1.0-18-amd64".
    std::string operatingSystemVersion() override;
    std::string machineArchitecture() override;

    // The distribution named by an os-release text (PRETTY_NAME, else NAME and VERSION_ID);
    // empty when it names none.
    static std::string distributionName(const std::string& osRelease);
};

}  // namespace vantlo
