#pragma once
// The process-wide cache of the last window list, so the switcher can open at once and refresh
// in the background. Refreshes are coalesced: while one background enumeration runs, further
// requests join it, and all their completions run together in one main-queue task, in the order
// they were registered.

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "model/WindowItem.h"

namespace vantlo {

class WindowEnumeratorCache : public std::enable_shared_from_this<WindowEnumeratorCache> {
  public:
    using Completion = std::function<void()>;

    static WindowEnumeratorCache& shared();
    // Drops the shared cache (tests). A refresh still running stores nothing and calls back no one.
    static void resetShared();

    // Starts a background refresh, or joins the one under way. `completion`, when given, runs on
    // the main queue after that refresh stored its result.
    void refreshAsync(Completion completion = {});
    // Enumerates on the calling thread, stores and returns the result. A background refresh
    // finishing later replaces it with its own.
    std::vector<WindowItem> refreshSync();
    // True when the cache holds windows stored at most `maxAge` seconds ago.
    bool isFresh(double maxAge) const;
    // A copy of the last stored list.
    std::vector<WindowItem> cached() const;

  private:
    void store(std::vector<WindowItem> windows);

    mutable std::mutex mutex_;
    std::vector<WindowItem> cached_;
    std::optional<double> refreshedAt_;
    bool refreshing_ = false;
    std::vector<Completion> completions_;
};

}  // namespace vantlo
