#include "ui/preferences/PreferencesSidebar.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "ui/common/Symbols.h"
#include "ui/preferences/PrefStyle.h"

namespace vantlo {
namespace {

constexpr double kTop = 14;
constexpr double kRowHeight = 30;
constexpr double kInset = 8;

}  // namespace

PreferencesSidebar::PreferencesSidebar(std::function<void(PreferencesPane)> onSelect,
                                       QWidget* parent)
    : QWidget(parent), onSelect_(std::move(onSelect)) {
    setFixedWidth(kWidth);
    setFocusPolicy(Qt::StrongFocus);
}

void PreferencesSidebar::setSelection(PreferencesPane pane) {
    selection_ = pane;
    update();
}

QRectF PreferencesSidebar::rowRect(std::size_t index) const {
    return QRectF(kInset, kTop + static_cast<double>(index) * kRowHeight, width() - 2 * kInset,
                  kRowHeight - 2);
}

void PreferencesSidebar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), PrefStyle::sidebar());
    painter.setRenderHint(QPainter::Antialiasing);
    const auto& panes = PreferencesPanes::allCases();
    for (std::size_t i = 0; i < panes.size(); ++i) {
        QRectF row = rowRect(i);
        bool selected = panes[i] == selection_;
        if (selected) {
            QColor fill = PrefStyle::accent();
            fill.setAlphaF(hasFocus() ? 0.85f : 0.55f);
            painter.setPen(Qt::NoPen);
            painter.setBrush(fill);
            painter.drawRoundedRect(row, 6, 6);
        }
        QColor ink = selected ? QColor(255, 255, 255) : PrefStyle::primary();
        QRectF icon(row.left() + 8, row.center().y() - 8, 16, 16);
        Symbols::draw(painter, PreferencesPanes::symbol(panes[i]), icon,
                      selected ? ink : PrefStyle::accent().lighter(130), SymbolWeight::medium);
        painter.setPen(ink);
        painter.setFont(PrefStyle::font(13, selected ? QFont::Medium : QFont::Normal));
        QRectF label = row.adjusted(32, 0, -4, 0);
        painter.drawText(label, Qt::AlignVCenter | Qt::AlignLeft,
                         qt(PreferencesPanes::title(panes[i])));
    }
}

void PreferencesSidebar::mousePressEvent(QMouseEvent* event) {
    const auto& panes = PreferencesPanes::allCases();
    for (std::size_t i = 0; i < panes.size(); ++i) {
        if (rowRect(i).contains(event->position())) {
            setSelection(panes[i]);
            onSelect_(panes[i]);
            return;
        }
    }
}

void PreferencesSidebar::keyPressEvent(QKeyEvent* event) {
    const auto& panes = PreferencesPanes::allCases();
    auto at =
        static_cast<std::size_t>(std::find(panes.begin(), panes.end(), selection_) - panes.begin());
    if (event->key() == Qt::Key_Down && at + 1 < panes.size())
        ++at;
    else if (event->key() == Qt::Key_Up && at > 0)
        --at;
    else
        return QWidget::keyPressEvent(event);
    setSelection(panes[at]);
    onSelect_(panes[at]);
}

}  // namespace vantlo
