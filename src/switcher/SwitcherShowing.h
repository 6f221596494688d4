#pragma once
// One showing of the switcher panel, from summon to hide. It owns what lives exactly as long as
// the panel is up: the view model (and with it the callbacks installed on it), the event
// monitors, and the keyboard and pointer grab. Destroying it ends the showing: the grab is given
// back, the monitors are removed and the panel slides out, in that order. Once the search is
// open (Return, or a first typed character), the user is typing rather than holding the
// shortcut, so the panel takes the keyboard as a text field and the session's input method
// composes there. Main thread only.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/EventMonitors.h"
#include "switcher/PanelPresenter.h"
#include "switcher/SearchViewModel.h"

namespace vantlo {

class SwitcherShowing : public std::enable_shared_from_this<SwitcherShowing> {
  public:
    // What the showing's monitors report to; each runs on the main thread.
    struct Handlers {
        // Answers whether the key was consumed.
        std::function<bool(const KeyEvent&)> keyDown;
        std::function<void(std::uint64_t flags)> flagsChanged;
        // A click in one of this program's windows.
        std::function<void(const MouseDownEvent&)> localMouseDown;
        // A click in another program, at the pointer's location then.
        std::function<void(Point location)> globalMouseDown;
        std::function<void()> mouseMoved;
        // The keyboard could not be taken at the summon nor when the slide-in ended: the
        // showing must end, for nothing would reach a panel left on screen. Runs once, on the
        // main queue, with the platform's reason (may be empty).
        std::function<void(const std::string& reason)> inputRefused;
        // The platform took the input away (the main thread had stopped answering) and the
        // panel is off the screen; the showing should end without acting on anything.
        std::function<void()> inputLost;
    };

    static std::shared_ptr<SwitcherShowing> create(std::shared_ptr<PanelPresenter> presenter,
                                                   std::shared_ptr<EventMonitors> monitors,
                                                   std::shared_ptr<SearchViewModel> model,
                                                   Handlers handlers);
    ~SwitcherShowing();
    SwitcherShowing(const SwitcherShowing&) = delete;
    SwitcherShowing& operator=(const SwitcherShowing&) = delete;

    // Puts the panel on screen, takes the input and installs the key, modifier and pointer
    // monitors; the click monitors follow when the slide-in ends, where a grab refused at the
    // summon is tried once more (refused again, `inputRefused` reports it). False when there is
    // no screen to show it on (then nothing is taken or installed).
    bool present(int itemCount);
    // Installs a new key handler in place of the old one (the bindings changed).
    void replaceKeyHandler(std::function<bool(const KeyEvent&)> keyDown);
    // The showing's end takes the panel off the screen at once instead of sliding it out.
    void leaveAtOnce() { leavesAtOnce_ = true; }

    const std::shared_ptr<SearchViewModel>& model() const { return model_; }
    bool isOnScreen() const { return onScreen_; }
    bool holdsInput() const { return grab_.isHeld(); }

  private:
    SwitcherShowing(std::shared_ptr<PanelPresenter> presenter,
                    std::shared_ptr<EventMonitors> monitors, std::shared_ptr<SearchViewModel> model,
                    Handlers handlers);
    void installClickMonitors();
    // Hands the keyboard to the panel for typing once the search is open.
    void focusPanelIfSearching();

    std::shared_ptr<PanelPresenter> presenter_;
    std::shared_ptr<EventMonitors> monitors_;
    std::shared_ptr<SearchViewModel> model_;
    Handlers handlers_;
    bool onScreen_ = false;
    bool leavesAtOnce_ = false;
    InputGrab grab_;
    Subscription searchObserver_;
    Subscription keyMonitor_;
    Subscription localFlagsMonitor_;
    Subscription globalFlagsMonitor_;
    Subscription mouseMovedMonitor_;
    Subscription inputLostMonitor_;
    Subscription globalClickMonitor_;
    Subscription localClickMonitor_;
};

}  // namespace vantlo
