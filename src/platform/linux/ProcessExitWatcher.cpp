#include "platform/linux/ProcessExitWatcher.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <vector>

namespace vantlo {
namespace {

int openPidfd(Pid pid) {
    return static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
}

}  // namespace

ProcessExitWatcher::ProcessExitWatcher(Handler handler) : handler_(std::move(handler)) {
    wake_ = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (wake_ >= 0)
        thread_ = std::thread([this, alive = alive_] { run(alive); });
}

ProcessExitWatcher::~ProcessExitWatcher() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    *alive_ = false;
    wake();
    // The handler's owner may let go of the watcher on the watcher's own thread.
    if (thread_.joinable() && std::this_thread::get_id() == thread_.get_id())
        thread_.detach();
    else if (thread_.joinable())
        thread_.join();
    for (const auto& [pid, fd] : descriptors_)
        ::close(fd);
    if (wake_ >= 0)
        ::close(wake_);
}

void ProcessExitWatcher::wake() {
    std::uint64_t one = 1;
    [[maybe_unused]] auto written = ::write(wake_, &one, sizeof one);
}

bool ProcessExitWatcher::watch(Pid pid) {
    if (!thread_.joinable() || pid < 1)
        return false;
    {
        std::lock_guard lock(mutex_);
        if (descriptors_.count(pid))
            return true;
    }
    int fd = openPidfd(pid);
    if (fd < 0)
        return false;
    {
        std::lock_guard lock(mutex_);
        if (!descriptors_.emplace(pid, fd).second) {
            ::close(fd);
            return true;
        }
    }
    wake();
    return true;
}

void ProcessExitWatcher::run(std::shared_ptr<std::atomic<bool>> alive) {
    for (;;) {
        std::vector<pollfd> fds{{wake_, POLLIN, 0}};
        std::vector<Pid> pids;
        {
            std::lock_guard lock(mutex_);
            if (stopping_)
                return;
            for (const auto& [pid, fd] : descriptors_) {
                fds.push_back({fd, POLLIN, 0});
                pids.push_back(pid);
            }
        }
        if (::poll(fds.data(), fds.size(), -1) < 0 && errno != EINTR)
            return;
        if (fds[0].revents != 0) {
            std::uint64_t count;
            [[maybe_unused]] auto read = ::read(wake_, &count, sizeof count);
        }
        std::vector<Pid> ended;
        for (std::size_t i = 1; i < fds.size(); ++i) {
            if (fds[i].revents != 0)
                ended.push_back(pids[i - 1]);
        }
        for (Pid pid : ended) {
            {
                std::lock_guard lock(mutex_);
                auto it = descriptors_.find(pid);
                if (it != descriptors_.end()) {
                    ::close(it->second);
                    descriptors_.erase(it);
                }
            }
            handler_(pid);
            if (!*alive)
                return;
        }
    }
}

}  // namespace vantlo
