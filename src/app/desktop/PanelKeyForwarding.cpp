#include "app/desktop/PanelKeyForwarding.h"

#include <QCoreApplication>
#include <QKeyEvent>

#include "input/KeyCodes.h"
#include "input/ModifierFlags.h"
#include "ui/switcher/QtPanelPresenter.h"
#include "ui/switcher/SearchField.h"
#include "ui/switcher/SearchView.h"
#include "ui/switcher/SwitcherPanel.h"

namespace vantlo {
namespace {

constexpr std::uint16_t kForwardDelete = 117;
constexpr std::uint16_t kHome = 115;
constexpr std::uint16_t kEnd = 119;

int qtKey(const KeyEvent& event) {
    switch (event.keyCode) {
        case KeyCode::deleteBackward:
            return Qt::Key_Backspace;
        case kForwardDelete:
            return Qt::Key_Delete;
        case kHome:
            return Qt::Key_Home;
        case kEnd:
            return Qt::Key_End;
        case KeyCode::leftArrow:
            return Qt::Key_Left;
        case KeyCode::rightArrow:
            return Qt::Key_Right;
        default:
            return Qt::Key_unknown;
    }
}

Qt::KeyboardModifiers qtModifiers(std::uint64_t flags) {
    Qt::KeyboardModifiers modifiers;
    if (flags & ModifierFlags::shift)
        modifiers |= Qt::ShiftModifier;
    if (flags & ModifierFlags::control)
        modifiers |= Qt::ControlModifier;
    if (flags & ModifierFlags::option)
        modifiers |= Qt::AltModifier;
    if (flags & ModifierFlags::command)
        modifiers |= Qt::MetaModifier;
    return modifiers;
}

bool isControlText(const std::string& text) {
    for (unsigned char c : text) {
        if (c < 0x20 || c == 0x7F)
            return true;
    }
    return false;
}

}  // namespace

void typeIntoSearchField(QtPanelPresenter& presenter, const KeyEvent& event) {
    SwitcherPanel* panel = presenter.panel();
    if (!panel || !panel->view())
        return;
    SearchField* field = panel->view()->searchField();
    if (!field)
        return;
    int key = qtKey(event);
    QString text;
    if (key == Qt::Key_unknown) {
        if (event.characters.empty() || isControlText(event.characters))
            return;
        text = QString::fromStdString(event.characters);
        key = text.front().toUpper().unicode();
    }
    // Option is held for the whole showing; text typed with it is still plain text.
    auto modifiers = qtModifiers(event.modifierFlags) & ~Qt::AltModifier;
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QCoreApplication::sendEvent(field, &press);
}

}  // namespace vantlo
