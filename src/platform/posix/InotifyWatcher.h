#pragma once
// Folder change events through inotify: one descriptor and one background thread serve every
// watch of the owner; handlers run on that thread. A watch keeps the watcher alive.

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "platform/Subscription.h"

namespace vantlo {

class InotifyWatcher : public std::enable_shared_from_this<InotifyWatcher> {
  public:
    using Handler = std::function<void()>;

    static std::shared_ptr<InotifyWatcher> create();
    ~InotifyWatcher();
    InotifyWatcher(const InotifyWatcher&) = delete;
    InotifyWatcher& operator=(const InotifyWatcher&) = delete;

    // Watches `path` while the Subscription lives; an empty one when it cannot be watched.
    Subscription add(const std::string& path, Handler handler);

  private:
    InotifyWatcher();
    void remove(std::uint64_t token);
    struct Watch {
        int descriptor;
        std::shared_ptr<Handler> handler;
    };

    void run(std::shared_ptr<std::atomic<bool>> alive);
    void deliver(int descriptor, const std::atomic<bool>& alive);

    int inotify_ = -1;
    int wake_ = -1;
    std::mutex mutex_;
    std::uint64_t nextToken_ = 1;
    std::map<std::uint64_t, Watch> watches_;
    // Checked after every handler call: a handler may drop the last owner of this watcher.
    std::shared_ptr<std::atomic<bool>> alive_ = std::make_shared<std::atomic<bool>>(true);
    std::thread thread_;
};

}  // namespace vantlo
