#pragma once
// The Exceptions pane: applications hidden from Vantlo, and the name and title patterns that hide
// applications and windows.

#include <memory>

#include "preferences/ExceptionsPaneModel.h"
#include "ui/preferences/PaneRendering.h"
#include "ui/preferences/SettingsDetail.h"

namespace vantlo {

class ExceptionsPane : public SettingsDetail {
  public:
    explicit ExceptionsPane(QWidget* parent = nullptr);

  private:
    using List = ExceptionsPaneModel::PatternList;

    void render();
    QWidget* ignoredAppsSection();
    QWidget* regexSection(const QString& title, const QString& placeholder, List list);
    void addAppViaPanel();

    PaneRendering rendering_;
    std::unique_ptr<ExceptionsPaneModel> model_;
    // The field to give the keyboard back to after a rebuild.
    std::optional<List> focusedField_;
};

}  // namespace vantlo
