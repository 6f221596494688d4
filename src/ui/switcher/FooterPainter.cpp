#include "ui/switcher/FooterPainter.h"

#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>

#include "ui/switcher/SwitcherStyle.h"

namespace vantlo {

using namespace SwitcherStyle;

namespace {

// Between a key and its label.
constexpr double kKeyToLabel = 3;
// Between one hint and the next, at text scale 1, and the least it narrows to.
constexpr double kBetweenHints = 10;
constexpr double kNarrowestBetween = 6;
// The row keeps this far from the content's sides, and its text no smaller than this.
constexpr double kSideMargin = 8;
constexpr double kSmallestTextSize = 6.5;

QString qs(const std::string& text) {
    return QString::fromStdString(text);
}

}  // namespace

void FooterPainter::paint(QPainter& painter, const QRectF& area,
                          const std::vector<FooterHint>& hints) const {
    // Hints written in words ("Alt+Esc") can be wider than the panel: the gaps narrow first,
    // then the text shrinks until the row fits.
    const double available = area.width() - 2 * kSideMargin;
    double textSize = metrics_.footerTextSize();
    double between = kBetweenHints * metrics_.scale;
    double total = rowWidth(hints, textSize, between);
    if (total > available) {
        between = kNarrowestBetween * metrics_.scale;
        total = rowWidth(hints, textSize, between);
    }
    while (total > available && textSize > kSmallestTextSize) {
        textSize = std::max(kSmallestTextSize, textSize * std::max(0.8, available / total));
        total = rowWidth(hints, textSize, between);
    }
    const QFont keyFont = SwitcherStyle::font(textSize, QFont::Bold);
    const QFont labelFont = SwitcherStyle::font(textSize, QFont::DemiBold);
    const QFontMetricsF keyMetrics(keyFont), labelMetrics(labelFont);
    double x = area.center().x() - total / 2;
    for (const auto& hint : hints) {
        const double keyWidth = keyMetrics.horizontalAdvance(qs(hint.key));
        painter.setFont(keyFont);
        painter.setPen(white(0.72));
        painter.drawText(QRectF(x, area.top(), keyWidth + 1, area.height()),
                         Qt::AlignLeft | Qt::AlignVCenter, qs(hint.key));
        x += keyWidth + kKeyToLabel;
        const double labelWidth = labelMetrics.horizontalAdvance(qs(hint.label));
        painter.setFont(labelFont);
        painter.setPen(white(0.42));
        painter.drawText(QRectF(x, area.top(), labelWidth + 1, area.height()),
                         Qt::AlignLeft | Qt::AlignVCenter, qs(hint.label));
        x += labelWidth + between;
    }
}

double FooterPainter::rowWidth(const std::vector<FooterHint>& hints, double textSize,
                               double between) {
    const QFontMetricsF keyMetrics(SwitcherStyle::font(textSize, QFont::Bold));
    const QFontMetricsF labelMetrics(SwitcherStyle::font(textSize, QFont::DemiBold));
    double total = 0;
    for (const auto& hint : hints)
        total += keyMetrics.horizontalAdvance(qs(hint.key)) + kKeyToLabel +
                 labelMetrics.horizontalAdvance(qs(hint.label)) + between;
    return total - between;
}

}  // namespace vantlo
