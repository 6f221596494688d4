#pragma once
// The page every pane is: a title over a vertical stack of sections, scrolling when taller than
// the window, on the window colour. `clear` empties the stack so a pane can rebuild itself from
// its state.

#include <QScrollArea>

class QLabel;
class QVBoxLayout;

namespace vantlo {

class SettingsDetail : public QScrollArea {
  public:
    explicit SettingsDetail(QWidget* parent = nullptr);

    void setTitle(const QString& title);
    // Removes every section below the title.
    void clear();
    void add(QWidget* section);
    void addLayout(QLayout* layout);

  private:
    QLabel* title_;
    QVBoxLayout* stack_;
};

}  // namespace vantlo
