#include "app/BrowserHostTarget.h"

namespace vantlo {

const std::vector<BrowserHostTarget>& BrowserHostTarget::all() {
    using K = BrowserHostTarget::Kind;
    static const std::vector<BrowserHostTarget> targets = {
        {"Chromium",
         K::chromium,
         "chromium/NativeMessagingHosts",
         {"chromium", "chromium-browser"},
         "chrome://extensions"},
        {"Google Chrome",
         K::chromium,
         "google-chrome/NativeMessagingHosts",
         {"google-chrome", "google-chrome-stable"},
         "chrome://extensions"},
        {"Brave Browser",
         K::chromium,
         "BraveSoftware/Brave-Browser/NativeMessagingHosts",
         {"brave-browser", "brave"},
         "brave://extensions"},
        {"Microsoft Edge",
         K::chromium,
         "microsoft-edge/NativeMessagingHosts",
         {"microsoft-edge", "microsoft-edge-stable"},
         "edge://extensions"},
        {"Vivaldi",
         K::chromium,
         "vivaldi/NativeMessagingHosts",
         {"vivaldi", "vivaldi-stable"},
         "vivaldi://extensions"},
        {"Opera", K::chromium, "opera/NativeMessagingHosts", {"opera"}, "opera://extensions"},
        {"Firefox ESR",
         K::firefoxUnsigned,
         ".mozilla/native-messaging-hosts",
         {"firefox-esr"},
         "about:addons",
         false},
        // Debian's firefox-esr diverts a release Firefox installed beside it to firefox.real.
        {"Firefox",
         K::firefoxRelease,
         ".mozilla/native-messaging-hosts",
         {"firefox.real", "firefox"},
         "about:addons",
         false},
    };
    return targets;
}

}  // namespace vantlo
