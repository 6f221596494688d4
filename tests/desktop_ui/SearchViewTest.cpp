#include "ui/switcher/SearchView.h"

#include <gtest/gtest.h>

#include <QImage>

#include "QtTestApplication.h"
#include "settings/Localization.h"
#include "switcher/RowImageSource.h"
#include "switcher/SearchViewModel.h"
#include "switcher/ShowcaseDesktop.h"
#include "testing/FakePlatform.h"

namespace vantlo {
namespace {

class SearchViewTest : public ::testing::Test {
  protected:
    SearchViewTest() {
        testing::qtApplication();
        Localization::setResourcesPath(VANTLO_SOURCE_DIR "/po");
        Localization::resetShared();
    }
    ~SearchViewTest() override {
        Localization::resetShared();
        Localization::setResourcesPath("");
    }

    QImage render(bool leftEdge, const SwitcherViewState& state, double scale = 1.0) {
        SearchView view(leftEdge, scale, nullptr);
        view.resize(354, 620);
        view.setState(state);
        return view.snapshot(Qt::transparent).convertToFormat(QImage::Format_ARGB32);
    }

    SwitcherViewState fixtureState(int selected) {
        auto model = SearchViewModel::create(ShowcaseDesktop::defaultVisibleItems(), true, {});
        model->setSelectedIndex(selected);
        return SwitcherViewState::from(*model);
    }

    FakePlatform fake_;
};

TEST_F(SearchViewTest, SelectedRowCarriesTheHighlightAndTheWaveBulgesBesideIt) {
    const QImage image = render(false, fixtureState(2));
    // Third row of the main list: 57 header + 6 padding + 2 × 50, centred in its 48 points.
    const int rowY = 57 + 6 + 100 + 24;
    const QColor highlight = image.pixelColor(184, rowY);
    EXPECT_GT(highlight.blue(), 60) << "the highlight's gradient sits behind the selected row";
    EXPECT_GT(highlight.blue(), highlight.red());
    const QColor plainRow = image.pixelColor(184, rowY + 100);
    EXPECT_LT(plainRow.blue(), 40) << "other rows are not highlighted";
    // The wave's crest reaches 11 points into the 14-point strip on the inner (left) side.
    EXPECT_EQ(image.pixelColor(5, rowY).alpha(), 255) << "the crest beside the selected row";
    EXPECT_LT(image.pixelColor(5, 40).alpha(), 200) << "no body in the strip away from the wave";
}

TEST_F(SearchViewTest, LeftEdgePanelWavesOnItsRightSide) {
    const QImage image = render(true, fixtureState(2));
    const int rowY = 57 + 6 + 100 + 24;
    EXPECT_EQ(image.pixelColor(354 - 6, rowY).alpha(), 255);
    EXPECT_LT(image.pixelColor(354 - 6, 40).alpha(), 200);
    EXPECT_EQ(image.pixelColor(2, 40).alpha(), 255) << "the screen side is square and full";
}

TEST_F(SearchViewTest, EmptyListShowsItsExplanationInsteadOfRows) {
    SwitcherViewState empty;
    const QImage image = render(false, empty);
    int lit = 0;
    for (int y = 150; y < 450; ++y)
        for (int x = 40; x < 330; ++x)
            lit += image.pixelColor(x, y).lightness() > 90;
    EXPECT_GT(lit, 50) << "the lock symbol and the texts of the empty state";
}

TEST_F(SearchViewTest, WindowedGroupListKeepsTheSelectionOnScreen) {
    auto model = SearchViewModel::create({ShowcaseDesktop::largeWindowGroup(40)}, true, {});
    model->openWindowGroup(model->items().front(), false);
    model->setSelectedIndex(30);
    SearchView view(false, 1.0, nullptr);
    view.resize(354, 620);
    view.setState(SwitcherViewState::from(*model));
    const auto centre = view.selectedRowMidY();
    ASSERT_TRUE(centre);
    EXPECT_GT(*centre, 150);
    EXPECT_LT(*centre, 600);
}

TEST_F(SearchViewTest, FooterWrittenInWordsStaysInsideThePanel) {
    for (int width : {354, 300}) {
        SearchView view(false, 1.0, nullptr);
        view.resize(width, 620);
        view.setFooterBindings(FooterHints::bindings({}, KeyLabelStyle::words));
        view.setState(fixtureState(0));
        const QImage image = view.snapshot(Qt::transparent).convertToFormat(QImage::Format_ARGB32);
        int outside = 0, inside = 0;
        for (int y = 620 - 28; y < 620 - 4; ++y) {
            for (int x = 0; x < width; ++x) {
                const bool lit = image.pixelColor(x, y).lightness() > 60;
                // The body starts after the 14-point wave strip; the text keeps clear of its sides.
                (x < 14 + 4 || x >= width - 4 ? outside : inside) += lit;
            }
        }
        EXPECT_EQ(outside, 0) << "footer text beyond the body, width " << width;
        EXPECT_GT(inside, 100) << "the hints are drawn, width " << width;
    }
}

// Hands out one solid red page icon at once and remembers what it was asked for.
class RedPageIcons : public RowImageSource {
  public:
    void pageIcon(const std::string& address, Delivery deliver) override {
        asked.push_back(address);
        auto image = std::make_shared<Image>();
        image->width = image->height = 32;
        image->pixels.assign(32 * 32, 0xFFFF0000u);
        deliver(image);
    }
    void windowPicture(std::uint32_t, Delivery) override { ++windowPictures; }

    std::vector<std::string> asked;
    int windowPictures = 0;
};

TEST_F(SearchViewTest, TabRowsShowThePageIconsTheirImageSourceDelivers) {
    TabItem tab;
    tab.title = "Release notes";
    tab.faviconURL = "vantlo-favicon://example.org/";
    TabItem bare;
    bare.title = "No icon";
    TabGroupItem group;
    group.appName = "Browser";
    group.tabs = {tab, bare};
    auto model = SearchViewModel::create({SwitchItem(group)}, true, {});
    model->openTabGroup(model->items().front(), false);
    auto images = std::make_shared<RedPageIcons>();
    SearchView view(false, 1.0, images);
    view.resize(354, 620);
    view.setState(SwitcherViewState::from(*model));
    const QImage image = view.snapshot(Qt::transparent).convertToFormat(QImage::Format_ARGB32);

    EXPECT_EQ(images->asked, std::vector<std::string>{tab.faviconURL})
        << "asked once, and never for a tab without an address";
    EXPECT_EQ(images->windowPictures, 0) << "tabs have no window pictures";
    // The first row's 32-point icon block, under the group's taller header.
    int red = 0;
    for (int y = 156 + 6 + 8; y < 156 + 6 + 40; ++y)
        for (int x = 40; x < 90; ++x)
            red += image.pixelColor(x, y).red() > 200 && image.pixelColor(x, y).green() < 60;
    EXPECT_GT(red, 300) << "the delivered icon is painted in the row";
}

}  // namespace
}  // namespace vantlo
