#include "preferences/BrowserAccessModel.h"

#include "preferences/PreferencesTestBase.h"

namespace vantlo {
namespace {

class BrowserAccessModelTest : public PreferencesTest {
  protected:
    std::shared_ptr<BrowserAccessModel> makeModel() {
        return BrowserAccessModel::create(
            [this] {
                readOnMainThread = readOnMainThread || fake_.dispatch->isMainThread();
                ++reads;
                return answer;
            },
            [this] { ++changes; });
    }

    std::vector<BrowserAccess> answer;
    int reads = 0;
    int changes = 0;
    bool readOnMainThread = false;
};

TEST_F(BrowserAccessModelTest, BrowsersAreReadOffTheMainThreadAndShownWithBothStates) {
    answer = {{"Chromium", true, {4242}}, {"Firefox ESR", true, {}}, {"Google Chrome", false, {}}};
    auto model = makeModel();
    auto checking = model->rows();
    ASSERT_EQ(checking.size(), 1u);
    EXPECT_EQ(checking[0].detail, "Checking your browsers…");
    EXPECT_EQ(checking[0].state, PermissionState::info);

    model->refresh();
    EXPECT_EQ(reads, 0) << "nothing is read on the caller's turn";
    fake_.dispatch->runUntilIdle();
    EXPECT_EQ(reads, 1);
    EXPECT_FALSE(readOnMainThread);
    EXPECT_EQ(changes, 1);

    auto rows = model->rows();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].title, "Chromium");
    EXPECT_EQ(rows[0].state, PermissionState::ready);
    EXPECT_EQ(rows[0].detail, "Host manifest in place. Vantlo Tabs extension connected.");
    EXPECT_EQ(rows[1].state, PermissionState::needsAction);
    EXPECT_EQ(rows[1].detail,
              "Host manifest in place. Vantlo Tabs extension not connected: add it to this "
              "browser and keep the browser open.");
    EXPECT_EQ(rows[2].detail,
              "Host manifest missing: run vantlo browser install. Vantlo Tabs extension not "
              "connected: add it to this browser and keep the browser open.");
    EXPECT_EQ(rows[2].primaryTitle, "Check Again");
}

TEST_F(BrowserAccessModelTest, OnlyTheNewestAnswerCountsAndNoneArrivesForAGoneModel) {
    auto model = makeModel();
    model->refresh();
    answer = {};
    model->refresh();
    fake_.dispatch->runUntilIdle();
    EXPECT_EQ(reads, 2);
    EXPECT_EQ(changes, 1) << "the older answer is dropped";
    auto rows = model->rows();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].title, "Browser Tabs");
    EXPECT_NE(rows[0].detail.find("No supported browser is installed"), std::string::npos);

    model->refresh();
    model.reset();
    fake_.dispatch->runUntilIdle();
    EXPECT_EQ(changes, 1) << "a pane that closed meanwhile is not told";
}

}  // namespace
}  // namespace vantlo
