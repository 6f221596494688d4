#pragma once
// The guide window: 520 × 360, titled "Vantlo Guide", centred, closable but not resizable,
// hosting OnboardingSummonView. Closing it (by the user, "Skip Guide", "Got it", or the guide
// reaching the panel) calls `onDismiss` once; the stage stays as it is.

#include <QWidget>
#include <functional>

#include "platform/Subscription.h"
#include "ui/onboarding/GuideServices.h"

namespace vantlo {

class OnboardingSummonView;

class OnboardingWindowController : public QWidget {
  public:
    static constexpr int kWidth = 520;
    static constexpr int kHeight = 360;

    OnboardingWindowController(GuideServices services, std::function<void()> onDismiss);
    ~OnboardingWindowController() override;

    // Shows the window centred the first time, brings it to the front and gives it the keyboard.
    void present();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    std::function<void()> onDismiss_;
    OnboardingSummonView* view_ = nullptr;
    bool placed_ = false;
    Subscription languageObserver_;
};

}  // namespace vantlo
