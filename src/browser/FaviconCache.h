#pragma once
// Page icons for tab rows: turns a tab's "vantlo-favicon" address into an image by trying the
// icon the browser itself showed for the page (when it told one), the site's own /favicon.ico
// (with and without "www."), then, when one is configured, a favicon web service. Icons are kept
// in memory only; concurrent requests for one key share one download.

#include <cstddef>
#include <functional>
#include <list>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "browser/BrowserTabEnumerator.h"
#include "platform/Dispatch.h"
#include "platform/Image.h"

namespace vantlo {

class FaviconCache : public std::enable_shared_from_this<FaviconCache> {
  public:
    using Completion = std::function<void(ImageRef)>;

    // Icons kept before the oldest are dropped.
    static constexpr std::size_t kCapacity = 512;
    // Seconds one download may take.
    static constexpr double kDownloadTimeout = 10.0;
    // Longest "data:" address decoded.
    static constexpr std::size_t kMaxDataURLLength = BrowserTabEnumerator::kMaxDataIconLength;

    static FaviconCache& shared();
    static void resetShared();

    FaviconCache();

    // A favicon web service answering "?domain_url=<page>&sz=64" with image bytes, e.g.
    // "https://icons.example/api"; none by default, so visited hosts go to no third party.
    void setServiceEndpoint(std::optional<std::string> endpoint);

    // The icon for `key` (a tab's faviconURL). A cached icon is answered at once on this thread;
    // otherwise `completion` runs on the main queue when the download chain ends, with the image
    // or nullptr.
    void image(const std::string& key, Completion completion);

    // The addresses to try, in order, for a "vantlo-favicon" address: its "icon" item first
    // (decoded locally when it is a "data:" address), then the site's own icons, then the service.
    static std::vector<std::string> faviconCandidates(
        std::string_view faviconURL, const std::optional<std::string>& serviceEndpoint);
    // The image in a "data:" address (Base64 or percent-encoded); nullptr when there is none or
    // the address is longer than kMaxDataURLLength.
    static ImageRef imageFromDataURL(std::string_view text);

  private:
    using Finish = std::function<void(ImageRef)>;

    ImageRef cached(const std::string& key);
    void store(const std::string& key, ImageRef image);
    void start(const std::string& key);
    void finish(const std::string& key, ImageRef image);
    void loadImage(const std::string& urlString, Finish finish);
    static void loadFirstImage(std::vector<std::string> urls, std::size_t next, Finish finish);
    static void download(const std::string& url, Finish finish);

    std::mutex mutex_;  // guards cache_, order_ and serviceEndpoint_
    std::map<std::string, ImageRef> cache_;
    std::list<std::string> order_;  // keys, oldest first
    std::optional<std::string> serviceEndpoint_;

    std::shared_ptr<SerialQueue> queue_;
    std::map<std::string, std::vector<Completion>> inFlight_;  // only touched on queue_
};

}  // namespace vantlo
