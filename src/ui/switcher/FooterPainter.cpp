#include "ui/switcher/FooterPainter.h"

#include <QFontMetricsF>
#include <QPainter>

#include "ui/switcher/SwitcherStyle.h"

namespace vantlo {

using namespace SwitcherStyle;

namespace {

// Between a key and its label.
constexpr double kKeyToLabel = 3;
// Between one hint and the next, at text scale 1.
constexpr double kBetweenHints = 10;

QString qs(const std::string& text) {
    return QString::fromStdString(text);
}

}  // namespace

void FooterPainter::paint(QPainter& painter, const QRectF& area,
                          const std::vector<FooterHint>& hints) const {
    const QFont keyFont = SwitcherStyle::font(metrics_.footerTextSize(), QFont::Bold);
    const QFont labelFont = SwitcherStyle::font(metrics_.footerTextSize(), QFont::DemiBold);
    const QFontMetricsF keyMetrics(keyFont), labelMetrics(labelFont);
    const double between = kBetweenHints * metrics_.scale;
    double total = 0;
    for (const auto& hint : hints)
        total += keyMetrics.horizontalAdvance(qs(hint.key)) + kKeyToLabel +
                 labelMetrics.horizontalAdvance(qs(hint.label)) + between;
    total -= between;
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

}  // namespace vantlo
