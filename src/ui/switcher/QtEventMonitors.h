#pragma once
// The event monitors of the switcher panel on a Qt desktop. Local monitors see the Qt events
// aimed at this program's windows (key presses reach them through the panel's key routing, clicks
// and pointer moves through an application-wide event filter). Global monitors, which need the
// window system's help (X11 grabs), are handed to the backend's monitors when one is given.

#include <QEvent>
#include <QObject>
#include <memory>

#include "platform/EventMonitors.h"
#include "platform/SubscriberList.h"

class QKeyEvent;
class QWidget;

namespace vantlo {

class QtEventMonitors : public QObject, public EventMonitors {
  public:
    explicit QtEventMonitors(std::shared_ptr<EventMonitors> global = nullptr);
    ~QtEventMonitors() override;

    Subscription addKeyDownMonitor(std::function<bool(const KeyEvent&)> handler) override;
    Subscription addFlagsChangedMonitor(Scope scope,
                                        std::function<void(std::uint64_t flags)> handler) override;
    Subscription addMouseDownMonitor(Scope scope,
                                     std::function<void(const MouseDownEvent&)> handler) override;
    Subscription addMouseMovedMonitor(std::function<void()> handler) override;
    // Qt hands this program's windows their own events: the grab is the backend's when one is
    // given, else one that holds nothing.
    InputGrab grabInput() override;
    std::uint64_t currentModifierFlags() override;
    Point pointerLocation() override;

    // The panel's key routing: true when a key-down monitor consumed the key.
    bool deliverKey(const QKeyEvent& event);
    // Where the keys the panel receives itself go instead of this object's key-down monitors:
    // a program whose monitors live on the window system's grab routes them there, so the same
    // bindings apply once the panel has the keyboard focus. Answers whether it consumed the key.
    void routeKeysTo(std::function<bool(const KeyEvent&)> route) { keyRoute_ = std::move(route); }
    // Which window is the switcher panel (for `MouseDownEvent::inPanel`).
    void setPanel(QWidget* panel) { panel_ = panel; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    enum class Kind { keyDown, flags, mouseDown, mouseMoved };
    struct Entry {
        Kind kind;
        std::function<bool(const KeyEvent&)> key;
        std::function<void(std::uint64_t)> flags;
        std::function<void(const MouseDownEvent&)> mouse;
        std::function<void()> moved;
    };

    Subscription add(Entry entry);
    void rememberMouseEvent(const QEvent* event);
    bool isSameMouseEvent(const QEvent* event) const;
    template <typename F>
    void each(Kind kind, F&& f);

    std::shared_ptr<EventMonitors> global_;
    SubscriberList<Entry> local_;
    QWidget* panel_ = nullptr;
    std::function<bool(const KeyEvent&)> keyRoute_;
    std::uint64_t lastFlags_ = 0;
    const QEvent* lastMouseEvent_ = nullptr;
    int lastMouseType_ = 0;
    quint64 lastMouseTime_ = 0;
};

}  // namespace vantlo
