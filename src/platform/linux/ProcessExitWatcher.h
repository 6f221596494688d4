#pragma once
// Reports when watched processes end, through pidfds polled on one background thread.

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/RunningApplication.h"

namespace vantlo {

class ProcessExitWatcher {
  public:
    // Called on the watcher's thread with the pid that ended.
    using Handler = std::function<void(Pid)>;

    explicit ProcessExitWatcher(Handler handler);
    ~ProcessExitWatcher();
    ProcessExitWatcher(const ProcessExitWatcher&) = delete;
    ProcessExitWatcher& operator=(const ProcessExitWatcher&) = delete;

    // Watches `pid` until it ends; watching a pid twice is one watch. False when it is gone.
    bool watch(Pid pid);

  private:
    void run(std::shared_ptr<std::atomic<bool>> alive);
    void wake();

    Handler handler_;
    int wake_ = -1;
    std::mutex mutex_;
    std::map<Pid, int> descriptors_;
    bool stopping_ = false;
    // Checked after every handler call: the handler may end the watcher's owner.
    std::shared_ptr<std::atomic<bool>> alive_ = std::make_shared<std::atomic<bool>>(true);
    std::thread thread_;
};

}  // namespace vantlo
