#pragma once
// Draws what the switcher list shows instead of rows: a symbol, a title and an optional hint,
// centred a little above the middle of the list.

#include <QRectF>

#include "switcher/layout/EmptyState.h"
#include "switcher/layout/SwitcherMetrics.h"

class QPainter;

namespace vantlo {

class EmptyStatePainter {
  public:
    explicit EmptyStatePainter(SwitcherMetrics metrics) : metrics_(metrics) {}

    void paint(QPainter& painter, const QRectF& area, const EmptyState& empty) const;

  private:
    SwitcherMetrics metrics_;
};

}  // namespace vantlo
