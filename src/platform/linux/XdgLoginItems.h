#pragma once
// Start at login on a freedesktop desktop: an autostart entry
// $XDG_CONFIG_HOME/autostart/com.local.vantlo.desktop that starts this executable.

#include <string>

#include "platform/LoginItems.h"

namespace vantlo {

class XdgLoginItems : public LoginItems {
  public:
    // `entryPath`: where the autostart entry lives; `executable`: what it starts.
    XdgLoginItems(std::string entryPath, std::string executable);
    // The entry path from the environment ($XDG_CONFIG_HOME or ~/.config).
    static std::string defaultEntryPath(const std::string& home);

    LoginItemStatus status() override;
    std::string registerItem() override;
    std::string unregisterItem() override;

  private:
    std::string entryPath_;
    std::string executable_;
};

}  // namespace vantlo
