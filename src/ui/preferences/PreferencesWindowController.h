#pragma once
// The preferences window: fixed 760 × 560, dark, titled "Vantlo Preferences", the sidebar of the
// five panes on the left and the selected pane on the right. A pane is built anew each time it
// is selected, so it shows what is stored. The window follows "Vantlo.openPreferencesPane" (a
// PreferencesPane object switches to that pane; anything else is ignored) and redraws every
// text when the interface language changes. Closing it only hides it; `onClose` tells the owner.

#include <QWidget>
#include <functional>

#include "platform/NotificationCenter.h"
#include "preferences/PreferencesPane.h"
#include "ui/preferences/PreferencesServices.h"

class QHBoxLayout;

namespace vantlo {

class PreferencesSidebar;

class PreferencesWindowController : public QWidget {
  public:
    static constexpr int kWidth = 760;
    static constexpr int kHeight = 560;
    static constexpr const char* kOpenPaneNotification = "Vantlo.openPreferencesPane";

    PreferencesWindowController(PreferencesPane initialPane, PreferencesServices services,
                                std::function<void()> onClose = {});
    ~PreferencesWindowController() override;

    PreferencesPane selection() const { return selection_; }
    void select(PreferencesPane pane);
    // Shows the window (centred the first time), raises it and gives it the keyboard.
    void present();
    // Re-reads the title, the sidebar and the pane in the current language.
    void retranslate();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    QWidget* makePane(PreferencesPane pane);

    PreferencesServices services_;
    std::function<void()> onClose_;
    PreferencesPane selection_;
    PreferencesSidebar* sidebar_;
    QHBoxLayout* layout_;
    QWidget* detail_ = nullptr;
    bool placed_ = false;
    Subscription paneObserver_;
    Subscription languageObserver_;
};

}  // namespace vantlo
