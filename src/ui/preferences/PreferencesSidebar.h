#pragma once
// The sidebar of the preferences window: the five panes in order, each its symbol and title, the
// selected one highlighted. Up and Down move the selection.

#include <QWidget>
#include <functional>
#include <vector>

#include "preferences/PreferencesPane.h"

namespace vantlo {

class PreferencesSidebar : public QWidget {
  public:
    static constexpr int kWidth = 150;

    explicit PreferencesSidebar(std::function<void(PreferencesPane)> onSelect,
                                QWidget* parent = nullptr);

    void setSelection(PreferencesPane pane);
    PreferencesPane selection() const { return selection_; }
    // Titles follow the interface language.
    void retranslate() { update(); }

  protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    QRectF rowRect(std::size_t index) const;

    std::function<void(PreferencesPane)> onSelect_;
    PreferencesPane selection_ = PreferencesPane::general;
};

}  // namespace vantlo
