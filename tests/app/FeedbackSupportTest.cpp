#include <gtest/gtest.h>
#include <uriparser/Uri.h>

#include <sstream>
#include <vector>

#include "app/FeedbackSupport.h"
#include "input/HotkeyStore.h"
#include "settings/Localization.h"
#include "settings/PanelSettings.h"
#include "testing/FakePlatform.h"

namespace vantlo {
namespace {

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

TEST(FeedbackSupport, DefaultSettingsReportOnMacOS) {
    FakePlatform fake;
    EXPECT_EQ(FeedbackSupport::diagnosticsText(),
              "Vantlo Diagnostics\n"
              "Version: 1.2.0 (42)\n"
              "Bundle ID: com.local.vantlo\n"
              "macOS: 14.5 (23F79)\n"
              "Architecture: arm64\n"
              "Language: system\n"
              "Accessibility: granted\n"
              "Screen Recording: granted\n"
              "Activation Hotkey: \u2325\u21e5\n"
              "Panel Edge: right\n"
              "Panel Display: pointer\n"
              "Panel Width: normal\n"
              "Font Size: normal\n"
              "Shows Apps Without Windows: true");
}

TEST(FeedbackSupport, ChangedSettingsReportOnLinuxStaysEnglish) {
    FakePlatform fake(FakePlatform::Facts::linux);
    Localization::resetShared();
    fake.windowServer->setCapturePermitted(false);
    PanelSettings::setEdge(PanelEdge::left);
    PanelSettings::setDisplay(PanelDisplay::main);
    PanelSettings::setWidth(PanelWidth::wide);
    PanelSettings::setFontSize(PanelFontSize::large);
    PanelSettings::setShowAppsWithoutWindows(false);
    HotkeyStore::setCurrent({KeyCode::tab, CarbonModifiers::control});
    Localization::shared().setLanguage(AppLanguage::simplifiedChinese);

    std::string text = FeedbackSupport::diagnosticsText();
    Localization::resetShared();
    EXPECT_EQ(text,
              "Vantlo Diagnostics\n"
              "Version: 1.2.0 (42)\n"
              "Bundle ID: com.local.vantlo\n"
              "Linux: Debian GNU/Linux 12, kernel 6.1.0-18-amd64\n"
              "Architecture: x86_64\n"
              "Language: simplifiedChinese\n"
              "Accessibility: granted\n"
              "Screen Recording: missing\n"
              "Activation Hotkey: Ctrl+Tab\n"
              "Panel Edge: left\n"
              "Panel Display: main\n"
              "Panel Width: wide\n"
              "Font Size: large\n"
              "Shows Apps Without Windows: false");
}

TEST(FeedbackSupport, PermissionLinesFollowTheServices) {
    FakePlatform fake(FakePlatform::Facts::linux);
    fake.accessibility->setTrusted(false);
    auto lines = linesOf(FeedbackSupport::diagnosticsText());
    ASSERT_EQ(lines.size(), 14u);
    EXPECT_EQ(lines[6], "Accessibility: missing");
    EXPECT_EQ(lines[7], "Screen Recording: granted");

    // A display-free run on Linux: no trust without the window manager; X11 needs no capture
    // permission.
    fake.services().accessibility = nullptr;
    fake.services().windowServer = nullptr;
    lines = linesOf(FeedbackSupport::diagnosticsText());
    EXPECT_EQ(lines[6], "Accessibility: missing");
    EXPECT_EQ(lines[7], "Screen Recording: granted");

    // Elsewhere a missing window server grants nothing.
    fake.systemInfo->set("macOS", "14.5.0", "arm64");
    lines = linesOf(FeedbackSupport::diagnosticsText());
    EXPECT_EQ(lines[7], "Screen Recording: missing");
}

TEST(FeedbackSupport, MissingBundleFactsReadUnknown) {
    FakePlatform fake(FakePlatform::Facts::linux);
    fake.bundles->setMainBundle({"com.local.vantlo", "/usr/bin/vantlo", "", "1.2.0", ""});
    fake.systemInfo->set("Linux", "Unknown", "");
    auto lines = linesOf(FeedbackSupport::diagnosticsText());
    ASSERT_EQ(lines.size(), 14u);
    EXPECT_EQ(lines[1], "Version: 1.2.0 (unknown)");
    EXPECT_EQ(lines[3], "Linux: Unknown");
    EXPECT_EQ(lines[4], "Architecture: unknown");
    EXPECT_EQ(FeedbackSupport::machineArchitecture(), "unknown");

    fake.bundles->setMainBundle({});
    lines = linesOf(FeedbackSupport::diagnosticsText());
    EXPECT_EQ(lines[1], "Version: unknown (unknown)");
    EXPECT_EQ(lines[2], "Bundle ID: unknown");
}

TEST(FeedbackSupport, MalformedStoredValuesReportTheDefaults) {
    FakePlatform fake;
    fake.defaults->set(Localization::languageKey, std::string("klingon"));
    fake.defaults->set(HotkeyStore::defaultsKey, std::string("not data"));
    fake.defaults->set(PanelSettings::widthKey, std::int64_t{3});
    auto lines = linesOf(FeedbackSupport::diagnosticsText());
    ASSERT_EQ(lines.size(), 14u);
    EXPECT_EQ(lines[5], "Language: system");
    EXPECT_EQ(lines[8], "Activation Hotkey: \u2325\u21e5");
    EXPECT_EQ(lines[11], "Panel Width: normal");
}

TEST(FeedbackSupport, IssuesAddressIsAWebAddress) {
    UriUriA uri;
    const char* error = nullptr;
    ASSERT_EQ(uriParseSingleUriA(&uri, FeedbackSupport::issuesURL, &error), URI_SUCCESS);
    std::string scheme(uri.scheme.first, uri.scheme.afterLast);
    std::string host(uri.hostText.first, uri.hostText.afterLast);
    uriFreeUriMembersA(&uri);
    EXPECT_EQ(scheme, "https");
    EXPECT_FALSE(host.empty());
}

}  // namespace
}  // namespace vantlo
