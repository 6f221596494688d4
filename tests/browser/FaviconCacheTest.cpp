#include "browser/FaviconCache.h"

#include <gtest/gtest.h>

#include "browser/BrowserTabEnumerator.h"
#include "testing/FakePlatform.h"

namespace vantlo {
namespace {

Data pngBytes(std::uint8_t variant) {
    return Data{{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', variant}};
}

Data htmlBytes() {
    std::string page = "<html>Not found</html>";
    return Data{{page.begin(), page.end()}};
}

class FaviconCacheTest : public ::testing::Test {
  protected:
    FaviconCacheTest() { FaviconCache::resetShared(); }
    ~FaviconCacheTest() override { FaviconCache::resetShared(); }

    FakePlatform fake;
    std::string key = BrowserTabEnumerator::faviconURL("https://www.example.com/page?x=1");
};

TEST_F(FaviconCacheTest, CandidatesTrySiteIconsThenTheConfiguredServiceOnly) {
    using List = std::vector<std::string>;
    EXPECT_EQ(FaviconCache::faviconCandidates(key, std::nullopt),
              (List{"https://www.example.com/favicon.ico", "https://example.com/favicon.ico"}));
    EXPECT_EQ(FaviconCache::faviconCandidates(key, "https://icons.example/api"),
              (List{"https://www.example.com/favicon.ico", "https://example.com/favicon.ico",
                    "https://icons.example/api?domain_url=https%3A%2F%2Fwww.example.com%2Fpage"
                    "%3Fx%3D1&sz=64"}));

    auto plain = BrowserTabEnumerator::faviconURL("http://example.org/");
    EXPECT_EQ(FaviconCache::faviconCandidates(plain, "https://icons.example/api").size(), 2u);
    EXPECT_EQ(FaviconCache::faviconCandidates(plain, std::nullopt),
              List{"http://example.org/favicon.ico"});
    // Without a page item the service is asked about the site.
    EXPECT_EQ(
        FaviconCache::faviconCandidates("vantlo-favicon://a.example", "https://i.example/x").back(),
        "https://i.example/x?domain_url=https%3A%2F%2Fa.example&sz=64");
    EXPECT_TRUE(FaviconCache::faviconCandidates("vantlo-favicon:?page=x", std::nullopt).empty());
    EXPECT_TRUE(
        FaviconCache::faviconCandidates("vantlo-favicon://h?scheme=ftp", std::nullopt).empty())
        << "only web addresses are downloaded";
}

TEST_F(FaviconCacheTest, RequestsForOneKeyShareOneDownloadAndAreAnsweredInOrder) {
    fake.urls->respond("https://www.example.com/favicon.ico", 200, "image/png", pngBytes(1));
    auto& cache = FaviconCache::shared();
    std::vector<std::pair<int, ImageRef>> answers;
    cache.image(key, [&](ImageRef image) { answers.emplace_back(1, image); });
    cache.image(key, [&](ImageRef image) { answers.emplace_back(2, image); });
    fake.dispatch->runBackground();
    EXPECT_TRUE(answers.empty()) << "answers come on the main queue";
    fake.dispatch->runUntilIdle();

    EXPECT_EQ(fake.urls->requests().size(), 1u);
    ASSERT_EQ(answers.size(), 2u);
    EXPECT_EQ(answers[0].first, 1);
    EXPECT_EQ(answers[1].first, 2);
    ASSERT_TRUE(answers[0].second);
    EXPECT_EQ(answers[0].second, answers[1].second);

    // Cached now: answered at once, on the caller's thread, without a download.
    ImageRef immediate;
    cache.image(key, [&](ImageRef image) { immediate = image; });
    EXPECT_EQ(immediate, answers[0].second);
    EXPECT_EQ(fake.urls->requests().size(), 1u);
}

TEST_F(FaviconCacheTest, AnErrorPageFallsThroughAndFailuresAreNotRemembered) {
    fake.urls->respond("https://www.example.com/favicon.ico", 404, "text/html", htmlBytes());
    fake.urls->respond("https://example.com/favicon.ico", 200, "image/x-icon", pngBytes(2));
    ImageRef got;
    FaviconCache::shared().image(key, [&](ImageRef image) { got = image; });
    fake.dispatch->runUntilIdle();
    EXPECT_TRUE(got);
    EXPECT_EQ(fake.urls->requests().size(), 2u);

    auto other = BrowserTabEnumerator::faviconURL("https://offline.example/");
    int answers = 0;
    for (int attempt = 0; attempt < 2; ++attempt) {
        FaviconCache::shared().image(other, [&](ImageRef image) {
            EXPECT_FALSE(image);
            ++answers;
        });
        fake.dispatch->runUntilIdle();
    }
    EXPECT_EQ(answers, 2);
    EXPECT_EQ(fake.urls->requests().size(), 4u) << "the failed key was tried again";
}

TEST_F(FaviconCacheTest, DataAddressesDecodeBase64AndPercentEncodedPayloads) {
    // "\x89PNG\r\n\x1A\n" in Base64 and percent-encoded.
    EXPECT_TRUE(FaviconCache::imageFromDataURL("data:image/png;base64,iVBORw0KGgo="));
    EXPECT_TRUE(FaviconCache::imageFromDataURL("data:image/png,%89PNG%0D%0A%1A%0A"));
    EXPECT_TRUE(FaviconCache::imageFromDataURL("data:image/svg+xml,%3Csvg%3E%3C/svg%3E"));
    for (const char* broken :
         {"data:image/png;base64,iVBORw0KGgo", "data:image/png;base64,%%%%", "data:image/png,%8",
          "data:image/png", "image/png;base64,iVBORw0KGgo=", "data:text/plain,hello"})
        EXPECT_FALSE(FaviconCache::imageFromDataURL(broken)) << broken;

    ImageRef got;
    FaviconCache::shared().image("data:image/png;base64,iVBORw0KGgo=",
                                 [&](ImageRef image) { got = image; });
    fake.dispatch->runUntilIdle();
    EXPECT_TRUE(got);
    EXPECT_TRUE(fake.urls->requests().empty());
}

TEST_F(FaviconCacheTest, OnlyWebAndPageIconAddressesAreLoaded) {
    fake.urls->respond("http://plain.example/icon.png", 200, "image/png", pngBytes(3));
    int answered = 0;
    for (const char* address : {"http://plain.example/icon.png", "ftp://x.example/icon.png",
                                "no scheme at all", "file:///icon.png"}) {
        FaviconCache::shared().image(address, [&, address](ImageRef image) {
            EXPECT_EQ(image != nullptr, std::string(address).starts_with("http")) << address;
            ++answered;
        });
    }
    fake.dispatch->runUntilIdle();
    EXPECT_EQ(answered, 4);
    EXPECT_EQ(fake.urls->requests(), std::vector<std::string>{"http://plain.example/icon.png"});
}

TEST_F(FaviconCacheTest, TheBrowsersOwnIconIsTriedFirstAndDataIconsDecodeLocally) {
    using List = std::vector<std::string>;
    auto intranet =
        BrowserTabEnumerator::faviconURL("http://www.wiki.corp/a", "http://cdn.corp/wiki.png");
    EXPECT_EQ(FaviconCache::faviconCandidates(intranet, "https://icons.example/api"),
              (List{"http://cdn.corp/wiki.png", "http://www.wiki.corp/favicon.ico",
                    "http://wiki.corp/favicon.ico",
                    "https://icons.example/api?domain_url=http%3A%2F%2Fwww.wiki.corp%2Fa&sz=64"}));
    std::string dataIcon = "data:image/png;base64,iVBORw0KGgo=";
    auto withData = BrowserTabEnumerator::faviconURL("https://example.org/", dataIcon);
    EXPECT_EQ(FaviconCache::faviconCandidates(withData, std::nullopt),
              (List{dataIcon, "https://example.org/favicon.ico"}));
    // A hand-made address with an icon the program must not load keeps only the site's icons.
    for (const char* icon : {"file%3A%2F%2F%2Fetc%2Fpasswd", "javascript%3Aalert(1)", "%20"})
        EXPECT_EQ(FaviconCache::faviconCandidates(
                      std::string("vantlo-favicon://h.example?icon=") + icon, std::nullopt),
                  List{"https://h.example/favicon.ico"})
            << icon;

    // The data icon needs no download.
    ImageRef got;
    FaviconCache::shared().image(withData, [&](ImageRef image) { got = image; });
    fake.dispatch->runUntilIdle();
    EXPECT_TRUE(got);
    EXPECT_TRUE(fake.urls->requests().empty());

    // A broken data icon falls through to the site's own icon.
    fake.urls->respond("https://broken.example/favicon.ico", 200, "image/png", pngBytes(4));
    got = nullptr;
    FaviconCache::shared().image(
        BrowserTabEnumerator::faviconURL("https://broken.example/", "data:image/png;base64,%%%"),
        [&](ImageRef image) { got = image; });
    fake.dispatch->runUntilIdle();
    EXPECT_TRUE(got);
    EXPECT_EQ(fake.urls->requests(), List{"https://broken.example/favicon.ico"});
}

TEST_F(FaviconCacheTest, OversizedDataAddressesAreRefusedUndecoded) {
    // A valid image padded past the bound: refused by length, before any decoding.
    std::string payload = "iVBORw0KGgo=";
    std::string atBound = "data:image/png;base64," + payload;
    atBound += std::string(FaviconCache::kMaxDataURLLength - atBound.size(), ' ');
    EXPECT_FALSE(FaviconCache::imageFromDataURL(atBound)) << "blanks are not Base64";
    std::string fits = "data:image/png," + std::string("%89PNG%0D%0A%1A%0A");
    fits += std::string(FaviconCache::kMaxDataURLLength - fits.size(), 'x');
    EXPECT_TRUE(FaviconCache::imageFromDataURL(fits)) << "exactly at the bound";
    EXPECT_FALSE(FaviconCache::imageFromDataURL(fits + "x")) << "one past the bound";
    EXPECT_FALSE(BrowserTabEnumerator::isLoadablePageIcon(fits + "x"));
    EXPECT_TRUE(BrowserTabEnumerator::isLoadablePageIcon(fits));
}

TEST_F(FaviconCacheTest, IconAddressesWithRawControlCharactersAreNotCarried) {
    // A NUL would end the icon early once the page-icon address is taken apart again.
    const std::string page = "https://mail.example/";
    const std::string withNul("data:image/png,%89P\0NG", 22);
    for (const std::string& icon : {withNul, std::string("https://mail.example/a\nb.ico"),
                                    std::string("data:image/svg+xml,<svg>\x7f</svg>")}) {
        EXPECT_FALSE(BrowserTabEnumerator::isLoadablePageIcon(icon));
        EXPECT_EQ(BrowserTabEnumerator::faviconURL(page, icon),
                  BrowserTabEnumerator::faviconURL(page));
    }
    // Blanks stay: an SVG written into the page's markup keeps its spaces.
    EXPECT_TRUE(BrowserTabEnumerator::isLoadablePageIcon("data:image/svg+xml,<svg width='1'/>"));
}

}  // namespace
}  // namespace vantlo
