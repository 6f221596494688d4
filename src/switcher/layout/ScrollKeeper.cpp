#include "switcher/layout/ScrollKeeper.h"

#include <cstdlib>

namespace vantlo {

std::optional<ScrollRequest> ScrollKeeper::selectionChanged(int newIndex, int rowCount,
                                                            bool keyboardClaimed) {
    if (!keyboardClaimed || newIndex < 0 || newIndex >= rowCount)
        return std::nullopt;
    if (rowCount < minimumRowsToScroll)
        return std::nullopt;
    const bool nearTop = newIndex <= 1;
    const bool nearBottom = newIndex >= rowCount - 2;
    if (!nearTop && !nearBottom && std::abs(newIndex - last_) < 2)
        return std::nullopt;
    const bool movedDown = newIndex >= last_;
    last_ = newIndex;
    return ScrollRequest{newIndex,
                         movedDown ? ScrollRequest::Anchor::lowerPart : ScrollRequest::Anchor::top};
}

}  // namespace vantlo
