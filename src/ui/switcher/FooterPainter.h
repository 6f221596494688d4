#pragma once
// Draws the row of key hints at the foot of the switcher panel, centred: each key text in bold,
// then its label. A row too wide for the panel narrows its gaps, then its text, until it fits.

#include <QRectF>
#include <vector>

#include "switcher/layout/FooterHints.h"
#include "switcher/layout/SwitcherMetrics.h"

class QPainter;

namespace vantlo {

class FooterPainter {
  public:
    explicit FooterPainter(SwitcherMetrics metrics) : metrics_(metrics) {}

    void paint(QPainter& painter, const QRectF& area, const std::vector<FooterHint>& hints) const;

  private:
    static double rowWidth(const std::vector<FooterHint>& hints, double textSize, double between);

    SwitcherMetrics metrics_;
};

}  // namespace vantlo
