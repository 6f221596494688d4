#include "switcher/layout/SwitcherLayout.h"

#include <algorithm>

namespace vantlo::SwitcherLayout {

double rowSpacing(bool inDetailView) {
    return inDetailView ? detailRowSpacing : mainRowSpacing;
}

double estimatedPanelWaveY(bool inDetailView, int selectedIndex) {
    const double header = inDetailView ? detailHeaderHeight : mainHeaderHeight;
    const double topPadding = inDetailView ? 8 : 6;
    return header + topPadding + rowHeight / 2 +
           (rowHeight + rowSpacing(inDetailView)) * std::max(0, selectedIndex);
}

IndexRange windowedRange(int selectedIndex, int count, int preferredCount) {
    if (count < 1)
        return {};
    const int size = std::max(0, std::min(count, preferredCount));
    const int selected = std::clamp(selectedIndex, 0, count - 1);
    const int start = std::max(0, std::min(count - size, selected - size / 2));
    return {start, start + size};
}

bool usesVirtualWindowList(int windowCount) {
    return windowCount >= virtualWindowListThreshold;
}

}  // namespace vantlo::SwitcherLayout
