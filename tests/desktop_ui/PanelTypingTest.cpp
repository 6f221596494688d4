#include <gtest/gtest.h>

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QWindow>

#include "QtTestApplication.h"
#include "switcher/SearchViewModel.h"
#include "switcher/layout/SwitcherViewState.h"
#include "testing/FakePlatform.h"
#include "ui/switcher/SearchField.h"
#include "ui/switcher/SearchView.h"
#include "ui/switcher/SwitcherPanel.h"

namespace vantlo {
namespace {

class PanelTyping : public ::testing::Test {
  protected:
    PanelTyping() { testing::qtApplication(); }

    static void sendComposition(QWidget* field, const QString& preedit, const QString& commit) {
        QList<QInputMethodEvent::Attribute> attributes;
        QInputMethodEvent event(preedit, attributes);
        if (!commit.isEmpty())
            event.setCommitString(commit);
        QCoreApplication::sendEvent(field, &event);
    }

    FakePlatform fake_;
};

TEST_F(PanelTyping, CompositionIsMarkedTextAndOnlyItsCommitReachesTheSearch) {
    SearchView view(false, 1.0, nullptr);
    view.resize(354, 620);
    std::vector<std::string> queries;
    SearchView::Actions actions;
    actions.setQuery = [&](const std::string& query) { queries.push_back(query); };
    view.setActions(actions);
    SwitcherViewState state;
    state.searchActive = true;
    view.setState(state);

    sendComposition(view.searchField(), QStringLiteral("ce shi"), {});
    EXPECT_TRUE(view.hasMarkedText()) << "the preedit is marked text";
    EXPECT_TRUE(queries.empty()) << "a composition in progress is no query yet";

    sendComposition(view.searchField(), {}, QStringLiteral("测试"));
    EXPECT_FALSE(view.hasMarkedText());
    ASSERT_EQ(queries.size(), 1u);
    EXPECT_EQ(queries.back(), "测试");
    EXPECT_EQ(view.searchField()->text(), QStringLiteral("测试"));
}

// An input method hands the keys it leaves back as the same event object with no time stamp:
// each delivery is a key of its own for the panel's bindings.
TEST_F(PanelTyping, KeysHandedBackByAnInputMethodEachReachTheBindings) {
    SwitcherPanel panel(false, 1.0, nullptr);
    panel.setPanelSize(QSize(354, 620));
    panel.show();
    int seen = 0;
    panel.setKeyHandler([&](QKeyEvent*) {
        ++seen;
        return true;
    });
    QKeyEvent key(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    QCoreApplication::sendEvent(panel.windowHandle(), &key);
    QCoreApplication::sendEvent(panel.windowHandle(), &key);
    EXPECT_EQ(seen, 2);

    panel.setKeyHandler([&](QKeyEvent*) {
        ++seen;
        return false;
    });
    QKeyEvent letter(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
    QCoreApplication::sendEvent(panel.windowHandle(), &letter);
    EXPECT_EQ(seen, 3) << "a key climbing to the parent widgets is handled once";
}

}  // namespace
}  // namespace vantlo
