#pragma once
// The keyboard and pointer held for the switcher panel, as one owned value: while a held grab
// lives nothing else receives the keyboard and the panel's event monitors hear every key,
// modifier change and click; destroying or releasing it gives them back exactly once. An empty
// grab (default-constructed, moved from, or refused by the platform) holds nothing.

#include <functional>
#include <utility>

#include "platform/Subscription.h"

namespace vantlo {

class [[nodiscard]] InputGrab {
  public:
    InputGrab() = default;
    // A held grab; `release` gives the input back.
    explicit InputGrab(std::function<void()> release) : release_(std::move(release)) {}
    explicit InputGrab(Subscription release) : release_(std::move(release)) {}

    bool isHeld() const { return static_cast<bool>(release_); }
    void release() { release_.reset(); }

  private:
    Subscription release_;
};

}  // namespace vantlo
