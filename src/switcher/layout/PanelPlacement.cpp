#include "switcher/layout/PanelPlacement.h"

#include <algorithm>

namespace vantlo::PanelPlacement {

std::optional<Screen> chooseScreen(const std::vector<Screen>& screens, Point pointer,
                                   bool preferPointerScreen, std::optional<Screen> fallback) {
    if (preferPointerScreen) {
        for (const Screen& screen : screens) {
            if (screen.frame.contains(pointer))
                return screen;
        }
    }
    if (!screens.empty())
        return screens.front();
    return fallback;
}

double contentHeight(int itemCount, double scale) {
    const int rows = std::clamp(itemCount, minimumRows, maximumRows);
    return 24 * scale + 58 * scale + rowHeight * scale * rows + 10;
}

PanelFrame frame(const Rect& visibleFrame, double windowWidth, double scale, int itemCount,
                 bool hugsLeftEdge) {
    const double maxHeight = std::min(visibleFrame.height * heightFraction, heightCap * scale);
    const double height = std::min(maxHeight, contentHeight(itemCount, scale));
    const double x = hugsLeftEdge ? visibleFrame.minX() : visibleFrame.maxX() - windowWidth;
    const double startOffset = hugsLeftEdge ? -slideInOffset : slideInOffset;
    // Top-left origin, y down: centring is the same either way up.
    const double y = visibleFrame.midY() - height / 2;
    PanelFrame result;
    result.target = Rect{x, y, windowWidth, height};
    result.start = Rect{x + startOffset, y, windowWidth, height};
    return result;
}

Rect slideOutFrame(const Rect& current, bool hugsLeftEdge) {
    const double distance = current.width + slideOutExtra;
    Rect end = current;
    end.x += hugsLeftEdge ? -distance : distance;
    return end;
}

}  // namespace vantlo::PanelPlacement
