#include "ui/switcher/HeaderPainter.h"

#include <QFontMetricsF>
#include <QPainter>

#include "settings/Localization.h"
#include "ui/common/Symbols.h"
#include "ui/switcher/SwitcherStyle.h"

namespace vantlo {

using namespace SwitcherStyle;

namespace {

constexpr double kSearchRowRadius = 10;
constexpr double kGlassInset = 12;
// The search row and the pill come in from 96 % of their size.
constexpr double kEnteringScale = 0.96;
constexpr double kEnteringGrowth = 0.04;
constexpr double kChevronInset = 9;
constexpr double kChevronToLabel = 4;
constexpr double kIconTileRadius = 10;

QString qs(const std::string& text) {
    return QString::fromStdString(text);
}

// Scales what is painted next by `factor` around `centre`.
void scaleAround(QPainter& painter, QPointF centre, double factor) {
    painter.translate(centre);
    painter.scale(factor, factor);
    painter.translate(-centre);
}

}  // namespace

void HeaderPainter::paintSearchHeader(QPainter& painter, const QRectF& header,
                                      const QRectF& searchRow, const QRectF& pill, double pulse,
                                      double shown) const {
    painter.save();
    scaleAround(painter, header.center(), pulse);
    if (shown > 0.01) {
        painter.save();
        painter.setOpacity(shown);
        scaleAround(painter, searchRow.center(), kEnteringScale + kEnteringGrowth * shown);
        paintSearchRow(painter, searchRow);
        painter.restore();
    }
    if (shown < 0.99) {
        painter.save();
        const double hidden = 1 - shown;
        painter.setOpacity(hidden);
        scaleAround(painter, pill.center(), kEnteringScale + kEnteringGrowth * hidden);
        paintPill(painter, pill);
        painter.restore();
    }
    painter.restore();
}

void HeaderPainter::paintSearchRow(QPainter& painter, const QRectF& row) const {
    painter.setPen(Qt::NoPen);
    painter.setBrush(SwitcherStyle::searchRow());
    painter.drawRoundedRect(row, kSearchRowRadius, kSearchRowRadius);
    const double glass = metrics_.searchSymbolSize();
    Symbols::draw(painter, "magnifyingglass",
                  QRectF(row.left() + kGlassInset, row.center().y() - glass / 2, glass, glass),
                  white(0.62), SymbolWeight::medium);
}

void HeaderPainter::paintPill(QPainter& painter, const QRectF& area) const {
    painter.setPen(Qt::NoPen);
    painter.setBrush(SwitcherStyle::pill());
    painter.drawRoundedRect(area, area.height() / 2, area.height() / 2);
    painter.setPen(Qt::white);
    painter.setFont(SwitcherStyle::font(metrics_.pillTextSize(), QFont::Bold));
    painter.drawText(area, Qt::AlignCenter, qs(localized("Enter to search")));
}

void HeaderPainter::paintGroupHeader(QPainter& painter, const GroupHeader& header) const {
    const QRectF& chip = header.backChip;
    painter.setPen(Qt::NoPen);
    painter.setBrush(white(header.backHovered ? 0.18 : 0.10));
    painter.drawRoundedRect(chip, chip.height() / 2, chip.height() / 2);
    const double symbol = metrics_.backChipSize() * 0.9;
    const QRectF chevron(chip.left() + kChevronInset, chip.center().y() - symbol / 2, symbol,
                         symbol);
    Symbols::draw(painter, "chevron.left", chevron, white(0.82), SymbolWeight::semibold);
    painter.setPen(white(0.82));
    painter.setFont(SwitcherStyle::font(metrics_.backChipSize(), QFont::DemiBold));
    painter.drawText(QRectF(chevron.right() + kChevronToLabel, chip.top(),
                            chip.right() - chevron.right() - kChevronToLabel, chip.height()),
                     Qt::AlignLeft | Qt::AlignVCenter, qs(localized("Back")));

    const QRectF& iconBox = header.groupIcon;
    if (!header.icon.isNull()) {
        painter.drawPixmap(iconBox, header.icon, QRectF(QPointF(0, 0), QSizeF(header.icon.size())));
    } else {
        painter.setPen(Qt::NoPen);
        painter.setBrush(white(0.14));
        painter.drawRoundedRect(iconBox, kIconTileRadius, kIconTileRadius);
        painter.setPen(white(0.72));
        painter.setFont(SwitcherStyle::font(iconBox.height() * 0.5, QFont::DemiBold));
        painter.drawText(iconBox, Qt::AlignCenter, header.name.left(1).toUpper());
    }
    const QFont titleFont = SwitcherStyle::font(metrics_.groupTitleSize(), QFont::Bold);
    painter.setFont(titleFont);
    painter.setPen(white(0.92));
    painter.drawText(header.groupTitle, Qt::AlignLeft | Qt::AlignVCenter,
                     QFontMetricsF(titleFont).elidedText(header.name, Qt::ElideRight,
                                                         header.groupTitle.width()));
    painter.fillRect(header.divider, white(0.12));
    paintSearchRow(painter, header.searchRow);
}

}  // namespace vantlo
