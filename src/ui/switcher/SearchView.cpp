#include "ui/switcher/SearchView.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QTimer>
#include <QToolTip>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "settings/Localization.h"
#include "switcher/layout/BoundaryHints.h"
#include "switcher/layout/EmptyState.h"
#include "switcher/layout/PanelWaveShape.h"
#include "switcher/layout/RowLayout.h"
#include "switcher/layout/SearchViewLayout.h"
#include "switcher/layout/SelectionWaveRail.h"
#include "switcher/layout/SwitcherLayout.h"
#include "ui/common/FrameTicker.h"
#include "ui/common/IconProvider.h"
#include "ui/common/Shadows.h"
#include "ui/common/Symbols.h"
#include "ui/switcher/EmptyStatePainter.h"
#include "ui/switcher/FooterPainter.h"
#include "ui/switcher/GuideCardOverlay.h"
#include "ui/switcher/HeaderPainter.h"
#include "ui/switcher/RowPainter.h"
#include "ui/switcher/RowPictures.h"
#include "ui/switcher/SearchField.h"
#include "ui/switcher/SwitcherStyle.h"

namespace vantlo {

using namespace SwitcherStyle;

namespace {

// A panel that bypasses the window manager is not the active window until its program hands
// it the focus for typing (until then it holds the keyboard itself), so Qt gives the field no
// focus and hides its caret: it is told it has focus all the same.
void focusField(QLineEdit* field, Qt::FocusReason reason) {
    field->setFocus(reason);
    if (!field->hasFocus()) {
        QFocusEvent focusIn(QEvent::FocusIn, reason);
        QApplication::sendEvent(field, &focusIn);
    }
}

constexpr SpringParameters kWaveSpring{0.36, 0.8};
constexpr SpringParameters kRailSpring{0.34, 0.78};
constexpr SpringParameters kRowSpring{0.26, 0.72};
constexpr SpringParameters kHeaderSpring{0.28, 0.78};
constexpr SpringParameters kPulseOut{0.16, 0.55};
constexpr SpringParameters kPulseBack{0.24, 0.7};
constexpr double kBadgeHoverSeconds = 0.14;
constexpr double kBoundaryHintHeight = 16;
constexpr double kRailStrip = 16;

QString qs(const std::string& text) {
    return QString::fromStdString(text);
}

QRectF toQt(const Rect& r) {
    return QRectF(r.x, r.y, r.width, r.height);
}

QPainterPath toQt(const Path& path) {
    QPainterPath result;
    for (const PathCommand& c : path.commands()) {
        switch (c.verb) {
            case PathCommand::Verb::moveTo:
                result.moveTo(c.to.x, c.to.y);
                break;
            case PathCommand::Verb::lineTo:
                result.lineTo(c.to.x, c.to.y);
                break;
            case PathCommand::Verb::quadTo:
                result.quadTo(c.control1.x, c.control1.y, c.to.x, c.to.y);
                break;
            case PathCommand::Verb::curveTo:
                result.cubicTo(c.control1.x, c.control1.y, c.control2.x, c.control2.y, c.to.x,
                               c.to.y);
                break;
            case PathCommand::Verb::close:
                result.closeSubpath();
                break;
        }
    }
    return result;
}

std::string rowKey(const SwitchItem& item) {
    return item.id().toString();
}

}  // namespace

struct SearchView::Layout {
    QRectF content;
    QRectF header;
    QRectF searchRow;
    QRectF searchField;
    QRectF pill;
    QRectF backChip;
    QRectF groupIcon;
    QRectF groupTitle;
    QRectF divider;
    QRectF list;
    QRectF footer;
};

SearchView::SearchView(bool hugsLeftEdge, double fontScale, std::shared_ptr<RowImageSource> images,
                       QWidget* parent)
    : QWidget(parent), hugsLeftEdge_(hugsLeftEdge), metrics_(fontScale) {
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_TranslucentBackground);
    imagesArrived_ = IconProvider::shared().whenImagesArrive([this] { update(); });
    field_ = new SearchField(this);
    field_->hide();
    QObject::connect(field_, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (actions_.setQuery)
            actions_.setQuery(text.toStdString());
    });
    pictures_ = new RowPictures(
        std::move(images), [this] { update(); }, this);
    guideCard_ = new GuideCardOverlay(metrics_, this);
    ticker_ = new FrameTicker([this](double now) { return animate(now); }, this);
    waveY_ = Spring(SwitcherLayout::estimatedPanelWaveY(false, 0), kWaveSpring);
    railY_ = Spring(SwitcherLayout::estimatedPanelWaveY(false, 0), kRailSpring);
}

SearchView::~SearchView() = default;

bool SearchView::hasMarkedText() const {
    return field_->hasMarkedText();
}

void SearchView::setFooterBindings(FooterBindings bindings) {
    bindings_ = std::move(bindings);
    update();
}

void SearchView::setGuideCard(std::optional<GuideCardContent> card) {
    guideCard_->setSlot(toQt(layoutNumbers().guideCard));
    guideCard_->setCard(std::move(card));
    // The card lies over the search field: its buttons must get the clicks there.
    field_->setAttribute(Qt::WA_TransparentForMouseEvents, guideCard_->hasCard());
    ticker_->start();
    update();
}

void SearchView::setAccessibilityTrusted(bool trusted) {
    accessibilityTrusted_ = trusted;
    update();
}

ScrollKeeper& SearchView::keeperForMode() {
    switch (state_.mode) {
        case SwitcherViewState::Mode::tabGroup:
            return tabKeeper_;
        case SwitcherViewState::Mode::windowGroup:
            return windowKeeper_;
        case SwitcherViewState::Mode::mainList:
            break;
    }
    return mainKeeper_;
}

void SearchView::setState(SwitcherViewState next) {
    const double now = FrameTicker::now();
    const SwitcherViewState previous = std::exchange(state_, std::move(next));
    if (previous.mode != state_.mode || previous.query != state_.query ||
        previous.rows.size() != state_.rows.size())
        scrollY_ = previous.mode != state_.mode || previous.query != state_.query
                       ? 0
                       : std::clamp(scrollY_, 0.0, maxScroll(layout()));
    if (previous.selectedIndex != state_.selectedIndex || previous.mode != state_.mode)
        selectionChanged(previous.selectedIndex);
    if (previous.enterPulse != state_.enterPulse) {
        searchScale_.animateTo(1.06, kPulseOut, now);
        pulseReturnAt_ = now + 0.1;
    }
    floating_.animateTo(state_.floatingActive() ? 1.0 : 0.0, kHeaderSpring, now);

    const auto selected = state_.clampedSelection();
    std::map<std::string, Spring> selection;
    for (int i = 0; i < state_.visibleCount(); ++i) {
        const std::string key = rowKey(state_.rows[i]);
        const double target = (selected && *selected == i) ? 1.0 : 0.0;
        auto found = rowSelection_.find(key);
        Spring spring = found != rowSelection_.end() ? found->second : Spring(0.0, kRowSpring);
        if (found == rowSelection_.end() && rowSelection_.empty())
            spring.snap(target);  // the first frame shows the selection at once
        else if (spring.target() != target)
            spring.animateTo(target, kRowSpring, now);
        selection.emplace(key, spring);
    }
    rowSelection_ = std::move(selection);
    guideCard_->setSlot(toQt(layoutNumbers().guideCard));
    syncField();
    retargetWaves(now);
    ticker_->start();
    update();
}

void SearchView::selectionChanged(int) {
    const auto selected = state_.clampedSelection();
    if (!selected)
        return;
    if (state_.usesWindowedList()) {
        scrollY_ = 0;
        return;
    }
    if (auto request = keeperForMode().selectionChanged(state_.selectedIndex, state_.visibleCount(),
                                                        state_.keyboardClaimed)) {
        applyScroll(*request);
        return;
    }
    // A selection the pointer or a reset moved off screen still comes into view.
    const Layout l = layout();
    const double top = rowTop(l, *selected) - l.list.top();
    const double bottom = top + metrics_.rowHeight();
    if (top < scrollY_)
        scrollY_ = std::max(0.0, top - SwitcherLayout::listPadding);
    else if (bottom > scrollY_ + l.list.height())
        scrollY_ = std::min(maxScroll(l), bottom - l.list.height() + SwitcherLayout::listPadding);
}

void SearchView::applyScroll(const ScrollRequest& request) {
    const Layout l = layout();
    const double top = rowTop(l, request.index) - l.list.top();
    const double fraction = request.anchorFraction();
    // The row's point at `fraction` of its height lines up with the same point of the list.
    const double target = top + fraction * metrics_.rowHeight() - fraction * l.list.height() -
                          (fraction == 0 ? SwitcherLayout::listPadding : 0);
    scrollY_ = std::clamp(target, 0.0, maxScroll(l));
}

SearchViewLayout SearchView::layoutNumbers() const {
    double backLabelWidth = 0;
    if (state_.isInDetailView()) {
        const QFontMetricsF fm(SwitcherStyle::font(metrics_.backChipSize(), QFont::DemiBold));
        backLabelWidth = fm.horizontalAdvance(qs(localized("Back")));
    }
    return SearchViewLayout::make({static_cast<double>(width()), static_cast<double>(height())},
                                  hugsLeftEdge_, state_.isInDetailView(), metrics_, backLabelWidth);
}

SearchView::Layout SearchView::layout() const {
    const SearchViewLayout numbers = layoutNumbers();
    Layout l;
    l.content = toQt(numbers.content);
    l.header = toQt(numbers.header);
    l.searchRow = toQt(numbers.searchRow);
    l.searchField = toQt(numbers.searchField);
    l.pill = toQt(numbers.pill);
    l.backChip = toQt(numbers.backChip);
    l.groupIcon = toQt(numbers.groupIcon);
    l.groupTitle = toQt(numbers.groupTitle);
    l.divider = toQt(numbers.divider);
    l.list = toQt(numbers.list);
    l.footer = toQt(numbers.footer);
    return l;
}

double SearchView::rowTop(const Layout& l, int index) const {
    const double pitch = metrics_.rowHeight() + SwitcherLayout::rowSpacing(state_.isInDetailView());
    if (state_.usesWindowedList()) {
        const IndexRange range = windowedRows(l);
        return l.list.top() + SwitcherLayout::listPadding + kBoundaryHintHeight +
               (index - range.start) * pitch;
    }
    return l.list.top() + SwitcherLayout::listPadding + index * pitch;
}

IndexRange SearchView::windowedRows(const Layout& l) const {
    // At most eleven rows, and no more than fit between the two hints, so both hints stay in
    // view and count exactly the rows that cannot be seen.
    const double pitch = metrics_.rowHeight() + SwitcherLayout::detailRowSpacing;
    const double room = l.list.height() - 2 * SwitcherLayout::listPadding -
                        2 * kBoundaryHintHeight + SwitcherLayout::detailRowSpacing;
    const int fitting = std::max(1, static_cast<int>(std::floor(room / pitch)));
    return SwitcherLayout::windowedRange(state_.selectedIndex, state_.visibleCount(),
                                         std::min(SwitcherLayout::virtualWindowListRows, fitting));
}

double SearchView::contentHeight() const {
    const int n = state_.visibleCount();
    if (n == 0)
        return 0;
    const double spacing = SwitcherLayout::rowSpacing(state_.isInDetailView());
    return 2 * SwitcherLayout::listPadding + n * metrics_.rowHeight() + (n - 1) * spacing;
}

double SearchView::maxScroll(const Layout& l) const {
    if (state_.usesWindowedList())
        return 0;
    return std::max(0.0, contentHeight() - l.list.height());
}

std::vector<SearchView::RowSlot> SearchView::visibleRows(const Layout& l) const {
    std::vector<RowSlot> slots;
    const double listWidth = l.list.width() - 2 * SwitcherLayout::listPadding;
    const double rowWidth = metrics_.highlightWidth(listWidth);
    const double x = l.list.center().x() - rowWidth / 2;
    int first = 0, last = state_.visibleCount();
    if (state_.usesWindowedList()) {
        const IndexRange range = windowedRows(l);
        first = range.start;
        last = range.end;
    }
    for (int i = first; i < last; ++i) {
        const double top = rowTop(l, i) - scrollY_;
        if (top + metrics_.rowHeight() < l.list.top() || top > l.list.bottom())
            continue;
        slots.push_back({i, QRectF(x, top, rowWidth, metrics_.rowHeight())});
    }
    return slots;
}

std::optional<double> SearchView::selectedRowMidY() const {
    const auto selected = state_.clampedSelection();
    if (!selected)
        return std::nullopt;
    const Layout l = layout();
    const double mid = rowTop(l, *selected) - scrollY_ + metrics_.rowHeight() / 2;
    if (mid < l.list.top() || mid > l.list.bottom())
        return std::nullopt;
    return mid;
}

void SearchView::retargetWaves(double now) {
    const auto measured = selectedRowMidY();
    double centre =
        measured.value_or(waveMeasured_ ? waveY_.target()
                                        : SwitcherLayout::estimatedPanelWaveY(
                                              state_.isInDetailView(), state_.selectedIndex));
    if (!waveMeasured_ && measured) {
        waveMeasured_ = true;
        waveY_.snap(centre);
        railY_.snap(centre);
        return;
    }
    if (std::abs(waveY_.target() - centre) > 0.01)
        waveY_.animateTo(centre, kWaveSpring, now);
    if (std::abs(railY_.target() - centre) > 0.01)
        railY_.animateTo(centre, kRailSpring, now);
}

bool SearchView::animate(double now) {
    if (pulseReturnAt_ >= 0 && now >= pulseReturnAt_) {
        searchScale_.animateTo(1.0, kPulseBack, now);
        pulseReturnAt_ = -1;
    }
    const bool hadGuideCard = guideCard_->hasCard();
    const bool guideMoves = guideCard_->animate(now);
    if (hadGuideCard && !guideCard_->hasCard())
        field_->setAttribute(Qt::WA_TransparentForMouseEvents, false);
    update();
    bool moving = pulseReturnAt_ >= 0 || guideMoves;
    for (const Spring* spring : {&waveY_, &railY_, &searchScale_, &floating_})
        moving = moving || !spring->isSettled(now, 0.01);
    for (const auto& entry : rowSelection_)
        moving = moving || !entry.second.isSettled(now, 0.002);
    std::erase_if(badgeHover_, [now](const auto& entry) {
        return entry.second.isFinished(now) && entry.second.to == 0.0;
    });
    for (const auto& entry : badgeHover_)
        moving = moving || !entry.second.isFinished(now);
    return moving;
}

void SearchView::syncField() {
    const bool visible = state_.isInDetailView() || state_.floatingActive();
    const QString query = qs(state_.query);
    if (field_->text() != query && !field_->hasMarkedText())
        field_->setText(query);
    field_->setTextSize(state_.isInDetailView() ? metrics_.groupSearchTextSize()
                                                : metrics_.searchTextSize());
    if (state_.isInDetailView()) {
        field_->setPlaceholderText(
            qs(state_.mode == SwitcherViewState::Mode::tabGroup
                   ? localizedFormat("Search tabs in %@", {state_.groupName})
                   : localizedFormat("Search windows in %@", {state_.groupName})));
    } else {
        field_->setPlaceholderText(qs(localized("Search all tabs")));
    }
    field_->setVisible(visible);
    updateFieldGeometry();
    if (visible && state_.floatingActive()) {
        // The field may only just have been shown: focus it on the next turn.
        QTimer::singleShot(0, field_, [field = field_] {
            if (field->isVisible() && !field->hasFocus())
                focusField(field, Qt::OtherFocusReason);
        });
    } else if (field_->hasFocus()) {
        setFocus(Qt::OtherFocusReason);
    }
}

void SearchView::updateFieldGeometry() {
    field_->setGeometry(toQt(layoutNumbers().searchField).toRect());
}

void SearchView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    guideCard_->setGeometry(rect());
    guideCard_->setSlot(toQt(layoutNumbers().guideCard));
    updateFieldGeometry();
    retargetWaves(FrameTicker::now());
}

void SearchView::typeIntoSearch(QKeyEvent* event) {
    if (event->text().isEmpty() || !event->text().at(0).isPrint())
        return;
    focusField(field_, Qt::OtherFocusReason);
    QKeyEvent copy(event->type(), event->key(), event->modifiers(), event->text(),
                   event->isAutoRepeat(), event->count());
    QApplication::sendEvent(field_, &copy);
}

// Painting.

void SearchView::paintEvent(QPaintEvent*) {
    const double now = FrameTicker::now();
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const Layout l = layout();
    paintBackground(painter, now);
    paintList(painter, l, now);
    if (state_.isInDetailView())
        paintGroupHeader(painter, l);
    else
        paintHeader(painter, l, now);
    paintFooter(painter, l);
}

void SearchView::paintBackground(QPainter& painter, double now) {
    const Rect bounds{0, 0, static_cast<double>(width()), static_cast<double>(height())};
    // Half-point steps of the wave are invisible, and let a resting panel reuse its shadow.
    const double centre = std::round(waveY_.value(now) * 2) / 2;
    const PanelWaveShape shape{hugsLeftEdge_, centre};
    const QPainterPath outline = toQt(shape.path(bounds));
    const qreal dpr = devicePixelRatioF();
    if (backgroundShadow_.isNull() ||
        backgroundShadowKey_ != QRectF(0, centre, width(), height()) ||
        backgroundShadow_.devicePixelRatio != dpr) {
        backgroundShadow_ = Shadows::render(outline, QColor::fromRgbF(0, 0, 0, 0.35f), 24, dpr);
        backgroundShadowKey_ = QRectF(0, centre, width(), height());
    }
    // The shadow falls away from the screen edge, into the strip the wave reaches into.
    Shadows::draw(painter, backgroundShadow_, QPointF(hugsLeftEdge_ ? 10 : -10, 0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    painter.drawPath(outline);
    painter.setPen(QPen(white(0.12), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(outline);
}

void SearchView::paintHeader(QPainter& painter, const Layout& l, double now) {
    HeaderPainter(metrics_).paintSearchHeader(painter, l.header, l.searchRow, l.pill,
                                              searchScale_.value(now),
                                              std::clamp(floating_.value(now), 0.0, 1.0));
}

void SearchView::paintGroupHeader(QPainter& painter, const Layout& l) {
    HeaderPainter::GroupHeader header;
    header.backChip = l.backChip;
    header.groupIcon = l.groupIcon;
    header.groupTitle = l.groupTitle;
    header.divider = l.divider;
    header.searchRow = l.searchRow;
    header.backHovered = hover_.part == PanelHit::Part::back;
    header.icon = IconProvider::shared().pixmap(state_.groupIcon, qRound(l.groupIcon.width()),
                                                devicePixelRatioF());
    header.name = qs(state_.groupName);
    HeaderPainter(metrics_).paintGroupHeader(painter, header);
}

void SearchView::paintList(QPainter& outer, const Layout& l, double now) {
    if (l.list.isEmpty())
        return;
    const qreal dpr = devicePixelRatioF();
    QImage layer((l.list.size() * dpr).toSize(), QImage::Format_ARGB32_Premultiplied);
    layer.setDevicePixelRatio(dpr);
    layer.fill(Qt::transparent);
    QPainter painter(&layer);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.translate(-l.list.topLeft());

    if (state_.rows.empty()) {
        paintEmptyState(painter, l.list);
    } else {
        const RowPainter rows(metrics_);
        const auto slots = visibleRows(l);
        const bool detail = state_.isInDetailView();
        auto paintState = [&](int index) {
            const SwitchItem& item = state_.rows[index];
            RowPaintState s;
            auto found = rowSelection_.find(rowKey(item));
            s.selection = found != rowSelection_.end() ? found->second.value(now) : 0.0;
            s.closing = state_.isClosing(item);
            s.closable = actions_.isClosable ? actions_.isClosable(item) : false;
            s.badgeHover = badgeHover(item, now);
            s.closeHovered = hover_.part == PanelHit::Part::close && hover_.index == index;
            s.inGroupDetail = detail;
            if (const TabItem* tab = item.tab()) {
                s.favicon = pictures_->pageIcon(tab->faviconURL, devicePixelRatioF());
                s.faviconPending = pictures_->isPending(tab->faviconURL);
            } else if (const WindowItem* window = item.window();
                       window && window->cgWindowID && s.selection > 0.5) {
                s.thumbnail = pictures_->windowPicture(*window->cgWindowID);
            }
            return s;
        };
        // Highlights first, so a growing row never hides under its neighbour's highlight.
        for (const RowSlot& slot : slots)
            rows.paintHighlight(painter, slot.rect, paintState(slot.index).selection);
        for (const RowSlot& slot : slots)
            rows.paint(painter, state_.rows[slot.index], slot.rect, paintState(slot.index));

        if (!slots.empty()) {
            // The rail beside the selected row.
            const QRectF strip(slots.front().rect.left() - kRailStrip, l.list.top(), kRailStrip,
                               l.list.height());
            const SelectionWaveRail shape{railY_.value(now) - l.list.top()};
            QPainterPath arc = toQt(shape.path({0, 0, strip.width(), strip.height()}));
            arc.translate(strip.topLeft());
            if (state_.clampedSelection()) {
                Shadows::drawShadow(painter, arc, rail(0.24), 5, {}, 2);
                painter.setPen(QPen(rail(0.55), 2, Qt::SolidLine, Qt::RoundCap));
                painter.setBrush(Qt::NoBrush);
                painter.drawPath(arc);
            }
        }
        if (state_.usesWindowedList()) {
            const IndexRange range = windowedRows(l);
            const BoundaryHints hints = BoundaryHints::make(range, state_.visibleCount());
            painter.setFont(SwitcherStyle::font(metrics_.boundaryHintTextSize(), QFont::DemiBold));
            painter.setPen(white(0.24));
            const double pitch = metrics_.rowHeight() + SwitcherLayout::detailRowSpacing;
            if (hints.above)
                painter.drawText(QRectF(l.list.left(), l.list.top() + SwitcherLayout::listPadding,
                                        l.list.width(), kBoundaryHintHeight),
                                 Qt::AlignCenter, qs(*hints.above));
            if (hints.below)
                painter.drawText(
                    QRectF(l.list.left(),
                           rowTop(l, range.end - 1) + pitch - SwitcherLayout::detailRowSpacing,
                           l.list.width(), kBoundaryHintHeight),
                    Qt::AlignCenter, qs(*hints.below));
        }
    }
    painter.end();

    // Fade the list's bottom edge, so a row cut by the footer reads as "more below".
    QPainter mask(&layer);
    mask.setCompositionMode(QPainter::CompositionMode_DestinationIn);
    QLinearGradient fade(0, 0, 0, l.list.height());
    fade.setColorAt(0, Qt::black);
    fade.setColorAt(0.92, Qt::black);
    fade.setColorAt(1, QColor::fromRgbF(0, 0, 0, 0.25f));
    mask.fillRect(QRectF(0, 0, l.list.width(), l.list.height()), fade);
    mask.end();
    outer.drawImage(l.list.topLeft(), layer);
}

void SearchView::paintEmptyState(QPainter& painter, const QRectF& area) {
    if (const auto empty = EmptyState::make(state_.hasItems, state_.visibleCount(), state_.query,
                                            accessibilityTrusted_))
        EmptyStatePainter(metrics_).paint(painter, area, *empty);
}

void SearchView::paintFooter(QPainter& painter, const Layout& l) {
    FooterState footerState;
    footerState.searchActive = state_.searchActive;
    footerState.inDetailView = state_.isInDetailView();
    footerState.selectedIsGroup = state_.selectedIsGroup();
    FooterPainter(metrics_).paint(painter, l.footer, FooterHints::hints(footerState, bindings_));
}

// Pointer.

PanelHitMap SearchView::hitMap() const {
    auto rect = [](const QRectF& r) { return Rect{r.x(), r.y(), r.width(), r.height()}; };
    PanelHitMap map;
    const Layout l = layout();
    if (guideCard_->hasCard()) {
        map.guideNext = rect(guideCard_->buttonRect(GuideCardOverlay::Button::next));
        map.guideSkip = rect(guideCard_->buttonRect(GuideCardOverlay::Button::skip));
    }
    if (state_.isInDetailView())
        map.backChip = rect(l.backChip);
    else if (!state_.floatingActive())
        map.pill = rect(l.pill);
    map.list = rect(l.list);
    if (state_.rows.empty())
        return map;
    const RowPainter rows(metrics_);
    const double now = FrameTicker::now();
    for (const RowSlot& slot : visibleRows(l)) {
        const SwitchItem& item = state_.rows[slot.index];
        RowPaintState s;
        s.inGroupDetail = state_.isInDetailView();
        s.closable = actions_.isClosable ? actions_.isClosable(item) : false;
        const RowGeometry g = rows.layout(item, slot.rect, s);
        RowLayout parts;
        parts.row = rect(slot.rect);
        parts.badge = g.badge.isEmpty() ? Rect{} : rect(g.badge);
        parts.close = s.closable ? rect(g.close) : Rect{};
        // Where the row is drawn: the selected one grown from its leading edge.
        auto found = rowSelection_.find(rowKey(item));
        const double selection = found != rowSelection_.end() ? found->second.value(now) : 0.0;
        parts =
            parts.grown(1 + (metrics_.selectedRowScale() - 1) * std::clamp(selection, 0.0, 1.0));
        map.rows.push_back({slot.index, parts.row, parts.badge, parts.close});
    }
    return map;
}

PanelHit SearchView::hitTest(QPointF point) const {
    return hitMap().hitAt({point.x(), point.y()});
}

void SearchView::showHover(const PanelHit& hit) {
    if (hit == hover_)
        return;
    setHover(hit);
    update();
}

void SearchView::scrollByNotches(double notches) {
    const Layout l = layout();
    scrollY_ = std::clamp(scrollY_ + notches * SwitcherLayout::rowHeight, 0.0, maxScroll(l));
    retargetWaves(FrameTicker::now());
    ticker_->start();
    update();
}

void SearchView::mouseMoveEvent(QMouseEvent* event) {
    const QPointF global = event->globalPosition();
    if (global == lastPointer_)
        return;  // a window appearing under a still pointer is not a move
    const bool firstSighting = lastPointer_ == QPointF(-1, -1);
    lastPointer_ = global;
    if (firstSighting)
        return;
    if (actions_.pointerMoved)
        actions_.pointerMoved();
    const PanelHit hit = hitTest(event->position());
    if (hit != hover_) {
        setHover(hit);
        setCursor(hit.part == PanelHit::Part::none || hit.part == PanelHit::Part::row
                      ? Qt::ArrowCursor
                      : Qt::PointingHandCursor);
        update();
    }
    if (actions_.hover)
        actions_.hover(hit);
}

void SearchView::setHover(const PanelHit& hit) {
    const double now = FrameTicker::now();
    auto ease = [&](const PanelHit& on, double target) {
        if (on.part != PanelHit::Part::badge || on.index < 0 || on.index >= state_.visibleCount())
            return;
        const std::string key = rowKey(state_.rows[on.index]);
        const double from = badgeHover(state_.rows[on.index], now);
        badgeHover_[key] = Transition{from, target, now, kBadgeHoverSeconds, EasingCurve::easeOut};
    };
    ease(hover_, 0.0);
    hover_ = hit;
    ease(hover_, 1.0);
    guideCard_->setHovered(hit.part == PanelHit::Part::guideNext ? GuideCardOverlay::Button::next
                           : hit.part == PanelHit::Part::guideSkip
                               ? GuideCardOverlay::Button::skip
                               : GuideCardOverlay::Button::none);
    ticker_->start();
}

double SearchView::badgeHover(const SwitchItem& item, double now) const {
    auto found = badgeHover_.find(rowKey(item));
    return found == badgeHover_.end() ? 0.0 : found->second.value(now);
}

void SearchView::leaveEvent(QEvent* event) {
    setHover({});
    update();
    QWidget::leaveEvent(event);
}

void SearchView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    const PanelHit hit = hitTest(event->position());
    if (hit.part == PanelHit::Part::pill) {
        // Focused at once, so a word typed right after the click lands in the field.
        field_->show();
        focusField(field_, Qt::MouseFocusReason);
    }
    if (hit.part != PanelHit::Part::none && actions_.click)
        actions_.click(hit);
}

void SearchView::wheelEvent(QWheelEvent* event) {
    // Turning the wheel down (negative delta) moves toward the list's end.
    const double notches = event->pixelDelta().isNull()
                               ? -event->angleDelta().y() / 120.0
                               : -event->pixelDelta().y() / SwitcherLayout::rowHeight;
    scrollByNotches(notches);
}

bool SearchView::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const PanelHit hit = hitTest(help->pos());
        if (hit.part == PanelHit::Part::close)
            QToolTip::showText(help->globalPos(), qs(FooterHints::closeTooltip(bindings_)), this);
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}

QImage SearchView::snapshot(const QColor& backdrop) {
    const qreal dpr = devicePixelRatioF();
    QImage image((QSizeF(size()) * dpr).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(dpr);
    image.fill(backdrop);
    render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

}  // namespace vantlo
