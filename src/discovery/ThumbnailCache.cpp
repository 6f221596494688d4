#include "discovery/ThumbnailCache.h"

#include <algorithm>
#include <vector>

#include "platform/Platform.h"

namespace vantlo {
namespace {
std::mutex instanceMutex;
std::shared_ptr<ThumbnailCache>& instance() {
    static std::shared_ptr<ThumbnailCache> cache;
    return cache;
}
}  // namespace

ThumbnailCache& ThumbnailCache::shared() {
    std::lock_guard lock(instanceMutex);
    auto& cache = instance();
    if (!cache)
        cache = std::make_shared<ThumbnailCache>();
    return *cache;
}

void ThumbnailCache::resetShared() {
    std::lock_guard lock(instanceMutex);
    instance().reset();
}

ImageRef ThumbnailCache::thumbnail(std::uint32_t windowNumber) {
    auto& p = platform();
    double now = p.clock->now();
    {
        std::lock_guard lock(mutex_);
        auto it = cache_.find(windowNumber);
        if (it != cache_.end()) {
            it->second.lastAccessed = now;
            it->second.tick = ++ticks_;
            return it->second.image;
        }
    }
    if (!p.windowServer->capturePreflight())
        return nullptr;
    auto image = p.windowServer->captureWindow(windowNumber, kMaxPixelSize);
    if (!image || !image->hasPixels())
        return nullptr;
    double capturedAt = p.clock->now();
    std::lock_guard lock(mutex_);
    cache_[windowNumber] = Entry{image, capturedAt, ++ticks_};
    evictIfNeededLocked();
    return image;
}

void ThumbnailCache::requestThumbnail(std::uint32_t windowNumber,
                                      std::function<void(ImageRef)> completion) {
    std::weak_ptr<ThumbnailCache> weak = weak_from_this();
    auto capture = [weak, windowNumber, completion = std::move(completion)] {
        auto self = weak.lock();
        ImageRef image = self ? self->thumbnail(windowNumber) : nullptr;
        platform().dispatch->async([completion, image] {
            if (completion)
                completion(image);
        });
    };
    platform().dispatch->global(QualityOfService::userInitiated, std::move(capture));
}

void ThumbnailCache::forgetUnlisted(const std::set<std::uint32_t>& listedWindows) {
    std::vector<ImageRef> dropped;  // freed after the lock is let go
    std::lock_guard lock(mutex_);
    std::erase_if(cache_, [&](auto& entry) {
        if (listedWindows.count(entry.first))
            return false;
        dropped.push_back(std::move(entry.second.image));
        return true;
    });
}

std::size_t ThumbnailCache::count() const {
    std::lock_guard lock(mutex_);
    return cache_.size();
}

bool ThumbnailCache::contains(std::uint32_t windowNumber) const {
    std::lock_guard lock(mutex_);
    return cache_.count(windowNumber) > 0;
}

void ThumbnailCache::evictIfNeededLocked() {
    if (cache_.size() <= kMaxEntries)
        return;
    std::vector<std::pair<std::pair<double, std::uint64_t>, std::uint32_t>> byAge;
    for (const auto& [number, entry] : cache_)
        byAge.push_back({{entry.lastAccessed, entry.tick}, number});
    std::sort(byAge.begin(), byAge.end());
    std::size_t excess = cache_.size() - kMaxEntries;
    for (std::size_t i = 0; i < excess; ++i)
        cache_.erase(byAge[i].second);
}

}  // namespace vantlo
