#pragma once
// Decides when the list scrolls to keep the keyboard selection in view. Scrolling on every step
// makes the list jitter; this scrolls only near the ends or once the selection has drifted two
// rows from where the list last scrolled to.

#include <optional>

namespace vantlo {

struct ScrollRequest {
    enum class Anchor { top, lowerPart };
    int index = 0;
    Anchor anchor = Anchor::top;
    // Where in the visible height the row is placed: 0 for `top`, 0.78 for `lowerPart`.
    double anchorFraction() const { return anchor == Anchor::top ? 0.0 : lowerPartFraction; }
    bool operator==(const ScrollRequest&) const = default;

    static constexpr double lowerPartFraction = 0.78;
};

class ScrollKeeper {
  public:
    // Called on every change of the selected index. Returns where to scroll, or nothing.
    std::optional<ScrollRequest> selectionChanged(int newIndex, int rowCount, bool keyboardClaimed);
    int lastScrollIndex() const { return last_; }
    void reset() { last_ = 0; }

    static constexpr int minimumRowsToScroll = 9;

  private:
    int last_ = 0;
};

}  // namespace vantlo
