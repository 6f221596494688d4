#pragma once
// Text and control sizes of the switcher panel for one font-size scale (0.9, 1.0 or 1.16): every
// text and symbol is a base size times the scale, and so are the rows that hold them.

namespace vantlo {

enum class RowKind { window, tab, tabGroup, windowGroup, app };

struct SwitcherMetrics {
    explicit SwitcherMetrics(double scale = 1.0) : scale(scale) {}
    double scale;

    // Header.
    double pillTextSize() const { return 14.2 * scale; }
    double searchTextSize() const { return 14 * scale; }
    double searchSymbolSize() const { return 12.5 * scale; }
    double backChipSize() const { return 12.5 * scale; }
    double groupTitleSize() const { return 22 * scale; }
    double groupSearchTextSize() const { return 12.8 * scale; }
    double searchRowHeight() const { return 38 * scale; }
    double pillWidth() const { return 148 * scale; }
    double headerTopPadding() const { return 10; }
    double headerBottomPadding() const { return 9; }
    double groupIconSize() const { return 46; }

    // Footer and list hints.
    double footerTextSize() const { return 9 * scale; }
    double footerHeight() const { return 24 * scale; }
    double boundaryHintTextSize() const { return 9 * scale; }

    // Empty states.
    double emptySymbolSize(bool noItems) const { return (noItems ? 28 : 24) * scale; }
    double emptyTitleSize() const { return 13 * scale; }
    double emptyHintSize() const { return 11 * scale; }

    // Rows.
    double rowHeight() const { return 48 * scale; }
    double iconSize() const { return 32; }
    double titleSize(RowKind kind) const { return (kind == RowKind::tab ? 12.8 : 13.4) * scale; }
    double subtitleSize() const { return 11.2 * scale; }
    double titleOpacity(RowKind kind) const { return kind == RowKind::tab ? 0.86 : 0.92; }
    double countBadgeTextSize() const { return 11 * scale; }
    double closeSymbolSize() const { return 13 * scale; }
    double closeButtonSide() const { return 20 * scale; }
    double groupChevronSize() const { return 6 * scale; }
    double leadingPadding(RowKind kind) const { return kind == RowKind::tab ? 3 : 5; }
    double trailingPadding() const { return 8; }
    double partSpacing() const { return 9; }
    double lineSpacing() const { return 5; }
    double selectedRowScale() const { return 1.035; }
    // The highlight behind the selected row: at most 344 wide, 50 high.
    double highlightWidth(double availableWidth) const;
    double highlightHeight() const { return 50; }

    // The guide card.
    double cardTitleSize() const { return 13.5 * scale; }
    double cardDetailSize() const { return 11.2 * scale; }
    double cardSkipSize() const { return 10.5 * scale; }
    double cardNextSize() const { return 11.5 * scale; }
    double demoKeyTextSize() const { return 13 * scale; }
    double demoKeyWidth() const { return 28 * scale; }
    double demoKeyHeight() const { return 25 * scale; }
    double demoCaptionSize() const { return 10.8 * scale; }
};

}  // namespace vantlo
