#pragma once
// Where the switcher panel goes: which screen, and the frame on it. The panel hugs the left or
// right edge of the screen's visible area (without panels and docks), is vertically centred, as
// tall as its rows need within limits, and slides in from just outside its place.

#include <optional>
#include <vector>

#include "platform/Geometry.h"
#include "platform/Screens.h"

namespace vantlo {

struct PanelFrame {
    Rect target;
    // Where the slide-in starts: the target moved outward horizontally.
    Rect start;
};

namespace PanelPlacement {

inline constexpr double heightFraction = 0.82;
inline constexpr double heightCap = 620;  // × scale
inline constexpr double rowHeight = 48;   // × scale
inline constexpr int minimumRows = 5;
inline constexpr int maximumRows = 11;
inline constexpr double slideInOffset = 42;
inline constexpr double slideOutExtra = 16;
inline constexpr double slideInDuration = 0.14;
inline constexpr double slideOutDuration = 0.2;

// The screen under the pointer when `preferPointerScreen` and there is one, else the first screen
// of the list, else `fallback`; nothing without any screen.
std::optional<Screen> chooseScreen(const std::vector<Screen>& screens, Point pointer,
                                   bool preferPointerScreen, std::optional<Screen> fallback);

// The content height for `itemCount` rows (clamped to 5 … 11) at `scale`.
double contentHeight(int itemCount, double scale);

PanelFrame frame(const Rect& visibleFrame, double windowWidth, double scale, int itemCount,
                 bool hugsLeftEdge);

// Where the slide-out ends: the frame moved outward by its width and 16 more points.
Rect slideOutFrame(const Rect& current, bool hugsLeftEdge);

}  // namespace PanelPlacement
}  // namespace vantlo
