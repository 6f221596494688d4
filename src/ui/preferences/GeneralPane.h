#pragma once
// The General pane: the activation hot key, the interface language, where the panel shows,
// launching at login, whether this session lets Vantlo control windows, once the guide freed the
// desktop's own Alt+Tab the button that gives it back, and, when the program can tell, whether
// each installed browser's tabs can be reached.

#include <memory>

#include "preferences/BrowserAccessModel.h"
#include "preferences/GeneralPaneModel.h"
#include "ui/preferences/PaneRendering.h"
#include "ui/preferences/PreferencesServices.h"
#include "ui/preferences/SettingsDetail.h"

namespace vantlo {

class GeneralPane : public SettingsDetail {
  public:
    explicit GeneralPane(GeneralPaneModel::Session session, PreferencesServices services = {},
                         QWidget* parent = nullptr);

  private:
    void render();
    QWidget* keyboardSection();
    QWidget* behaviorSection();
    QWidget* permissionSection();
    QWidget* browserSection();
    QWidget* desktopKeyRow();
    void giveBackDesktopKey();

    PaneRendering rendering_;
    std::unique_ptr<GeneralPaneModel> model_;
    PreferencesServices services_;
    std::shared_ptr<BrowserAccessModel> browsers_;
    bool givingBack_ = false;
    std::string giveBackError_;
};

}  // namespace vantlo
