#pragma once
// The switcher panel's keys as one table. Each row names the in-panel action whose binding
// triggers it and the fixed key that triggers it too (the arrows with any modifiers, Tab, Escape
// without Shift, Control or Command, Return and keypad Enter); the first row whose binding or
// key matches a key press decides. Bindings are taken when the table is built, so a change of
// shortcuts builds a new table. Plain keys that no row takes are text for the search.

#include <functional>
#include <map>
#include <optional>

#include "input/ShortcutAction.h"
#include "input/ShortcutStore.h"
#include "platform/PanelEvents.h"

namespace vantlo {

class PanelKeyTable {
  public:
    // What a row's handler made of the key: consumed it, sent it on to the panel, or left it to
    // the rows below (an action that does not apply in the model's present state).
    enum class Outcome { consumed, passedOn, notMine };
    using Handler = std::function<Outcome(const KeyEvent&)>;

    struct Handlers {
        std::map<ShortcutAction, Handler> actions;
        // Tab and Shift+Tab: the activation hot key's own movement, not a bindable action.
        Handler tab;
    };

    PanelKeyTable(ShortcutTable bindings, Handlers handlers);

    // Runs the first row that matches; true when the key was consumed.
    bool handle(const KeyEvent& event) const;

  private:
    struct Row {
        std::optional<ShortcutAction> action;
        bool (*fixedKey)(const KeyEvent&);
    };
    static const Row kRows[];

    bool matches(const Row& row, const KeyEvent& event) const;
    const Handler* handlerFor(const Row& row) const;

    ShortcutTable bindings_;
    Handlers handlers_;
};

}  // namespace vantlo
