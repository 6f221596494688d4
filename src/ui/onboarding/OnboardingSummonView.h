#pragma once
// The guide window's content for the stages `permissions` and `summon`: a header, a box with the
// instructions, the actions that fix a failing check or the keys to press (pulsing), a note and
// the buttons. While it shows it checks the session every second (GuidePermissionCheck); when the
// guide reaches the panel it closes its window through `onDismiss`. Positions are fixed: the
// window does not resize.

#include <QPointer>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>

#include "onboarding/GuideWindowContent.h"
#include "platform/Subscription.h"
#include "ui/onboarding/GuideServices.h"

class QPushButton;
class QTimer;

namespace vantlo {

class HotkeyRecorderView;

class OnboardingSummonView : public QWidget {
  public:
    OnboardingSummonView(GuideServices services, std::function<void()> onDismiss,
                         QWidget* parent = nullptr);
    ~OnboardingSummonView() override;

    // Starts the checks (the first at once) and the pulse; `stop` ends both.
    void start();
    void stop();
    // Builds the texts again in the interface language.
    void retranslate() { render(); }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    void buildControls();
    void render();
    void onStage(OnboardingStage stage);
    void onProblem(GuidePermissionProblem problem);
    void perform(GuideAction action);
    void useAnotherShortcut();
    void freeDesktopKey();
    void checkSoon();
    void paintHeader(QPainter& painter);
    void paintBox(QPainter& painter);
    void paintKeyCaps(QPainter& painter, QRectF row);
    void paintNote(QPainter& painter);

    GuideServices services_;
    std::function<void()> onDismiss_;
    std::unique_ptr<GuidePermissionCheck> check_;
    Subscription stageObserver_;
    Subscription hotkeyObserver_;
    GuidePermissionProblem problem_ = GuidePermissionProblem::none;
    GuideWindowContent content_;
    QTimer* pulseTimer_ = nullptr;
    double pulse_ = 0;
    std::array<QPushButton*, 3> actionButtons_{};
    QPushButton* skip_ = nullptr;
    QPushButton* second_ = nullptr;
    QPushButton* default_ = nullptr;
    HotkeyRecorderView* recorder_ = nullptr;
    // A line in place of the note: the freeing in progress or why it failed.
    std::string status_;
    bool statusIsError_ = false;
    bool freeing_ = false;
    bool toldProblem_ = false;
};

}  // namespace vantlo
