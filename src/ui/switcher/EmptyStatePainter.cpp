#include "ui/switcher/EmptyStatePainter.h"

#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>

#include "ui/common/Symbols.h"
#include "ui/switcher/SwitcherStyle.h"

namespace vantlo {

using namespace SwitcherStyle;

namespace {

constexpr double kTextInset = 28;
constexpr double kSymbolToTitle = 12;
constexpr double kTitleToHint = 6;
constexpr double kMinimumTop = 24;
// The block sits at 40 % of the free height: a little above the middle.
constexpr double kTopShare = 0.4;

QString qs(const std::string& text) {
    return QString::fromStdString(text);
}

}  // namespace

void EmptyStatePainter::paint(QPainter& painter, const QRectF& area,
                              const EmptyState& empty) const {
    const double symbol = metrics_.emptySymbolSize(empty.noItems);
    const QFont titleFont = SwitcherStyle::font(metrics_.emptyTitleSize(), QFont::Medium);
    const QFont hintFont = SwitcherStyle::font(metrics_.emptyHintSize(), QFont::Normal);
    const double textWidth = area.width() - 2 * kTextInset;
    const int flags = Qt::AlignHCenter | Qt::TextWordWrap;
    const QRectF titleBounds = QFontMetricsF(titleFont).boundingRect(QRectF(0, 0, textWidth, 1000),
                                                                     flags, qs(empty.title));
    const QRectF hintBounds = empty.hint.empty()
                                  ? QRectF()
                                  : QFontMetricsF(hintFont).boundingRect(
                                        QRectF(0, 0, textWidth, 1000), flags, qs(empty.hint));
    const double total = symbol + kSymbolToTitle + titleBounds.height() +
                         (hintBounds.isEmpty() ? 0 : kTitleToHint + hintBounds.height());
    double y = area.top() + std::max(kMinimumTop, (area.height() - total) * kTopShare);
    Symbols::draw(painter, empty.symbol, QRectF(area.center().x() - symbol / 2, y, symbol, symbol),
                  white(0.38));
    y += symbol + kSymbolToTitle;
    painter.setFont(titleFont);
    painter.setPen(white(0.78));
    painter.drawText(QRectF(area.left() + kTextInset, y, textWidth, titleBounds.height()), flags,
                     qs(empty.title));
    y += titleBounds.height() + kTitleToHint;
    if (!hintBounds.isEmpty()) {
        painter.setFont(hintFont);
        painter.setPen(white(0.5));
        painter.drawText(QRectF(area.left() + kTextInset, y, textWidth, hintBounds.height()), flags,
                         qs(empty.hint));
    }
}

}  // namespace vantlo
