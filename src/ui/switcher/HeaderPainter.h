#pragma once
// Draws the head of the switcher panel: in the main list the search row cross-fading with the
// "Enter to search" pill, both scaled by the Return pulse; in a group the back chip, the group's
// icon and name, a divider and the group's search row.

#include <QPixmap>
#include <QRectF>
#include <QString>

#include "switcher/layout/SwitcherMetrics.h"

class QPainter;

namespace vantlo {

class HeaderPainter {
  public:
    struct GroupHeader {
        QRectF backChip;
        QRectF groupIcon;
        QRectF groupTitle;
        QRectF divider;
        QRectF searchRow;
        bool backHovered = false;
        QPixmap icon;  // null: a tile with the name's initial stands in
        QString name;
    };

    explicit HeaderPainter(SwitcherMetrics metrics) : metrics_(metrics) {}

    // `pulse` scales the whole header around its centre; `shown` (0 … 1) is how far the search
    // row has replaced the pill.
    void paintSearchHeader(QPainter& painter, const QRectF& header, const QRectF& searchRow,
                           const QRectF& pill, double pulse, double shown) const;
    void paintGroupHeader(QPainter& painter, const GroupHeader& header) const;

  private:
    void paintSearchRow(QPainter& painter, const QRectF& row) const;
    void paintPill(QPainter& painter, const QRectF& pill) const;

    SwitcherMetrics metrics_;
};

}  // namespace vantlo
