#pragma once
// Stands in for the optional update framework. A platform without one installs no Updater.

namespace vantlo {

class Updater {
  public:
    virtual ~Updater() = default;
    virtual void checkForUpdates() = 0;
    virtual bool automaticallyChecksForUpdates() = 0;
    virtual void setAutomaticallyChecksForUpdates(bool value) = 0;
    virtual bool automaticallyDownloadsUpdates() = 0;
    virtual void setAutomaticallyDownloadsUpdates(bool value) = 0;
};

}  // namespace vantlo
