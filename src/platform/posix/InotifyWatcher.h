#pragma once
// Folder change events through inotify: one descriptor and one background thread serve every
// watch of the owner; handlers run on that thread.

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace vantlo {

class InotifyWatcher {
  public:
    using Handler = std::function<void()>;

    InotifyWatcher();
    ~InotifyWatcher();
    InotifyWatcher(const InotifyWatcher&) = delete;
    InotifyWatcher& operator=(const InotifyWatcher&) = delete;

    // A token for the watch, or 0 when the folder cannot be watched.
    std::uint64_t add(const std::string& path, Handler handler);
    void remove(std::uint64_t token);

  private:
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
