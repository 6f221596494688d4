#pragma once
// The switcher's window: a frameless, always-on-top panel without taskbar entry that hosts the
// switcher view, takes the keyboard when shown, slides in from just outside its place
// (0.14 s, ease-out) and out past the screen edge (0.2 s, ease-in). Key presses aimed at it go
// to a key handler first (the panel controller's bindings); what the handler leaves reaches the
// search field.

#include <QWidget>
#include <functional>
#include <memory>

#include "switcher/RowImageSource.h"
#include "switcher/animation/Easing.h"
#include "switcher/layout/PanelPlacement.h"

namespace vantlo {

class FrameTicker;
class SearchView;

class SwitcherPanel : public QWidget {
  public:
    // Answers true when it consumed the key.
    using KeyHandler = std::function<bool(QKeyEvent*)>;
    // Marks the native window as the switcher panel for the window manager (all workspaces, no
    // taskbar or pager entry, above others). Installed by the desktop program.
    using NativeWindowHook = std::function<void(QWidget*)>;

    // `images` gives the rows their page icons and window pictures (none when null).
    SwitcherPanel(bool hugsLeftEdge, double fontScale, std::shared_ptr<RowImageSource> images);
    ~SwitcherPanel() override;

    static void setNativeWindowHook(NativeWindowHook hook);
    // Panels made from now on bypass the window manager (X11 override-redirect): on screen the
    // moment they are mapped, above every managed window, never in a taskbar, and without
    // keyboard focus from the manager, so only for a program that holds the keyboard itself
    // (and hands the panel the focus once the user types).
    static void setBypassesWindowManager(bool bypasses);

    SearchView* view() const { return view_; }
    void setKeyHandler(KeyHandler handler) { keyHandler_ = std::move(handler); }
    bool hugsLeftEdge() const { return hugsLeftEdge_; }
    // Sizes the window and its view at once (a hidden widget gets no resize events, and the
    // view lays out from its own size).
    void setPanelSize(QSize size);

    // Shows the panel at `frame.start` and slides it to `frame.target`; `onFinished` runs when the
    // slide-in ends, unless a slide-out started first.
    void slideIn(const PanelFrame& frame, std::function<void()> onFinished);
    // Slides outward and hides; `onHidden` runs once the panel is hidden.
    void slideOut(std::function<void()> onHidden);
    // Hides now, ending any slide.
    void hideAtOnce();
    bool isSlidingOut() const { return slidingOut_; }
    // The frame the panel is at or moving to, global coordinates.
    Rect currentFrame() const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    bool animate(double now);
    bool handleKey(QObject* watched, QKeyEvent* event);

    bool hugsLeftEdge_;
    SearchView* view_ = nullptr;
    FrameTicker* ticker_ = nullptr;
    KeyHandler keyHandler_;
    Transition slideX_;
    Transition fade_;
    int y_ = 0;
    bool sliding_ = false;
    bool slidingOut_ = false;
    std::function<void()> onSlideFinished_;
    // The key event last handled; an event climbing to a parent widget is the same object.
    const QKeyEvent* lastKey_ = nullptr;
    quint64 lastKeyTime_ = 0;
    bool forwarding_ = false;
};

}  // namespace vantlo
