#pragma once
// Draws one row of the switcher list: icon block, title and subtitle, group count badge and
// close button, with the selection highlight behind it. Also tells where its clickable parts are.

#include <QPixmap>
#include <QRectF>

#include "model/SwitchItem.h"
#include "switcher/layout/SwitcherMetrics.h"

class QPainter;

namespace vantlo {

struct RowPaintState {
    // 0 … 1: how far the selection highlight has come in (animated).
    double selection = 0;
    bool closing = false;
    bool closable = false;
    // 0 … 1: how far the count badge's hover look has come in (animated).
    double badgeHover = 0;
    bool closeHovered = false;
    // A tab listed inside its group: draws the indent guide.
    bool inGroupDetail = false;
    QPixmap favicon;  // tabs: the site icon, when loaded
    bool faviconPending = false;
    QPixmap thumbnail;  // windows: the window's picture, when loaded
};

struct RowGeometry {
    QRectF row;
    QRectF icon;
    QRectF text;
    QRectF badge;  // empty without a count badge
    QRectF close;  // the close button's square (also the placeholder's)
    QRectF thumbnail;
};

class RowPainter {
  public:
    explicit RowPainter(SwitcherMetrics metrics) : metrics_(metrics) {}

    RowGeometry layout(const SwitchItem& item, const QRectF& row, const RowPaintState& state) const;
    void paint(QPainter& painter, const SwitchItem& item, const QRectF& row,
               const RowPaintState& state) const;
    // The highlight behind the selected row, in row coordinates.
    void paintHighlight(QPainter& painter, const QRectF& row, double amount) const;

  private:
    void paintIconBlock(QPainter& painter, const SwitchItem& item, const QRectF& box,
                        const RowPaintState& state) const;
    void paintTexts(QPainter& painter, const SwitchItem& item, const QRectF& box,
                    const RowPaintState& state) const;
    void paintBadge(QPainter& painter, const SwitchItem& item, const QRectF& box,
                    double hover) const;
    void paintClose(QPainter& painter, const QRectF& box, const RowPaintState& state) const;
    QString badgeText(const SwitchItem& item) const;

    SwitcherMetrics metrics_;
};

}  // namespace vantlo
