#include "preferences/BrowserAccessModel.h"

#include "platform/GuardedBy.h"
#include "platform/Platform.h"
#include "settings/Localization.h"

namespace vantlo {

std::shared_ptr<BrowserAccessModel> BrowserAccessModel::create(Reader reader,
                                                               std::function<void()> changed) {
    return std::shared_ptr<BrowserAccessModel>(
        new BrowserAccessModel(std::move(reader), std::move(changed)));
}

BrowserAccessModel::BrowserAccessModel(Reader reader, std::function<void()> changed)
    : reader_(std::move(reader)), changed_(std::move(changed)) {}

void BrowserAccessModel::refresh() {
    if (!reader_ || !hasPlatform() || !platform().dispatch)
        return;
    unsigned generation = ++generation_;
    auto deliver = guardedBy(
        weak_from_this(), [generation](BrowserAccessModel& self, std::vector<BrowserAccess> found) {
            if (generation != self.generation_)
                return;
            self.browsers_ = std::move(found);
            if (self.changed_)
                self.changed_();
        });
    platform().dispatch->global(
        QualityOfService::userInitiated,
        [reader = reader_, deliver = std::move(deliver)]() mutable {
            auto found = reader();
            platform().dispatch->async(
                [deliver = std::move(deliver), found = std::move(found)]() mutable {
                    deliver(std::move(found));
                });
        });
}

std::vector<PermissionRowContent> BrowserAccessModel::rows() const {
    if (!browsers_) {
        PermissionRowContent checking;
        checking.title = localized("Browser Tabs");
        checking.detail = localized("Checking your browsers…");
        checking.primaryTitle = localized("Check Again");
        return {checking};
    }
    if (browsers_->empty()) {
        PermissionRowContent none;
        none.title = localized("Browser Tabs");
        // clang-format off
        none.detail = localized("No supported browser is installed. Vantlo lists the tabs of Chromium, Google Chrome, Brave, Microsoft Edge, Vivaldi, Opera and Firefox.");
        // clang-format on
        none.primaryTitle = localized("Check Again");
        return {none};
    }
    std::vector<PermissionRowContent> rows;
    for (const auto& browser : *browsers_)
        rows.push_back(row(browser));
    return rows;
}

PermissionRowContent BrowserAccessModel::row(const BrowserAccess& browser) {
    PermissionRowContent row;
    row.title = browser.applicationName;
    row.primaryTitle = localized("Check Again");
    // Connected means the tabs are listed, whichever manifest started the host.
    row.state =
        browser.extensionConnected() ? PermissionState::ready : PermissionState::needsAction;
    // clang-format off
    std::string manifest = browser.hostManifestInPlace
        ? localized("Host manifest in place.")
        : localized("Host manifest missing: run vantlo browser install.");
    std::string extension = browser.extensionConnected()
        ? localized("Vantlo Tabs extension connected.")
        : localized("Vantlo Tabs extension not connected: add it to this browser and keep the browser open.");
    // clang-format on
    row.detail = manifest + " " + extension;
    return row;
}

}  // namespace vantlo
