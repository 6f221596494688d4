#pragma once
// Reports when watched processes end, through pidfds polled on one background thread.

#include <functional>
#include <map>
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
    void run();
    void wake();

    Handler handler_;
    int wake_ = -1;
    std::mutex mutex_;
    std::map<Pid, int> descriptors_;
    bool stopping_ = false;
    std::thread thread_;
};

}  // namespace vantlo
