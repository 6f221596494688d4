#pragma once
// The Shortcuts pane: the activation hot key and the nine in-panel shortcuts, each with a key
// recorder and a reset, grouped as the panel groups them.

#include <memory>

#include "preferences/ShortcutsPaneModel.h"
#include "ui/preferences/PaneRendering.h"
#include "ui/preferences/SettingsDetail.h"

namespace vantlo {

class SettingsRow;

class ShortcutsPane : public SettingsDetail {
  public:
    explicit ShortcutsPane(QWidget* parent = nullptr);

    // The line under a recorder's title while it is armed.
    static QString armedHint(bool keyboardTaken);

  private:
    void render();
    QWidget* activationSection();
    SettingsRow* shortcutRow(ShortcutAction action);

    PaneRendering rendering_;
    std::unique_ptr<ShortcutsPaneModel> model_;
};

}  // namespace vantlo
