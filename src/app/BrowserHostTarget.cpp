#include "app/BrowserHostTarget.h"

namespace vantlo {

const std::vector<BrowserHostTarget>& BrowserHostTarget::all() {
    using K = BrowserHostTarget::Kind;
    // Brave, Vivaldi and Opera read Google Chrome's system folder; Edge its own, then Chrome's.
    const std::string chromeSystem = "/etc/opt/chrome/native-messaging-hosts";
    const std::string firefoxSystem = "/usr/lib/mozilla/native-messaging-hosts";
    static const std::vector<BrowserHostTarget> targets = {
        {"Chromium",
         K::chromium,
         "chromium/NativeMessagingHosts",
         {"chromium", "chromium-browser"},
         "chrome://extensions",
         true,
         {"/etc/chromium/native-messaging-hosts"}},
        {"Google Chrome",
         K::chromium,
         "google-chrome/NativeMessagingHosts",
         {"google-chrome", "google-chrome-stable"},
         "chrome://extensions",
         true,
         {chromeSystem}},
        {"Brave Browser",
         K::chromium,
         "BraveSoftware/Brave-Browser/NativeMessagingHosts",
         {"brave-browser", "brave"},
         "brave://extensions",
         true,
         {chromeSystem}},
        {"Microsoft Edge",
         K::chromium,
         "microsoft-edge/NativeMessagingHosts",
         {"microsoft-edge", "microsoft-edge-stable"},
         "edge://extensions",
         true,
         {"/etc/opt/edge/native-messaging-hosts", chromeSystem}},
        {"Vivaldi",
         K::chromium,
         "vivaldi/NativeMessagingHosts",
         {"vivaldi", "vivaldi-stable"},
         "vivaldi://extensions",
         true,
         {chromeSystem}},
        {"Opera",
         K::chromium,
         "opera/NativeMessagingHosts",
         {"opera"},
         "opera://extensions",
         true,
         {chromeSystem}},
        {"Firefox ESR",
         K::firefoxUnsigned,
         ".mozilla/native-messaging-hosts",
         {"firefox-esr"},
         "about:addons",
         false,
         {firefoxSystem}},
        // Debian's firefox-esr diverts a release Firefox installed beside it to firefox.real.
        {"Firefox",
         K::firefoxRelease,
         ".mozilla/native-messaging-hosts",
         {"firefox.real", "firefox"},
         "about:addons",
         false,
         {firefoxSystem}},
    };
    return targets;
}

}  // namespace vantlo
