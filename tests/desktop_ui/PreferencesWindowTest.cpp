#include "ui/preferences/PreferencesWindowController.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QLabel>
#include <QPushButton>

#include "QtTestApplication.h"
#include "settings/Localization.h"
#include "testing/FakePlatform.h"
#include "ui/preferences/PrefStyle.h"

namespace vantlo {
namespace {

// Equal to within 8-bit rounding.
bool close(const QColor& a, const QColor& b) {
    return std::abs(a.red() - b.red()) <= 1 && std::abs(a.green() - b.green()) <= 1 &&
           std::abs(a.blue() - b.blue()) <= 1;
}

class PreferencesWindowTest : public ::testing::Test {
  protected:
    PreferencesWindowTest() {
        testing::qtApplication();
        Localization::setResourcesPath(VANTLO_SOURCE_DIR "/po");
        Localization::resetShared();
    }
    ~PreferencesWindowTest() override {
        Localization::resetShared();
        Localization::setResourcesPath("");
    }
    PreferencesServices services() {
        PreferencesServices services;
        services.diagnosticsText = [] { return std::string("report"); };
        services.issuesURL = "https://example.invalid/issues/new";
        services.browserAccess = [] {
            return std::vector<BrowserAccess>{{"Chromium", true, {4242}},
                                              {"Firefox ESR", false, {}}};
        };
        return services;
    }

    FakePlatform fake_{FakePlatform::Facts::linux};
};

TEST_F(PreferencesWindowTest, FixedSizeTitledAndSwitchedByTheOpenPaneNotification) {
    PreferencesWindowController window(PreferencesPane::general, services());
    EXPECT_EQ(window.size(), QSize(760, 560));
    EXPECT_EQ(window.minimumSize(), window.maximumSize()) << "not resizable";
    EXPECT_EQ(window.windowTitle().toStdString(), "Vantlo Preferences");

    fake_.notifications->post(PreferencesWindowController::kOpenPaneNotification,
                              PreferencesPane::feedback);
    fake_.dispatch->runUntilIdle();
    EXPECT_EQ(window.selection(), PreferencesPane::feedback);
    fake_.notifications->post(PreferencesWindowController::kOpenPaneNotification,
                              std::string("shortcuts"));
    fake_.dispatch->runUntilIdle();
    EXPECT_EQ(window.selection(), PreferencesPane::feedback) << "a non-pane object changes nothing";
}

QPushButton* buttonLabelled(QWidget& window, const QString& text) {
    for (QPushButton* button : window.findChildren<QPushButton*>())
        if (button->text() == text)
            return button;
    return nullptr;
}

TEST_F(PreferencesWindowTest, TheGeneralPaneGivesAFreedAltTabBack) {
    const QString giveBack = "Give Alt+Tab back to the desktop";
    PreferencesWindowController plain(PreferencesPane::general, services());
    EXPECT_EQ(buttonLabelled(plain, giveBack), nullptr) << "nothing freed, nothing to give back";

    std::string freedBy = "Openbox";
    PreferencesServices::GiveBackDone pending;
    auto withRecord = services();
    withRecord.freedDesktopName = [&] { return freedBy; };
    withRecord.giveBackDesktopKey = [&](PreferencesServices::GiveBackDone done) { pending = done; };
    PreferencesWindowController window(PreferencesPane::general, withRecord);
    QPushButton* button = buttonLabelled(window, giveBack);
    ASSERT_NE(button, nullptr);
    button->click();
    ASSERT_TRUE(pending) << "the click asks for the binding back";
    testing::runEventsUntil([] { return false; }, 0.05);
    button = buttonLabelled(window, giveBack);
    ASSERT_NE(button, nullptr);
    EXPECT_FALSE(button->isEnabled()) << "one give-back at a time";

    pending(false, "Vantlo could not write rc.xml.");
    testing::runEventsUntil([] { return false; }, 0.05);
    bool explained = false;
    for (QLabel* label : window.findChildren<QLabel*>())
        explained = explained || label->text() == "Vantlo could not write rc.xml.";
    EXPECT_TRUE(explained) << "a failure is shown in the row";

    button = buttonLabelled(window, giveBack);
    ASSERT_NE(button, nullptr);
    EXPECT_TRUE(button->isEnabled()) << "it can be tried again";
    pending = nullptr;
    button->click();
    ASSERT_TRUE(pending);
    freedBy.clear();
    pending(true, "");
    testing::runEventsUntil([] { return false; }, 0.05);
    EXPECT_EQ(buttonLabelled(window, giveBack), nullptr) << "given back: the row goes";
}

TEST_F(PreferencesWindowTest, TheGeneralPaneTellsPerBrowserWhetherItsTabsCanBeReached) {
    PreferencesWindowController window(PreferencesPane::general, services());
    auto texts = [&] {
        QStringList all;
        for (auto* label : window.findChildren<QLabel*>())
            all << label->text();
        return all;
    };
    EXPECT_TRUE(texts().contains("Checking your browsers…")) << "before the background read";
    fake_.dispatch->runUntilIdle();
    testing::runEventsUntil([&] { return texts().contains("Chromium"); }, 2.0);
    QStringList shown = texts();
    EXPECT_TRUE(shown.contains("Browser Tabs"));
    EXPECT_TRUE(shown.contains("Host manifest in place. Vantlo Tabs extension connected."))
        << shown.join(" | ").toStdString();
    EXPECT_TRUE(shown.contains("Firefox ESR"));
}

TEST_F(PreferencesWindowTest, ALanguageChangeRetitlesTheOpenWindow) {
    PreferencesWindowController window(PreferencesPane::exceptions, services());
    Localization::shared().setLanguage(AppLanguage::simplifiedChinese);
    fake_.dispatch->runUntilIdle();
    EXPECT_EQ(window.windowTitle().toStdString(), "Vantlo 偏好设置");
    EXPECT_EQ(window.selection(), PreferencesPane::exceptions) << "the pane stays";
}

TEST_F(PreferencesWindowTest, EveryPaneRendersCrisplyAtScaleTwo) {
    PreferencesWindowController window(PreferencesPane::general, services());
    for (PreferencesPane pane : PreferencesPanes::allCases()) {
        window.select(pane);
        testing::runEventsUntil([] { return false; }, 0.05);
        QPixmap shot(QSize(760, 560) * 2);
        shot.setDevicePixelRatio(2);
        shot.fill(Qt::black);
        window.render(&shot);
        QImage image = shot.toImage();
        EXPECT_EQ(image.size(), QSize(1520, 1120)) << PreferencesPanes::rawValue(pane);
        // The sidebar's colour fills its column; the window's colour fills the detail area.
        EXPECT_TRUE(close(image.pixelColor(20, 1000), PrefStyle::sidebar()))
            << PreferencesPanes::rawValue(pane) << " "
            << image.pixelColor(20, 1000).name().toStdString();
        EXPECT_TRUE(close(image.pixelColor(1500, 40), PrefStyle::window()))
            << PreferencesPanes::rawValue(pane) << " "
            << image.pixelColor(1500, 40).name().toStdString();
    }
}

}  // namespace
}  // namespace vantlo
