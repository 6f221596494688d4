#include "discovery/WindowEnumeratorCache.h"

#include "discovery/WindowEnumerator.h"
#include "platform/Platform.h"

namespace vantlo {
namespace {
std::mutex instanceMutex;
std::shared_ptr<WindowEnumeratorCache>& instance() {
    static std::shared_ptr<WindowEnumeratorCache> cache;
    return cache;
}
}  // namespace

WindowEnumeratorCache& WindowEnumeratorCache::shared() {
    std::lock_guard lock(instanceMutex);
    auto& cache = instance();
    if (!cache)
        cache = std::make_shared<WindowEnumeratorCache>();
    return *cache;
}

void WindowEnumeratorCache::resetShared() {
    std::lock_guard lock(instanceMutex);
    instance().reset();
}

void WindowEnumeratorCache::refreshAsync(Completion completion) {
    {
        std::lock_guard lock(mutex_);
        if (completion)
            completions_.push_back(std::move(completion));
        if (refreshing_)
            return;
        refreshing_ = true;
    }
    std::weak_ptr<WindowEnumeratorCache> weak = weak_from_this();
    platform().dispatch->global(QualityOfService::userInitiated, [weak] {
        auto windows = WindowEnumerator::enumerate();
        auto self = weak.lock();
        if (!self)
            return;
        double now = platform().clock->now();
        std::vector<Completion> waiting;
        {
            std::lock_guard lock(self->mutex_);
            self->cached_ = std::move(windows);
            self->refreshedAt_ = now;
            self->refreshing_ = false;
            waiting.swap(self->completions_);
        }
        if (waiting.empty())
            return;
        platform().dispatch->async([waiting = std::move(waiting)] {
            for (const auto& completion : waiting)
                completion();
        });
    });
}

std::vector<WindowItem> WindowEnumeratorCache::refreshSync() {
    auto windows = WindowEnumerator::enumerate();
    store(windows);
    return windows;
}

void WindowEnumeratorCache::store(std::vector<WindowItem> windows) {
    double now = platform().clock->now();
    std::lock_guard lock(mutex_);
    cached_ = std::move(windows);
    refreshedAt_ = now;
}

bool WindowEnumeratorCache::isFresh(double maxAge) const {
    double now = platform().clock->now();
    std::lock_guard lock(mutex_);
    if (cached_.empty() || !refreshedAt_)
        return false;
    return now - *refreshedAt_ <= maxAge;
}

std::vector<WindowItem> WindowEnumeratorCache::cached() const {
    std::lock_guard lock(mutex_);
    return cached_;
}

}  // namespace vantlo
