#pragma once
// The General pane: the activation hot key, the interface language, where the panel shows,
// launching at login, and whether this session lets Vantlo control windows.

#include <memory>

#include "preferences/GeneralPaneModel.h"
#include "ui/preferences/PaneRendering.h"
#include "ui/preferences/SettingsDetail.h"

namespace vantlo {

class GeneralPane : public SettingsDetail {
  public:
    explicit GeneralPane(GeneralPaneModel::Session session, QWidget* parent = nullptr);

  private:
    void render();
    QWidget* keyboardSection();
    QWidget* behaviorSection();
    QWidget* permissionSection();

    PaneRendering rendering_;
    std::unique_ptr<GeneralPaneModel> model_;
};

}  // namespace vantlo
