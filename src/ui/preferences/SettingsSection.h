#pragma once
// A titled card: the section title, then the rows on a rounded card with a hairline border.

#include <QWidget>

class QVBoxLayout;

namespace vantlo {

class SettingsSection : public QWidget {
  public:
    explicit SettingsSection(const QString& title, QWidget* parent = nullptr);

    // Adds a row (or any widget) to the card, in order.
    void add(QWidget* row);
    void addLayout(QLayout* layout);

  private:
    QVBoxLayout* card_;
};

}  // namespace vantlo
