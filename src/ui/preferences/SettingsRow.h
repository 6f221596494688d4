#pragma once
// One setting: its title and a wrapping explanation on the left, its controls on the right.

#include <QWidget>

class QHBoxLayout;
class QLabel;

namespace vantlo {

class SettingsRow : public QWidget {
  public:
    SettingsRow(const QString& title, const QString& detail, QWidget* parent = nullptr);

    // Appends a control on the right, in order.
    void addControl(QWidget* control);
    QLabel* detailLabel() const { return detail_; }

  protected:
    // For rows that put something before the texts (the permission row's status symbol).
    QHBoxLayout* row() const { return row_; }

  private:
    QHBoxLayout* row_;
    QHBoxLayout* controls_;
    QLabel* detail_;
};

}  // namespace vantlo
