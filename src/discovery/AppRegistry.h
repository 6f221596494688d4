#pragma once
// The process-wide list of installed, user-launchable applications. Created on first use: it
// starts a background scan and watches the application folders; a burst of folder changes leads
// to one rescan, 1 second after the last change. The list is empty until the first scan ends.

#include <memory>
#include <mutex>
#include <vector>

#include "model/AppItem.h"
#include "platform/Dispatch.h"
#include "platform/FileSystem.h"

namespace vantlo {

class AppRegistry : public std::enable_shared_from_this<AppRegistry> {
  public:
    static constexpr double kRescanDelay = 1.0;

    static AppRegistry& shared();
    // Drops the shared registry with its watches (tests); a scan under way stores nothing.
    static void resetShared();

    // A copy of the last completed scan, sorted by name.
    std::vector<AppItem> apps() const;
    // Rescans on a background queue and swaps the list in when done.
    void reload();
    // Debounced rescan: (re)schedules one `reload` 1 second from now on the main queue. Safe to
    // call from any thread.
    void scheduleReload();

  private:
    void startWatching();
    void scheduleReloadOnMain();

    mutable std::mutex mutex_;
    std::vector<AppItem> apps_;
    // Kept for the life of the registry; touched only while it is being created.
    std::vector<Subscription> watches_;
    // Main queue only.
    WorkItemRef pendingReload_;
};

}  // namespace vantlo
