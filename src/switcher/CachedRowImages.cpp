#include "switcher/CachedRowImages.h"

#include "browser/FaviconCache.h"
#include "discovery/ThumbnailCache.h"
#include "platform/Platform.h"

namespace vantlo {

void CachedRowImages::pageIcon(const std::string& faviconAddress, Delivery deliver) {
    if (faviconAddress.empty() || !hasPlatform()) {
        deliver(nullptr);
        return;
    }
    FaviconCache::shared().image(faviconAddress, std::move(deliver));
}

void CachedRowImages::windowPicture(std::uint32_t windowNumber, Delivery deliver) {
    // The capture runs on a background queue; without a dispatcher there is none.
    if (!hasPlatform() || !platform().dispatch)
        return;
    ThumbnailCache::shared().requestThumbnail(windowNumber, std::move(deliver));
}

}  // namespace vantlo
