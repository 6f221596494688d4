#include "preferences/FeedbackPaneModel.h"
#include "preferences/PreferencesTestBase.h"

namespace vantlo {
namespace {

using FeedbackPaneModelTest = PreferencesTest;

constexpr const char* kReport = "Vantlo: 0.1.0\nOS: Debian 12";

TEST_F(FeedbackPaneModelTest, CopyPutsExactlyTheReportOnTheClipboardAndReadsCopiedFor1Point4s) {
    FeedbackPaneModel pane([] { return std::string(kReport); });
    EXPECT_EQ(pane.copyTitle(), "Copy Diagnostics");
    EXPECT_TRUE(pane.copyDiagnostics());
    EXPECT_EQ(fake_.pasteboard->string(), std::optional<std::string>(kReport));
    EXPECT_EQ(pane.copyTitle(), "Copied");
    EXPECT_EQ(pane.copySymbol(), "checkmark");
    fake_.dispatch->advance(1.39);
    EXPECT_TRUE(pane.copied()) << "still within 1.4 s";
    fake_.dispatch->advance(0.02);
    EXPECT_FALSE(pane.copied());
    EXPECT_EQ(pane.copyTitle(), "Copy Diagnostics");
}

TEST_F(FeedbackPaneModelTest, ASecondCopyMayBeClearedByTheFirstReset) {
    int redraws = 0;
    FeedbackPaneModel pane([] { return std::string(kReport); }, [&] { ++redraws; });
    pane.copyDiagnostics();
    fake_.dispatch->advance(1.0);
    pane.copyDiagnostics();
    fake_.dispatch->advance(0.5);
    EXPECT_FALSE(pane.copied()) << "the first reset ends the label";
    EXPECT_EQ(fake_.effects->clipboard.size(), 2u);
    fake_.dispatch->advance(1.0);
    EXPECT_EQ(redraws, 4);
}

TEST_F(FeedbackPaneModelTest,
       AResetAfterThePaneIsGoneDoesNothingAndARefusedClipboardKeepsTheLabel) {
    {
        FeedbackPaneModel pane([] { return std::string(kReport); });
        pane.copyDiagnostics();
    }
    fake_.dispatch->advance(2.0);  // the reset finds no pane

    fake_.pasteboard->setAvailable(false);
    FeedbackPaneModel pane([] { return std::string(kReport); });
    EXPECT_FALSE(pane.copyDiagnostics());
    EXPECT_FALSE(pane.copied());
}

}  // namespace
}  // namespace vantlo
