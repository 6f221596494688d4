#pragma once
// What closing an item from the switcher would do: nothing, close a window, close a tab, quit an
// application, or nothing because closing is refused for a stated reason.

#include <string>

namespace vantlo {

class CloseCapability {
  public:
    enum class Kind { none, closeWindow, closeTab, quitApp, blocked };

    // The reasons a close is refused, in English; the view looks them up when it shows them.
    static constexpr const char* kProtectedApp = "Protected app";
    static constexpr const char* kForceQuitIneffective = "Force quit ineffective";
    static constexpr const char* kCloseTabsInstead = "Close tabs instead";

    static CloseCapability none() { return CloseCapability(Kind::none); }
    static CloseCapability closeWindow() { return CloseCapability(Kind::closeWindow); }
    static CloseCapability closeTab() { return CloseCapability(Kind::closeTab); }
    static CloseCapability quitApp() { return CloseCapability(Kind::quitApp); }
    static CloseCapability blocked(std::string reason) {
        return CloseCapability(Kind::blocked, std::move(reason));
    }

    Kind kind() const { return kind_; }
    // The refusal reason of a blocked close; empty for the other kinds.
    const std::string& reason() const { return reason_; }
    // Whether the row offers its close control and the close flow acts on it.
    bool isActionable() const {
        return kind_ == Kind::closeWindow || kind_ == Kind::closeTab || kind_ == Kind::quitApp;
    }

    bool operator==(const CloseCapability&) const = default;

  private:
    explicit CloseCapability(Kind kind, std::string reason = {})
        : kind_(kind), reason_(std::move(reason)) {}

    Kind kind_;
    std::string reason_;
};

}  // namespace vantlo
