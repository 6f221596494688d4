#include "ControllerTestBase.h"
#include "switcher/layout/RowLayout.h"

namespace vantlo {
namespace {

using Kind = PanelPointerEvent::Kind;

// The summoned panel with Option held, its rows laid out as the view lays them out: a main list
// of rows 48 high and 2 apart under a 57-point header, each with a close button, and the file
// manager's group row with its count badge.
class PanelPointer_ : public ControllerTestBase {
  protected:
    PanelPointer_() {
        auto& finder = fake.addApp({.bundleID = "com.apple.finder",
                                    .name = "Finder",
                                    .bundlePath = "/System/Library/CoreServices/Finder.app"});
        fake.addWindow(finder, "Documents");
        fake.addWindow(finder, "Downloads");
        auto& editor = fake.addApp({.bundleID = "com.example.editor",
                                    .name = "Editor",
                                    .bundlePath = "/Applications/Editor.app"});
        notes = fake.addWindow(editor, "Notes").number;
        auto& mail = fake.addApp({.bundleID = "com.example.mail",
                                  .name = "Mail",
                                  .bundlePath = "/Applications/Mail.app"});
        inbox = fake.addWindow(mail, "Inbox").number;
        useInOrder({"com.example.editor::Notes", "com.example.mail::Inbox"});
        makeController();
        monitors->heldFlags = ModifierFlags::option;
        summon();
        presenter->finishSlideIn();
        layOutRows();
    }

    void layOutRows() {
        const SwitcherMetrics metrics;
        auto& map = presenter->targets;
        map = {};
        map.list = {14, 57, 340, 500};
        auto model = controller->viewModel();
        for (int i = 0; i < model->visibleCount(); ++i) {
            const Rect row{43, 63.0 + 50 * i, 282, 48};
            const bool group = model->filtered()[i].windowGroup() != nullptr;
            const auto l = RowLayout::make(row, group ? RowKind::windowGroup : RowKind::window,
                                           false, group ? Size{26, 22} : Size{}, false, metrics);
            map.rows.push_back({i, row, l.badge, l.close});
        }
    }

    // A point of row `index` (its middle, or its close button or badge), on screen.
    Point onRow(int index, PanelHit::Part part = PanelHit::Part::row) {
        const auto& target = presenter->targets.rows.at(index);
        const Rect r = part == PanelHit::Part::close   ? target.close
                       : part == PanelHit::Part::badge ? target.badge
                                                       : Rect{target.row.x, target.row.y, 150, 48};
        return {presenter->frame.x + r.midX(), presenter->frame.y + r.midY()};
    }

    void pointer(Kind kind, Point at, MouseButton button = MouseButton::primary,
                 double notches = 0) {
        controller->pointerEvent({kind, at, button, notches});
        fake.dispatch->runUntilIdle();
    }

    std::uint32_t notes = 0;
    std::uint32_t inbox = 0;
};

TEST_F(PanelPointer_, AClickOnARowOpensItWhileOptionIsHeld) {
    ASSERT_EQ(titles(controller->viewModel()->filtered()),
              (std::vector<std::string>{"Inbox", "Notes", "Finder"}));
    pointer(Kind::pressed, onRow(1), MouseButton::secondary);
    EXPECT_TRUE(controller->isShowing()) << "the secondary button opens nothing";
    pointer(Kind::pressed, onRow(1));
    EXPECT_FALSE(controller->isShowing());
    EXPECT_EQ(fake.effects->raised, (std::vector<std::uint32_t>{notes}));
    monitors->flagsChanged(0);
    fake.dispatch->advance(0.1);
    EXPECT_EQ(fake.effects->raised.size(), 1u) << "the release after it commits nothing more";
}

TEST_F(PanelPointer_, AClickOnACloseButtonClosesThatRowAndKeepsThePanel) {
    pointer(Kind::pressed, onRow(0, PanelHit::Part::close));
    EXPECT_EQ(fake.effects->closedByButton, (std::vector<std::uint32_t>{inbox}));
    auto model = controller->viewModel();
    ASSERT_TRUE(model);
    EXPECT_EQ(model->selectedIndex(), 0) << "the closed row becomes the selection";
    EXPECT_EQ(model->closeState(model->filtered()[0]), RowCloseState::closing);
    releaseOption();
    EXPECT_FALSE(controller->isShowing()) << "the release after a close hides";
    EXPECT_TRUE(fake.effects->raised.empty()) << "and switches to nothing";
}

TEST_F(PanelPointer_, AClickOnTheCountBadgeEntersTheGroup) {
    pointer(Kind::pressed, onRow(2, PanelHit::Part::badge));
    auto model = controller->viewModel();
    ASSERT_TRUE(controller->isShowing());
    ASSERT_TRUE(model->activeWindowGroup());
    EXPECT_EQ(model->activeWindowGroup()->appName, "Finder");
    EXPECT_EQ(model->visibleCount(), 2);
    EXPECT_TRUE(fake.effects->raised.empty());
    layOutRows();
    pointer(Kind::pressed, onRow(1));
    EXPECT_FALSE(controller->isShowing()) << "a click in the group opens that window";
    EXPECT_EQ(fake.effects->raised.size(), 1u);
}

TEST_F(PanelPointer_, HoverSelectsRowsAndShowsItsLookUntilThePointerLeaves) {
    auto model = controller->viewModel();
    pointer(Kind::moved, onRow(2, PanelHit::Part::badge));
    EXPECT_EQ(presenter->hover, (PanelHit{PanelHit::Part::badge, 2}));
    EXPECT_EQ(model->selectedIndex(), 2);
    pointer(Kind::moved, onRow(0, PanelHit::Part::close));
    EXPECT_EQ(presenter->hover, (PanelHit{PanelHit::Part::close, 0}));
    EXPECT_EQ(model->selectedIndex(), 0);
    const Rect f = presenter->frame;
    pointer(Kind::moved, {f.x - 20, f.midY()});
    EXPECT_EQ(presenter->hover, PanelHit{}) << "off the panel the hover look ends";

    press(KeyCode::s, ModifierFlags::option);
    EXPECT_EQ(model->selectedIndex(), 1);
    pointer(Kind::moved, onRow(2));
    EXPECT_EQ(model->selectedIndex(), 1) << "the keyboard claimed the selection";
    monitors->mouseMoved();
    pointer(Kind::moved, onRow(2));
    EXPECT_EQ(model->selectedIndex(), 2) << "a pointer move gives it back";
}

TEST_F(PanelPointer_, TheWheelScrollsOnlyOverThePanel) {
    pointer(Kind::scrolled, onRow(1), MouseButton::primary, 3);
    EXPECT_EQ(presenter->scrolledNotches, 3);
    const Rect f = presenter->frame;
    pointer(Kind::scrolled, {f.x - 2, f.midY()}, MouseButton::primary, 3);
    EXPECT_EQ(presenter->scrolledNotches, 3);
    EXPECT_TRUE(controller->isShowing()) << "a wheel turn is no click";
    controller->hide();
    pointer(Kind::scrolled, onRow(1), MouseButton::primary, 1);
    pointer(Kind::pressed, onRow(1));
    EXPECT_EQ(presenter->scrolledNotches, 3) << "a hidden panel takes no pointer";
    EXPECT_TRUE(fake.effects->raised.empty());
}

}  // namespace
}  // namespace vantlo
