#pragma once
// Chooses one installed application (from the desktop entries, with their icons and names) to
// hide from Vantlo. A filter field narrows the list by name or identifier.

#include <QDialog>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "model/AppItem.h"

class QLineEdit;
class QListWidget;

namespace vantlo {

class AppPickerDialog : public QDialog {
  public:
    AppPickerDialog(std::vector<AppItem> apps, QWidget* parent = nullptr);

    // The chosen application's identifier; nothing when cancelled.
    static std::optional<std::string> choose(std::vector<AppItem> apps, QWidget* parent);

  private:
    void filter(const QString& text);
    void showIcons();

    std::vector<AppItem> apps_;
    QLineEdit* search_;
    QListWidget* list_;
    std::shared_ptr<void> imagesArrived_;
};

}  // namespace vantlo
