#pragma once
// The Appearance pane: the panel's text size and width, and what its list contains. Each change
// is stored at once and shows at the next showing.

#include "ui/preferences/SettingsDetail.h"

namespace vantlo {

class AppearancePane : public SettingsDetail {
  public:
    explicit AppearancePane(QWidget* parent = nullptr);

  private:
    QWidget* panelSection();
    QWidget* listSection();
};

}  // namespace vantlo
