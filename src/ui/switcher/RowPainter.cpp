#include "ui/switcher/RowPainter.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <map>
#include <tuple>

#include "discovery/ThumbnailCache.h"
#include "model/UrlHost.h"
#include "settings/Localization.h"
#include "switcher/layout/RowLayout.h"
#include "switcher/layout/SwitcherViewState.h"
#include "ui/common/IconProvider.h"
#include "ui/common/Shadows.h"
#include "ui/common/Symbols.h"
#include "ui/switcher/SwitcherStyle.h"

namespace vantlo {
namespace {

using namespace SwitcherStyle;

// The cache's pictures are sized for the row's picture frame; a bigger frame needs bigger ones.
static_assert(ThumbnailCache::kMaxPixelSize >= 3 * RowLayout::thumbnailWidth,
              "previews stay sharp at 3x");

qreal dprOf(QPainter& painter) {
    return painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
}

// A grey rounded tile with the name's first letter: what shows when no icon can be found.
void paintPlaceholder(QPainter& painter, const QRectF& box, const QString& name) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(white(0.14));
    painter.drawRoundedRect(box, 7, 7);
    const QString letter = name.trimmed().left(1).toUpper();
    if (letter.isEmpty())
        return;
    painter.setPen(white(0.72));
    painter.setFont(font(box.height() * 0.5, QFont::DemiBold));
    painter.drawText(box, Qt::AlignCenter, letter);
}

bool drawImage(QPainter& painter, const ImageRef& image, const QRectF& box, double opacity = 1) {
    QPixmap pixmap = IconProvider::shared().pixmap(image, qRound(box.width()), dprOf(painter));
    if (pixmap.isNull())
        return false;
    painter.save();
    painter.setOpacity(painter.opacity() * opacity);
    painter.drawPixmap(box, pixmap, QRectF(QPointF(0, 0), QSizeF(pixmap.size())));
    painter.restore();
    return true;
}

QString displayName(const SwitchItem& item) {
    if (const auto* w = item.window())
        return QString::fromStdString(w->appName);
    if (const auto* t = item.tab())
        return QString::fromStdString(t->browserAppName);
    if (const auto* g = item.tabGroup())
        return QString::fromStdString(g->appName);
    if (const auto* g = item.windowGroup())
        return QString::fromStdString(g->appName);
    if (const auto* a = item.app())
        return QString::fromStdString(a->name);
    return {};
}

}  // namespace

QString RowPainter::badgeText(const SwitchItem& item) const {
    const auto count = item.groupCount();
    return count ? QString::number(*count) : QString();
}

RowGeometry RowPainter::layout(const SwitchItem& item, const QRectF& row,
                               const RowPaintState& state) const {
    Size badge;
    const QString count = badgeText(item);
    if (!count.isEmpty()) {
        QFontMetricsF fm(font(metrics_.countBadgeTextSize(), QFont::DemiBold));
        badge = {std::max(fm.horizontalAdvance(count) + 16, fm.height() + 8), fm.height() + 8};
    }
    const RowLayout l =
        RowLayout::make({row.x(), row.y(), row.width(), row.height()}, rowKind(item),
                        state.inGroupDetail, badge, !state.thumbnail.isNull(), metrics_);
    auto qt = [](const Rect& r) {
        return r.width > 0 ? QRectF(r.x, r.y, r.width, r.height) : QRectF();
    };
    return {row, qt(l.icon), qt(l.text), qt(l.badge), qt(l.close), qt(l.thumbnail)};
}

void RowPainter::paintHighlight(QPainter& painter, const QRectF& row, double amount) const {
    if (amount <= 0.001)
        return;
    const double width = metrics_.highlightWidth(row.width() / 0.86);
    const QRectF box(row.center().x() - width / 2, row.center().y() - 25 - 1, width,
                     metrics_.highlightHeight() * std::max(1.0, metrics_.scale));
    const QRectF shape = box.height() > 50 ? box.translated(0, -(box.height() - 50) / 2) : box;
    QPainterPath path;
    path.addRoundedRect(shape, 15, 15);
    painter.save();
    painter.setOpacity(painter.opacity() * std::clamp(amount, 0.0, 1.0));
    // One highlight shadow per size, rendered once.
    static std::map<std::tuple<int, int, int>, Shadows::Rendered> shadows;
    const qreal dpr = dprOf(painter);
    const auto key =
        std::make_tuple(qRound(shape.width() * 4), qRound(shape.height() * 4), qRound(dpr * 100));
    auto found = shadows.find(key);
    if (found == shadows.end()) {
        QPainterPath origin;
        origin.addRoundedRect(QRectF(QPointF(0, 0), shape.size()), 15, 15);
        if (shadows.size() > 16)
            shadows.clear();
        found = shadows.emplace(key, Shadows::render(origin, highlightShadow(), 12, dpr)).first;
    }
    Shadows::draw(painter, found->second, shape.topLeft() + QPointF(0, 3));
    QLinearGradient gradient(shape.topLeft(), shape.topRight());
    gradient.setColorAt(0, highlightLeading());
    gradient.setColorAt(1, highlightTrailing());
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(white(0.13), 0.7));
    painter.setBrush(gradient);
    painter.drawPath(path);
    painter.restore();
}

void RowPainter::paint(QPainter& painter, const SwitchItem& item, const QRectF& row,
                       const RowPaintState& state) const {
    const RowGeometry g = layout(item, row, state);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    // The selected row grows slightly, anchored at its leading edge.
    const double grow =
        1 + (metrics_.selectedRowScale() - 1) * std::clamp(state.selection, 0.0, 1.0);
    painter.translate(row.left(), row.center().y());
    painter.scale(grow, grow);
    painter.translate(-row.left(), -row.center().y());

    if (rowKind(item) == RowKind::tab && state.inGroupDetail) {
        const QRectF guide(row.left() + metrics_.leadingPadding(RowKind::tab) + 8,
                           row.center().y() - 15, 2, 30);
        painter.setPen(Qt::NoPen);
        painter.setBrush(white(0.18));
        painter.drawRoundedRect(guide, 1, 1);
    }
    paintIconBlock(painter, item, g.icon, state);
    paintTexts(painter, item, g.text, state);
    if (!g.thumbnail.isEmpty()) {
        QPainterPath clip;
        clip.addRoundedRect(g.thumbnail, 4, 4);
        painter.save();
        painter.setClipPath(clip);
        // Fill the frame, cropping the picture's longer side.
        const QPixmap& thumb = state.thumbnail;
        const QSizeF size = QSizeF(thumb.size());
        const double aspect = g.thumbnail.width() / g.thumbnail.height();
        QRectF source(QPointF(0, 0), size);
        if (size.width() / size.height() > aspect) {
            const double w = size.height() * aspect;
            source = QRectF((size.width() - w) / 2, 0, w, size.height());
        } else {
            const double h = size.width() / aspect;
            source = QRectF(0, (size.height() - h) / 2, size.width(), h);
        }
        painter.drawPixmap(g.thumbnail, thumb, source);
        painter.restore();
        painter.setPen(QPen(white(0.12), 0.5));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(g.thumbnail, 4, 4);
    }
    if (!g.badge.isEmpty())
        paintBadge(painter, item, g.badge, state.badgeHover);
    paintClose(painter, g.close, state);
    painter.restore();
}

void RowPainter::paintIconBlock(QPainter& painter, const SwitchItem& item, const QRectF& box,
                                const RowPaintState& state) const {
    const RowKind kind = rowKind(item);
    if (const auto* tab = item.tab()) {
        QPainterPath frame;
        frame.addRoundedRect(box, 6, 6);
        if (!state.favicon.isNull()) {
            painter.save();
            painter.setClipPath(frame);
            const QSizeF fitted = QSizeF(state.favicon.size() / state.favicon.devicePixelRatio())
                                      .scaled(box.size(), Qt::KeepAspectRatio);
            painter.drawPixmap(
                QRectF(box.center() - QPointF(fitted.width(), fitted.height()) / 2, fitted),
                state.favicon, QRectF(QPointF(0, 0), QSizeF(state.favicon.size())));
            painter.restore();
        } else if (!drawImage(painter, tab->appIcon, box, state.faviconPending ? 0.55 : 1.0)) {
            painter.setPen(Qt::NoPen);
            painter.setBrush(QColor::fromRgbF(0.5, 0.5, 0.5, 0.2));
            painter.drawPath(frame);
            // The site's initial, so tabs without any icon still tell apart.
            QString host = QString::fromStdString(urlHost(tab->url).value_or(""));
            if (host.startsWith(QLatin1String("www.")))
                host = host.mid(4);
            const QString initial = host.left(1).toUpper();
            if (!initial.isEmpty()) {
                painter.setPen(white(0.62));
                painter.setFont(font(box.height() * 0.44, QFont::DemiBold));
                painter.drawText(box, Qt::AlignCenter, initial);
            }
        }
        // The browser the tab lives in, as a small badge on the corner.
        const QRectF badge(box.right() - 10, box.bottom() - 10, 13, 13);
        QPixmap browser = IconProvider::shared().pixmap(tab->appIcon, 13, dprOf(painter));
        painter.setPen(QPen(QColor::fromRgbF(0, 0, 0, 0.75), 1.5));
        painter.setBrush(QColor::fromRgbF(0.12, 0.12, 0.14));
        painter.drawEllipse(badge);
        if (!browser.isNull()) {
            QPainterPath round;
            round.addEllipse(badge.adjusted(0.75, 0.75, -0.75, -0.75));
            painter.save();
            painter.setClipPath(round);
            painter.drawPixmap(badge, browser, QRectF(QPointF(0, 0), QSizeF(browser.size())));
            painter.restore();
        } else {
            // No browser icon: the browser's initial.
            painter.setPen(white(0.85));
            painter.setFont(font(8.5, QFont::Bold));
            painter.drawText(badge, Qt::AlignCenter,
                             QString::fromStdString(tab->browserAppName).left(1).toUpper());
        }
        return;
    }
    if (!drawImage(painter, item.icon(), box))
        paintPlaceholder(painter, box, displayName(item));
    if (kind == RowKind::tabGroup) {
        const QRectF badge(box.right() - 10, box.bottom() - 10, 13, 13);
        painter.setPen(QPen(QColor::fromRgbF(0, 0, 0, 0.75), 1.5));
        painter.setBrush(QColor::fromRgbF(0.2, 0.2, 0.24));
        painter.drawEllipse(badge);
        const double side = metrics_.groupChevronSize() + 1;
        Symbols::draw(painter, "chevron.down",
                      QRectF(badge.center() - QPointF(side, side) / 2, QSizeF(side, side)),
                      white(0.95), SymbolWeight::bold);
    }
}

void RowPainter::paintTexts(QPainter& painter, const SwitchItem& item, const QRectF& box,
                            const RowPaintState& state) const {
    const RowKind kind = rowKind(item);
    const bool selected = state.selection > 0.5;
    const QFont titleFont =
        font(metrics_.titleSize(kind), selected ? QFont::DemiBold : QFont::Medium);
    const QFont subtitleFont = font(metrics_.subtitleSize(), QFont::Normal);
    const QFontMetricsF titleMetrics(titleFont);
    const QFontMetricsF subtitleMetrics(subtitleFont);
    const QString subtitle = state.closing ? QString::fromStdString(localized("Closing..."))
                                           : QString::fromStdString(item.subtitle());
    const double lineGap = metrics_.lineSpacing();
    const double total =
        titleMetrics.height() + (subtitle.isEmpty() ? 0 : lineGap + subtitleMetrics.height());
    double y = box.center().y() - total / 2;

    const bool activeTab = item.tab() && item.tab()->isActiveInFrontWindow;
    const double dotRoom = activeTab ? 6 + 6 : 0;
    QString title = QString::fromStdString(item.title());
    title = titleMetrics.elidedText(title, Qt::ElideRight, std::max(0.0, box.width() - dotRoom));
    painter.setFont(titleFont);
    painter.setPen(white(metrics_.titleOpacity(kind)));
    const QRectF titleBox(box.left(), y, box.width(), titleMetrics.height());
    painter.drawText(titleBox, Qt::AlignLeft | Qt::AlignVCenter, title);
    if (activeTab) {
        const double x = box.left() + titleMetrics.horizontalAdvance(title) + 6;
        painter.setPen(Qt::NoPen);
        painter.setBrush(activeTabDot());
        painter.drawEllipse(QRectF(x, titleBox.center().y() - 3, 6, 6));
    }
    if (subtitle.isEmpty())
        return;
    y += titleMetrics.height() + lineGap;
    painter.setFont(subtitleFont);
    painter.setPen(white(0.58));
    painter.drawText(QRectF(box.left(), y, box.width(), subtitleMetrics.height()),
                     Qt::AlignLeft | Qt::AlignVCenter,
                     subtitleMetrics.elidedText(subtitle, Qt::ElideRight, box.width()));
}

void RowPainter::paintBadge(QPainter& painter, const SwitchItem& item, const QRectF& box,
                            double hover) const {
    auto mix = [hover](double from, double to) { return from + (to - from) * hover; };
    painter.save();
    if (hover > 0) {
        const double scale = mix(1.0, 1.1);
        painter.translate(box.center());
        painter.scale(scale, scale);
        painter.translate(-box.center());
    }
    const QColor rest = white(0.12);
    const QColor lit = accent(0.45);
    painter.setPen(QPen(white(0.14), 0.5));
    painter.setBrush(
        QColor::fromRgbF(mix(rest.redF(), lit.redF()), mix(rest.greenF(), lit.greenF()),
                         mix(rest.blueF(), lit.blueF()), mix(rest.alphaF(), lit.alphaF())));
    const double radius = mix(box.height() / 2, 7);
    painter.drawRoundedRect(box, radius, radius);
    painter.setFont(font(metrics_.countBadgeTextSize(), QFont::DemiBold));
    painter.setPen(white(0.88));
    painter.drawText(box, Qt::AlignCenter, badgeText(item));
    painter.restore();
}

void RowPainter::paintClose(QPainter& painter, const QRectF& box,
                            const RowPaintState& state) const {
    if (!state.closable)
        return;  // the empty square keeps the columns aligned
    const bool selected = state.selection > 0.5;
    const QColor color = state.closeHovered ? closeHovered() : white(selected ? 0.58 : 0.30);
    const double side = metrics_.closeSymbolSize() * 1.08;
    Symbols::draw(painter, state.closeHovered ? "xmark.circle.fill" : "xmark.circle",
                  QRectF(box.center() - QPointF(side, side) / 2, QSizeF(side, side)), color,
                  SymbolWeight::semibold);
}

}  // namespace vantlo
