#include "platform/posix/InotifyWatcher.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <set>
#include <vector>

namespace vantlo {
namespace {

// Written, extended, renamed, deleted or linked: what a registry of installed applications
// needs to notice a new, changed or removed entry.
constexpr std::uint32_t kEvents = IN_CREATE | IN_DELETE | IN_MODIFY | IN_CLOSE_WRITE | IN_ATTRIB |
                                  IN_MOVED_FROM | IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF;

}  // namespace

std::shared_ptr<InotifyWatcher> InotifyWatcher::create() {
    return std::shared_ptr<InotifyWatcher>(new InotifyWatcher());
}

InotifyWatcher::InotifyWatcher() {
    inotify_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    wake_ = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (inotify_ >= 0 && wake_ >= 0)
        thread_ = std::thread([this, alive = alive_] { run(alive); });
}

InotifyWatcher::~InotifyWatcher() {
    *alive_ = false;
    if (thread_.joinable()) {
        std::uint64_t one = 1;
        [[maybe_unused]] auto written = ::write(wake_, &one, sizeof one);
        // A handler may drop the last watch, and with it this watcher, on the watch thread.
        if (std::this_thread::get_id() == thread_.get_id())
            thread_.detach();
        else
            thread_.join();
    }
    if (inotify_ >= 0)
        ::close(inotify_);
    if (wake_ >= 0)
        ::close(wake_);
}

Subscription InotifyWatcher::add(const std::string& path, Handler handler) {
    if (!thread_.joinable())
        return {};
    int descriptor = ::inotify_add_watch(inotify_, path.c_str(), kEvents | IN_ONLYDIR);
    if (descriptor < 0)
        return {};
    std::uint64_t token = 0;
    {
        std::lock_guard lock(mutex_);
        token = nextToken_++;
        watches_[token] = Watch{descriptor, std::make_shared<Handler>(std::move(handler))};
    }
    return Subscription([watcher = shared_from_this(), token] { watcher->remove(token); });
}

void InotifyWatcher::remove(std::uint64_t token) {
    std::lock_guard lock(mutex_);
    auto it = watches_.find(token);
    if (it == watches_.end())
        return;
    int descriptor = it->second.descriptor;
    watches_.erase(it);
    // The kernel hands out one descriptor per folder: keep it while another watch shares it.
    for (const auto& [other, watch] : watches_) {
        if (watch.descriptor == descriptor)
            return;
    }
    ::inotify_rm_watch(inotify_, descriptor);
}

void InotifyWatcher::deliver(int descriptor, const std::atomic<bool>& alive) {
    std::vector<std::shared_ptr<Handler>> handlers;
    {
        std::lock_guard lock(mutex_);
        for (const auto& [token, watch] : watches_) {
            if (watch.descriptor == descriptor)
                handlers.push_back(watch.handler);
        }
    }
    for (const auto& handler : handlers) {
        if (!alive)
            return;
        (*handler)();
    }
}

void InotifyWatcher::run(std::shared_ptr<std::atomic<bool>> alive) {
    alignas(inotify_event) char buffer[16 * 1024];
    pollfd fds[2] = {{inotify_, POLLIN, 0}, {wake_, POLLIN, 0}};
    for (;;) {
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if (fds[1].revents != 0)
            return;
        // One delivery per folder per burst read: the consumers debounce anyway.
        std::set<int> changed;
        for (;;) {
            ssize_t n = ::read(inotify_, buffer, sizeof buffer);
            if (n <= 0)
                break;
            for (char* p = buffer; p < buffer + n;) {
                auto* event = reinterpret_cast<inotify_event*>(p);
                if ((event->mask & IN_IGNORED) == 0)
                    changed.insert(event->wd);
                p += sizeof(inotify_event) + event->len;
            }
        }
        for (int descriptor : changed) {
            deliver(descriptor, *alive);
            if (!*alive)
                return;
        }
    }
}

}  // namespace vantlo
