#pragma once
// Panes rebuild their widgets from their state after each change. The rebuild waits for the
// event loop, so the button whose click caused it is not deleted inside its own handler, and
// several changes in one turn rebuild once.

#include <QObject>
#include <QTimer>
#include <functional>

namespace vantlo {

class PaneRendering {
  public:
    PaneRendering(QObject* owner, std::function<void()> render)
        : owner_(owner), render_(std::move(render)) {}

    void schedule() {
        if (scheduled_)
            return;
        scheduled_ = true;
        QTimer::singleShot(0, owner_, [this] {
            scheduled_ = false;
            render_();
        });
    }
    std::function<void()> scheduler() {
        return [this] { schedule(); };
    }

  private:
    QObject* owner_;
    std::function<void()> render_;
    bool scheduled_ = false;
};

}  // namespace vantlo
