#pragma once
// An update framework that only remembers its two settings and counts checks.

#include <atomic>

#include "platform/Updater.h"

namespace vantlo {

class FakeUpdater : public Updater {
  public:
    void checkForUpdates() override { ++checks_; }
    bool automaticallyChecksForUpdates() override { return checksAutomatically_; }
    void setAutomaticallyChecksForUpdates(bool value) override { checksAutomatically_ = value; }
    bool automaticallyDownloadsUpdates() override { return downloadsAutomatically_; }
    void setAutomaticallyDownloadsUpdates(bool value) override { downloadsAutomatically_ = value; }
    int checkCount() const { return checks_; }

  private:
    std::atomic<int> checks_{0};
    std::atomic<bool> checksAutomatically_{true};
    std::atomic<bool> downloadsAutomatically_{false};
};

}  // namespace vantlo
