#pragma once
// The recency history: when each switch item and each application was last used, so the list
// can be ordered most recently used first. Two bounded maps from key to time, saved to the user
// defaults half a second after the last change. Safe to call from any thread.

#include <cstddef>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "platform/Dispatch.h"
#include "platform/RunningApplication.h"

namespace vantlo {

class MRUStore : public std::enable_shared_from_this<MRUStore> {
  public:
    // Seconds since 1970, as the clock gives them.
    using Timestamp = double;
    using TimeMap = std::map<std::string, Timestamp>;

    static constexpr const char* kWindowKey = "Vantlo.MRU.window";
    static constexpr const char* kAppKey = "Vantlo.MRU.app";
    static constexpr std::size_t kWindowLimit = 500;
    static constexpr std::size_t kAppLimit = 200;
    static constexpr double kPersistDelay = 0.5;
    // The score of something never used: January 1st of the year 1, before every real time.
    static constexpr Timestamp kDistantPast = -62135596800.0;

    // The process-wide store, loaded from the defaults on first use.
    static MRUStore& shared();
    // Drops the shared store; the next `shared()` loads afresh (tests).
    static void resetShared();

    // An item was committed from the panel (`key` is its recency key).
    void touch(const std::string& key);
    // An application became active: records it and, when readable, its focused window.
    void touchApp(const RunningApplication& app);
    // The later of the item's own last use and its application's last activation.
    Timestamp score(const std::string& mruKey, const std::optional<std::string>& bundleID) const;

    // Copies of the maps (inspection and tests).
    TimeMap windowMap() const;
    TimeMap appMap() const;

    // Keeps the `limit` newest entries, and every entry that ties with the oldest of them.
    static void cap(TimeMap& map, std::size_t limit);

  private:
    MRUStore();

    static TimeMap load(const std::string& key);
    void record(TimeMap& map, const std::string& key, std::size_t limit);
    void schedulePersist();
    void persist();

    mutable std::mutex mutex_;
    TimeMap windowMap_;
    TimeMap appMap_;
    // Main queue only.
    WorkItemRef pendingPersist_;
};

}  // namespace vantlo
