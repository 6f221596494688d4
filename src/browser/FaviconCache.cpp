#include "browser/FaviconCache.h"

#include "browser/UrlParts.h"
#include "platform/Platform.h"

namespace vantlo {
namespace {

std::mutex sharedMutex;
std::shared_ptr<FaviconCache> sharedInstance;

int base64Digit(char c) {
    if (c >= 'A' && c <= 'Z')
        return c - 'A';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 26;
    if (c >= '0' && c <= '9')
        return c - '0' + 52;
    if (c == '+')
        return 62;
    if (c == '/')
        return 63;
    return -1;
}

// Standard alphabet, padded, nothing else allowed (no blanks, no line breaks).
std::optional<Data> decodeBase64(std::string_view text) {
    if (text.size() % 4 != 0)
        return std::nullopt;
    std::size_t padding = 0;
    while (padding < 2 && padding < text.size() && text[text.size() - 1 - padding] == '=')
        ++padding;
    Data data;
    std::uint32_t bits = 0;
    int bitCount = 0;
    for (std::size_t i = 0; i < text.size() - padding; ++i) {
        int digit = base64Digit(text[i]);
        if (digit < 0)
            return std::nullopt;
        bits = (bits << 6) | static_cast<std::uint32_t>(digit);
        bitCount += 6;
        if (bitCount >= 8) {
            bitCount -= 8;
            data.bytes.push_back(static_cast<std::uint8_t>((bits >> bitCount) & 0xFF));
        }
    }
    return data;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::optional<Data> percentDecode(std::string_view text) {
    Data data;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            data.bytes.push_back(static_cast<std::uint8_t>(text[i]));
            continue;
        }
        if (i + 2 >= text.size())
            return std::nullopt;
        int high = hexDigit(text[i + 1]);
        int low = hexDigit(text[i + 2]);
        if (high < 0 || low < 0)
            return std::nullopt;
        data.bytes.push_back(static_cast<std::uint8_t>(high * 16 + low));
        i += 2;
    }
    return data;
}

bool isWebAddress(const std::string& text) {
    auto parts = UrlParts::parse(text);
    return parts && (parts->scheme == "http" || parts->scheme == "https") && !parts->host.empty();
}

}  // namespace

FaviconCache& FaviconCache::shared() {
    std::lock_guard lock(sharedMutex);
    if (!sharedInstance)
        sharedInstance = std::make_shared<FaviconCache>();
    return *sharedInstance;
}

void FaviconCache::resetShared() {
    std::lock_guard lock(sharedMutex);
    sharedInstance.reset();
}

FaviconCache::FaviconCache()
    : queue_(platform().dispatch->makeSerialQueue("local.vantlo.favicon-cache",
                                                  QualityOfService::utility)) {}

void FaviconCache::setServiceEndpoint(std::optional<std::string> endpoint) {
    std::lock_guard lock(mutex_);
    serviceEndpoint_ = std::move(endpoint);
}

void FaviconCache::image(const std::string& key, Completion completion) {
    if (auto hit = cached(key)) {
        if (completion)
            completion(hit);
        return;
    }
    queue_->async([weak = weak_from_this(), key, completion = std::move(completion)]() mutable {
        auto self = weak.lock();
        if (!self)
            return;
        auto [entry, isNew] = self->inFlight_.try_emplace(key);
        entry->second.push_back(std::move(completion));
        if (isNew)
            self->start(key);
    });
}

ImageRef FaviconCache::cached(const std::string& key) {
    std::lock_guard lock(mutex_);
    auto it = cache_.find(key);
    return it == cache_.end() ? nullptr : it->second;
}

void FaviconCache::store(const std::string& key, ImageRef image) {
    std::lock_guard lock(mutex_);
    if (!cache_.count(key))
        order_.push_back(key);
    cache_[key] = std::move(image);
    while (cache_.size() > kCapacity) {
        cache_.erase(order_.front());
        order_.pop_front();
    }
}

void FaviconCache::start(const std::string& key) {
    loadImage(key, [weak = weak_from_this(), key](ImageRef image) {
        auto self = weak.lock();
        if (!self)
            return;
        self->queue_->async([weak, key, image = std::move(image)] {
            if (auto self = weak.lock())
                self->finish(key, image);
        });
    });
}

void FaviconCache::finish(const std::string& key, ImageRef image) {
    if (image)
        store(key, image);
    auto node = inFlight_.extract(key);
    if (node.empty())
        return;
    platform().dispatch->async([callbacks = std::move(node.mapped()), image] {
        for (const auto& callback : callbacks) {
            if (callback)
                callback(image);
        }
    });
}

void FaviconCache::loadImage(const std::string& urlString, Finish finish) {
    if (auto image = imageFromDataURL(urlString))
        return finish(image);
    auto parts = UrlParts::parse(urlString);
    if (!parts || parts->scheme.empty())
        return finish(nullptr);
    if (parts->scheme == "vantlo-favicon") {
        std::optional<std::string> endpoint;
        {
            std::lock_guard lock(mutex_);
            endpoint = serviceEndpoint_;
        }
        return loadFirstImage(faviconCandidates(urlString, endpoint), 0, std::move(finish));
    }
    if (parts->scheme == "http" || parts->scheme == "https")
        return download(urlString, std::move(finish));
    finish(nullptr);
}

void FaviconCache::loadFirstImage(std::vector<std::string> urls, std::size_t next, Finish finish) {
    if (next >= urls.size())
        return finish(nullptr);
    std::string url = urls[next];
    if (url.starts_with("data:")) {
        if (auto image = imageFromDataURL(url))
            return finish(image);
        return loadFirstImage(std::move(urls), next + 1, std::move(finish));
    }
    download(url, [urls = std::move(urls), next, finish = std::move(finish)](ImageRef image) {
        if (image)
            return finish(image);
        loadFirstImage(std::move(urls), next + 1, std::move(finish));
    });
}

void FaviconCache::download(const std::string& url, Finish finish) {
    platform().urlLoader->load(
        url, kDownloadTimeout,
        [finish = std::move(finish)](std::optional<UrlResponse> response, std::string) {
            // Any body that decodes is taken, whatever the status: some sites serve their icon
            // with an error status.
            if (!response || response->body.bytes.empty())
                return finish(nullptr);
            finish(platform().imageCodec->decode(response->body));
        });
}

std::vector<std::string> FaviconCache::faviconCandidates(
    std::string_view faviconURL, const std::optional<std::string>& serviceEndpoint) {
    std::vector<std::string> candidates;
    auto parts = UrlParts::parse(faviconURL);
    if (!parts || parts->host.empty())
        return candidates;
    std::string host = parts->hostForAddress();
    std::string scheme = parts->queryItem("scheme").value_or("https");
    auto add = [&](std::string url) {
        if (isWebAddress(url))
            candidates.push_back(std::move(url));
    };
    // The browser's own icon for the page: what the user sees in the tab strip, also for sites
    // whose icon is not at /favicon.ico (intranets included), and asks no one else.
    if (auto icon = parts->queryItem("icon");
        icon && BrowserTabEnumerator::isLoadablePageIcon(*icon))
        candidates.push_back(std::move(*icon));
    add(scheme + "://" + host + "/favicon.ico");
    if (host.starts_with("www."))
        add(scheme + "://" + host.substr(4) + "/favicon.ico");
    if (serviceEndpoint && !serviceEndpoint->empty()) {
        std::string page = parts->queryItem("page").value_or(scheme + "://" + host);
        std::string separator = serviceEndpoint->find('?') == std::string::npos ? "?" : "&";
        add(*serviceEndpoint + separator + "domain_url=" + UrlParts::encodeQueryValue(page) +
            "&sz=64");
    }
    return candidates;
}

ImageRef FaviconCache::imageFromDataURL(std::string_view text) {
    if (!text.starts_with("data:") || text.size() > kMaxDataURLLength)
        return nullptr;
    auto comma = text.find(',');
    if (comma == std::string_view::npos)
        return nullptr;
    std::string_view header = text.substr(5, comma - 5);
    std::string_view payload = text.substr(comma + 1);
    auto bytes = header.find(";base64") != std::string_view::npos ? decodeBase64(payload)
                                                                  : percentDecode(payload);
    if (!bytes)
        return nullptr;
    return platform().imageCodec->decode(*bytes);
}

}  // namespace vantlo
