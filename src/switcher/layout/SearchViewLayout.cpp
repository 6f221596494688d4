#include "switcher/layout/SearchViewLayout.h"

#include <algorithm>

#include "switcher/layout/SwitcherLayout.h"

namespace vantlo {
namespace {

// The main list's search row and pill keep this far from the content's sides.
constexpr double kMainSearchInset = 14;
// The group header: chip, icon, title and divider are inset from the content's sides, and the
// parts stand this far apart vertically.
constexpr double kChipInset = 14;
constexpr double kChipPadding = 34;  // chevron, gap and the label's margins
constexpr double kChipHeight = 24;
constexpr double kGroupInset = 18;
constexpr double kTitleGap = 12;
constexpr double kGroupPartGap = 8;
constexpr double kDividerGap = 10;
constexpr double kGroupSearchInset = 12;
// Inside a search row: padding, the magnifying glass, then a gap before the text.
constexpr double kSearchRowPadding = 12;
constexpr double kGlassToText = 8;
constexpr double kFooterBottomMargin = 4;
// The guide card stands under the header of the main list, or under the group's title.
constexpr double kGuideCardTopMain = 62;
constexpr double kGuideCardTopDetail = 104;
constexpr double kGuideCardInset = 18;

double right(const Rect& r) {
    return r.maxX();
}

double bottom(const Rect& r) {
    return r.maxY();
}

}  // namespace

SearchViewLayout SearchViewLayout::make(Size panel, bool hugsLeftEdge, bool inDetailView,
                                        const SwitcherMetrics& metrics, double backLabelWidth) {
    SearchViewLayout l;
    const double outset = SwitcherLayout::panelWaveOutset;
    const double w = panel.width;
    const double h = panel.height;
    l.content = hugsLeftEdge ? Rect{0, 0, w - outset, h} : Rect{outset, 0, w - outset, h};
    const double s = metrics.scale;
    const double rowH = metrics.searchRowHeight();
    const double top = metrics.headerTopPadding();
    if (!inDetailView) {
        l.searchRow = {l.content.x + kMainSearchInset, top, l.content.width - 2 * kMainSearchInset,
                       rowH};
        l.pill = {l.content.midX() - metrics.pillWidth() / 2, top, metrics.pillWidth(), rowH};
        l.header = {l.content.x, 0, l.content.width, top + rowH + metrics.headerBottomPadding()};
    } else {
        const double chipWidth = backLabelWidth + kChipPadding * s;
        l.backChip = {l.content.x + kChipInset, top, chipWidth, kChipHeight * s};
        const double icon = metrics.groupIconSize();
        l.groupIcon = {l.content.x + kGroupInset, bottom(l.backChip) + kGroupPartGap, icon, icon};
        const double titleLeft = right(l.groupIcon) + kTitleGap;
        l.groupTitle = {titleLeft, l.groupIcon.y, right(l.content) - kGroupInset - titleLeft, icon};
        l.divider = {l.content.x + kGroupInset, bottom(l.groupIcon) + kDividerGap,
                     l.content.width - 2 * kGroupInset, 1};
        l.searchRow = {l.content.x + kGroupSearchInset, bottom(l.divider) + kDividerGap,
                       l.content.width - 2 * kGroupSearchInset, rowH};
        l.header = {l.content.x, 0, l.content.width,
                    bottom(l.searchRow) + metrics.headerBottomPadding()};
    }
    const double fieldLeft =
        l.searchRow.x + kSearchRowPadding + metrics.searchSymbolSize() + kGlassToText;
    l.searchField = {fieldLeft, l.searchRow.y, right(l.searchRow) - kSearchRowPadding - fieldLeft,
                     l.searchRow.height};
    const double footerHeight = metrics.footerHeight();
    l.footer = {l.content.x, h - footerHeight - kFooterBottomMargin, l.content.width, footerHeight};
    l.list = {l.content.x, bottom(l.header), l.content.width,
              std::max(0.0, l.footer.y - bottom(l.header))};
    l.guideCard = {l.content.x + kGuideCardInset,
                   inDetailView ? kGuideCardTopDetail : kGuideCardTopMain,
                   l.content.width - 2 * kGuideCardInset, 0};
    return l;
}

}  // namespace vantlo
