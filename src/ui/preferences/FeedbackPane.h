#pragma once
// The Feedback pane: copies the diagnostics report, opens the issue tracker, and lists what a
// useful report says.

#include <memory>

#include "preferences/FeedbackPaneModel.h"
#include "ui/preferences/PaneRendering.h"
#include "ui/preferences/PreferencesServices.h"
#include "ui/preferences/SettingsDetail.h"

class QPushButton;

namespace vantlo {

class FeedbackPane : public SettingsDetail {
  public:
    explicit FeedbackPane(const PreferencesServices& services, QWidget* parent = nullptr);

  private:
    void showCopyState();
    QWidget* sendSection();
    QWidget* tipsSection();

    PreferencesServices services_;
    std::unique_ptr<FeedbackPaneModel> model_;
    QPushButton* copyButton_ = nullptr;
};

}  // namespace vantlo
