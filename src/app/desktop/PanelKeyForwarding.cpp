#include "app/desktop/PanelKeyForwarding.h"

#include <QCoreApplication>
#include <QKeyEvent>

#include "platform/KeyCodes.h"
#include "ui/switcher/QtKeyTranslation.h"
#include "ui/switcher/QtPanelPresenter.h"
#include "ui/switcher/SearchField.h"
#include "ui/switcher/SearchView.h"
#include "ui/switcher/SwitcherPanel.h"

namespace vantlo {
namespace {

int qtKey(const KeyEvent& event) {
    switch (event.keyCode) {
        case KeyCode::deleteBackward:
            return Qt::Key_Backspace;
        case KeyCode::forwardDelete:
            return Qt::Key_Delete;
        case KeyCode::home:
            return Qt::Key_Home;
        case KeyCode::end:
            return Qt::Key_End;
        case KeyCode::leftArrow:
            return Qt::Key_Left;
        case KeyCode::rightArrow:
            return Qt::Key_Right;
        default:
            return Qt::Key_unknown;
    }
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
    auto modifiers = QtKeyTranslation::qtModifiers(event.modifierFlags) & ~Qt::AltModifier;
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QCoreApplication::sendEvent(field, &press);
}

}  // namespace vantlo
