#pragma once
// Fixed row geometry of the switcher list and the numbers derived from it: where the selected
// row's centre is expected before it has been measured, and which rows a long window group shows.

namespace vantlo {

// A half-open range of row indices, start ..< end.
struct IndexRange {
    int start = 0;
    int end = 0;
    int size() const { return end - start; }
    bool empty() const { return end <= start; }
    bool contains(int index) const { return index >= start && index < end; }
    bool operator==(const IndexRange&) const = default;
};

namespace SwitcherLayout {

inline constexpr double rowHeight = 48;
inline constexpr double mainRowSpacing = 2;
inline constexpr double detailRowSpacing = 4;
inline constexpr double panelWaveOutset = 14;
inline constexpr double listPadding = 6;
// Header heights the estimate assumes: the search row of the main list and the taller group header.
inline constexpr double mainHeaderHeight = 57;
inline constexpr double detailHeaderHeight = 150;
// A window group with at least this many windows renders only a window of rows around the
// selection, with hints for the rows above and below.
inline constexpr int virtualWindowListThreshold = 19;
inline constexpr int virtualWindowListRows = 11;

double rowSpacing(bool inDetailView);

// The vertical centre of the selected row in panel coordinates, before any row has reported it:
// 87 + 50 × index for the main list with the default metrics.
double estimatedPanelWaveY(bool inDetailView, int selectedIndex);

// The rows to render around the selection: at most `preferredCount`, the selection as near the
// middle as the ends allow. Empty when `count` < 1.
IndexRange windowedRange(int selectedIndex, int count, int preferredCount);

bool usesVirtualWindowList(int windowCount);

}  // namespace SwitcherLayout
}  // namespace vantlo
