#include "ui/switcher/SwitcherPanel.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWindow>
#include <cmath>

#include "ui/common/FrameTicker.h"
#include "ui/switcher/SearchField.h"
#include "ui/switcher/SearchView.h"

namespace vantlo {
namespace {

SwitcherPanel::NativeWindowHook& nativeHook() {
    static SwitcherPanel::NativeWindowHook hook;
    return hook;
}

bool& bypassesWindowManager() {
    static bool bypasses = false;
    return bypasses;
}

Qt::WindowFlags panelWindowFlags() {
    Qt::WindowFlags flags =
        Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::NoDropShadowWindowHint;
    if (bypassesWindowManager())
        flags |= Qt::X11BypassWindowManagerHint;
    return flags;
}

}  // namespace

void SwitcherPanel::setNativeWindowHook(NativeWindowHook hook) {
    nativeHook() = std::move(hook);
}

void SwitcherPanel::setBypassesWindowManager(bool bypasses) {
    bypassesWindowManager() = bypasses;
}

SwitcherPanel::SwitcherPanel(bool hugsLeftEdge, double fontScale,
                             std::shared_ptr<RowImageSource> images)
    : QWidget(nullptr, panelWindowFlags()), hugsLeftEdge_(hugsLeftEdge) {
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_DeleteOnClose, false);
    setWindowTitle(QStringLiteral("Vantlo"));
    setFocusPolicy(Qt::StrongFocus);
    view_ = new SearchView(hugsLeftEdge, fontScale, std::move(images), this);
    ticker_ = new FrameTicker([this](double now) { return animate(now); }, this);
    qApp->installEventFilter(this);
}

SwitcherPanel::~SwitcherPanel() {
    qApp->removeEventFilter(this);
}

void SwitcherPanel::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    view_->setGeometry(rect());
}

void SwitcherPanel::setPanelSize(QSize size) {
    resize(size);
    view_->setGeometry(QRect(QPoint(0, 0), size));
}

Rect SwitcherPanel::currentFrame() const {
    const double x = sliding_ ? slideX_.to : pos().x();
    return Rect{x, static_cast<double>(y_), static_cast<double>(width()),
                static_cast<double>(height())};
}

void SwitcherPanel::slideIn(const PanelFrame& frame, std::function<void()> onFinished) {
    const double now = FrameTicker::now();
    y_ = static_cast<int>(std::lround(frame.target.y));
    setPanelSize(QSize(static_cast<int>(std::lround(frame.target.width)),
                       static_cast<int>(std::lround(frame.target.height))));
    move(static_cast<int>(std::lround(frame.start.x)), y_);
    setWindowOpacity(0.0);
    winId();  // create the native window so the hook can mark it before it is mapped
    if (nativeHook())
        nativeHook()(this);
    show();
    raise();
    // A window past the window manager gets no focus from it, and taking the X focus here
    // would leave the desktop without an active window while the panel shows: its program
    // holds the keyboard instead.
    if (!bypassesWindowManager())
        activateWindow();
    view_->setFocus(Qt::ActiveWindowFocusReason);
    slideX_ = Transition{frame.start.x, frame.target.x, now, PanelPlacement::slideInDuration,
                         EasingCurve::easeOut};
    fade_ = Transition{0, 1, now, PanelPlacement::slideInDuration, EasingCurve::easeOut};
    sliding_ = true;
    slidingOut_ = false;
    onSlideFinished_ = std::move(onFinished);
    ticker_->start();
}

void SwitcherPanel::slideOut(std::function<void()> onHidden) {
    const double now = FrameTicker::now();
    const Rect current{static_cast<double>(pos().x()), static_cast<double>(y_),
                       static_cast<double>(width()), static_cast<double>(height())};
    const Rect end = PanelPlacement::slideOutFrame(current, hugsLeftEdge_);
    slideX_ =
        Transition{current.x, end.x, now, PanelPlacement::slideOutDuration, EasingCurve::easeIn};
    fade_ =
        Transition{windowOpacity(), 0, now, PanelPlacement::slideOutDuration, EasingCurve::easeIn};
    sliding_ = true;
    slidingOut_ = true;
    onSlideFinished_ = std::move(onHidden);
    ticker_->start();
}

void SwitcherPanel::hideAtOnce() {
    sliding_ = false;
    slidingOut_ = true;
    onSlideFinished_ = nullptr;
    hide();
}

bool SwitcherPanel::animate(double now) {
    if (!sliding_)
        return false;
    move(static_cast<int>(std::lround(slideX_.value(now))), y_);
    setWindowOpacity(fade_.value(now));
    if (!slideX_.isFinished(now))
        return true;
    sliding_ = false;
    if (slidingOut_)
        hide();
    auto finished = std::move(onSlideFinished_);
    onSlideFinished_ = nullptr;
    if (finished)
        finished();
    return false;
}

bool SwitcherPanel::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        // Each delivery starts at the panel's window: from there on the event is a new key,
        // even when it reuses an earlier one's address and time stamp (an input method hands
        // keys it leaves back with neither changed).
        if (watched == static_cast<QObject*>(windowHandle()))
            lastKey_ = nullptr;
        auto* widget = qobject_cast<QWidget*>(watched);
        auto* key = static_cast<QKeyEvent*>(event);
        // An unaccepted key climbs to the parent widgets as the same event: handle it once.
        if (widget && widget->window() == this && isVisible() && !slidingOut_ && !forwarding_ &&
            !(key == lastKey_ && key->timestamp() == lastKeyTime_)) {
            lastKey_ = key;
            lastKeyTime_ = key->timestamp();
            return handleKey(watched, key);
        }
    }
    return QWidget::eventFilter(watched, event);
}

bool SwitcherPanel::handleKey(QObject* watched, QKeyEvent* event) {
    // An input method composing text owns its keys until it commits.
    if (view_->hasMarkedText())
        return false;
    if (keyHandler_ && keyHandler_(event))
        return true;
    if (watched != view_->searchField() && !event->text().isEmpty() &&
        event->text().at(0).isPrint() &&
        !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) {
        forwarding_ = true;
        view_->typeIntoSearch(event);
        forwarding_ = false;
        return true;
    }
    return false;
}

}  // namespace vantlo
