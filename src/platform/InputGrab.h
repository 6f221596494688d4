#pragma once
// The keyboard and pointer held for the switcher panel, as one owned value: while a held grab
// lives nothing else receives the keyboard and the panel's event monitors hear every key,
// modifier change and click; destroying or releasing it gives them back exactly once. An empty
// grab (default-constructed, moved from, or refused by the platform) holds nothing.

#include <functional>
#include <string>
#include <utility>

#include "platform/Subscription.h"

namespace vantlo {

class [[nodiscard]] InputGrab {
  public:
    InputGrab() = default;
    // A held grab; `release` gives the input back.
    explicit InputGrab(std::function<void()> release) : release_(std::move(release)) {}
    explicit InputGrab(Subscription release) : release_(std::move(release)) {}

    // An empty grab that says why the platform refused it, for the log.
    static InputGrab refused(std::string reason) {
        InputGrab grab;
        grab.refusal_ = std::move(reason);
        return grab;
    }

    bool isHeld() const { return static_cast<bool>(release_); }
    // Why an empty grab was refused; empty when held, or when the platform could not tell.
    const std::string& refusal() const { return refusal_; }
    void release() { release_.reset(); }

  private:
    Subscription release_;
    std::string refusal_;
};

}  // namespace vantlo
