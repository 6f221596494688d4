#pragma once
// Event monitors built on the panel's platform input: while any monitor is installed the panel
// holds the keyboard and pointer, and each reported event goes to the monitors it concerns, on
// the main queue. Key presses no monitor consumes go on to the panel (its search field).

#include <functional>
#include <map>
#include <memory>
#include <optional>

#include "platform/EventMonitors.h"
#include "platform/PanelInput.h"

namespace vantlo {

class PanelInputMonitors : public EventMonitors,
                           public std::enable_shared_from_this<PanelInputMonitors> {
  public:
    struct Panel {
        // The panel window's window-server number (0 when unknown).
        std::function<std::uint32_t()> windowNumber;
        // The panel's frame on screen, global coordinates.
        std::function<std::optional<Rect>()> frame;
        // Receives the key presses no monitor consumed.
        std::function<void(const KeyEvent&)> passKey;
    };

    static std::shared_ptr<PanelInputMonitors> create(std::shared_ptr<PanelInput> input,
                                                      Panel panel);
    ~PanelInputMonitors() override;

    Token addKeyDownMonitor(std::function<bool(const KeyEvent&)> handler) override;
    Token addFlagsChangedMonitor(Scope scope, std::function<void(std::uint64_t)> handler) override;
    Token addMouseDownMonitor(Scope scope,
                              std::function<void(const MouseDownEvent&)> handler) override;
    Token addMouseMovedMonitor(std::function<void()> handler) override;
    void removeMonitor(Token token) override;
    std::uint64_t currentModifierFlags() override;
    Point pointerLocation() override;

  private:
    PanelInputMonitors(std::shared_ptr<PanelInput> input, Panel panel);
    Token added();
    void startInputIfNeeded();
    void deliverKey(const KeyEvent& event);
    void deliverFlags(std::uint64_t flags);
    void deliverMouseDown(Point location);
    void deliverMouseMoved();

    std::shared_ptr<PanelInput> input_;
    Panel panel_;
    bool inputStarted_ = false;
    Token next_ = 1;
    std::map<Token, std::function<bool(const KeyEvent&)>> keyDown_;
    std::map<Token, std::pair<Scope, std::function<void(std::uint64_t)>>> flags_;
    std::map<Token, std::pair<Scope, std::function<void(const MouseDownEvent&)>>> clicks_;
    std::map<Token, std::function<void()>> moves_;
};

}  // namespace vantlo
