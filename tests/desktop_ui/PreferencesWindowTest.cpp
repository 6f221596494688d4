#include "ui/preferences/PreferencesWindowController.h"

#include <gtest/gtest.h>

#include <QImage>

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
        return {[] { return std::string("report"); }, "https://example.invalid/issues/new", false};
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
