#pragma once
// Pictures of windows for the previews beside window rows, keyed by window number: up to 100 kept
// in memory, the least recently used evicted first. A picture is captured once and kept as it
// was until evicted or its window is no longer listed. Without capture permission nothing is
// captured and nothing is stored.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>

#include "platform/Image.h"

namespace vantlo {

class ThumbnailCache : public std::enable_shared_from_this<ThumbnailCache> {
  public:
    static constexpr std::size_t kMaxEntries = 100;
    // The preview beside a row is 56 by 36 points: 256 pixels on the longer side keeps it sharp
    // at 3x for landscape windows (2.7x for portrait ones) while a full cache of real windows
    // holds about 15 MB (a 16:9 picture is 144 KB) instead of the 90 MB that 640 pixels cost.
    static constexpr int kMaxPixelSize = 256;

    static ThumbnailCache& shared();
    static void resetShared();

    // The cached picture, or a fresh capture (slow: call it off the main thread). nullptr when
    // capture is not permitted or the window cannot be captured.
    ImageRef thumbnail(std::uint32_t windowNumber);
    // Runs `thumbnail` on a background queue and hands the picture to `completion` on the main
    // queue.
    void requestThumbnail(std::uint32_t windowNumber, std::function<void(ImageRef)> completion);
    // Drops the pictures of windows missing from `listedWindows` (a complete window list). A
    // closed window's picture is dead weight, and the server may give its number to a new
    // window, which must not show the old picture.
    void forgetUnlisted(const std::set<std::uint32_t>& listedWindows);
    std::size_t count() const;
    bool contains(std::uint32_t windowNumber) const;

  private:
    struct Entry {
        ImageRef image;
        double lastAccessed = 0;
        // Orders accesses within the same clock reading.
        std::uint64_t tick = 0;
    };

    void evictIfNeededLocked();

    mutable std::mutex mutex_;
    std::map<std::uint32_t, Entry> cache_;
    std::uint64_t ticks_ = 0;
};

}  // namespace vantlo
