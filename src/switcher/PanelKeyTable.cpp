#include "switcher/PanelKeyTable.h"

#include "platform/KeyCodes.h"
#include "platform/ModifierFlags.h"

namespace vantlo {
namespace {

bool holdsShiftControlOrCommand(const KeyEvent& event) {
    return (event.modifierFlags &
            (ModifierFlags::shift | ModifierFlags::control | ModifierFlags::command)) != 0;
}

bool upArrow(const KeyEvent& event) {
    return event.keyCode == KeyCode::upArrow;
}
bool downArrow(const KeyEvent& event) {
    return event.keyCode == KeyCode::downArrow;
}
bool leftArrow(const KeyEvent& event) {
    return event.keyCode == KeyCode::leftArrow;
}
bool rightArrow(const KeyEvent& event) {
    return event.keyCode == KeyCode::rightArrow;
}
bool tabKey(const KeyEvent& event) {
    return event.keyCode == KeyCode::tab;
}
bool plainEscape(const KeyEvent& event) {
    return event.keyCode == KeyCode::escape && !holdsShiftControlOrCommand(event);
}
// Return or keypad Enter; Option may be held, as it is for the whole showing.
bool enterKey(const KeyEvent& event) {
    return (event.keyCode == KeyCode::returnKey || event.keyCode == KeyCode::keypadEnter) &&
           !holdsShiftControlOrCommand(event);
}
bool noFixedKey(const KeyEvent&) {
    return false;
}

}  // namespace

const PanelKeyTable::Row PanelKeyTable::kRows[] = {
    {ShortcutAction::moveUp, upArrow},        {ShortcutAction::moveDown, downArrow},
    {ShortcutAction::back, leftArrow},        {ShortcutAction::enterGroup, rightArrow},
    {ShortcutAction::desktop, noFixedKey},    {std::nullopt, tabKey},
    {ShortcutAction::cancel, plainEscape},    {ShortcutAction::closeSelected, noFixedKey},
    {ShortcutAction::openSelected, enterKey}, {ShortcutAction::search, enterKey},
};

PanelKeyTable::PanelKeyTable(ShortcutTable bindings, Handlers handlers)
    : bindings_(std::move(bindings)), handlers_(std::move(handlers)) {}

bool PanelKeyTable::matches(const Row& row, const KeyEvent& event) const {
    if (row.fixedKey(event))
        return true;
    if (!row.action)
        return false;
    auto binding = bindings_.find(*row.action);
    return binding != bindings_.end() &&
           binding->second.matchesEvent(event.keyCode, event.modifierFlags);
}

const PanelKeyTable::Handler* PanelKeyTable::handlerFor(const Row& row) const {
    if (!row.action)
        return handlers_.tab ? &handlers_.tab : nullptr;
    auto found = handlers_.actions.find(*row.action);
    return found != handlers_.actions.end() && found->second ? &found->second : nullptr;
}

bool PanelKeyTable::handle(const KeyEvent& event) const {
    for (const Row& row : kRows) {
        if (!matches(row, event))
            continue;
        const Handler* handler = handlerFor(row);
        if (!handler)
            continue;
        switch ((*handler)(event)) {
            case Outcome::consumed:
                return true;
            case Outcome::passedOn:
                return false;
            case Outcome::notMine:
                break;
        }
    }
    return false;
}

}  // namespace vantlo
