#include "ui/switcher/QtEventMonitors.h"

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

#include "ui/switcher/QtKeyTranslation.h"

namespace vantlo {

QtEventMonitors::QtEventMonitors(std::shared_ptr<EventMonitors> global)
    : global_(std::move(global)) {
    qApp->installEventFilter(this);
}

QtEventMonitors::~QtEventMonitors() {
    qApp->removeEventFilter(this);
}

Subscription QtEventMonitors::add(Entry entry) {
    return local_.add(std::move(entry));
}

Subscription QtEventMonitors::addKeyDownMonitor(std::function<bool(const KeyEvent&)> handler) {
    return add({Kind::keyDown, std::move(handler), {}, {}, {}});
}

Subscription QtEventMonitors::addFlagsChangedMonitor(
    Scope scope, std::function<void(std::uint64_t flags)> handler) {
    if (scope == Scope::local)
        return add({Kind::flags, {}, std::move(handler), {}, {}});
    return global_ ? global_->addFlagsChangedMonitor(scope, std::move(handler)) : Subscription();
}

Subscription QtEventMonitors::addMouseDownMonitor(
    Scope scope, std::function<void(const MouseDownEvent&)> handler) {
    if (scope == Scope::local)
        return add({Kind::mouseDown, {}, {}, std::move(handler), {}});
    return global_ ? global_->addMouseDownMonitor(scope, std::move(handler)) : Subscription();
}

Subscription QtEventMonitors::addMouseMovedMonitor(std::function<void()> handler) {
    return add({Kind::mouseMoved, {}, {}, {}, std::move(handler)});
}

InputGrab QtEventMonitors::grabInput() {
    if (global_)
        return global_->grabInput();
    return InputGrab([] {});
}

std::uint64_t QtEventMonitors::currentModifierFlags() {
    if (global_)
        return global_->currentModifierFlags();
    return QtKeyTranslation::modifierFlags(QGuiApplication::queryKeyboardModifiers());
}

Point QtEventMonitors::pointerLocation() {
    if (global_)
        return global_->pointerLocation();
    const QPoint p = QCursor::pos();
    return {static_cast<double>(p.x()), static_cast<double>(p.y())};
}

template <typename F>
void QtEventMonitors::each(Kind kind, F&& f) {
    // Handlers may add or remove monitors while the walk goes on.
    local_.forEach([&](const Entry& entry) {
        if (entry.kind == kind)
            f(entry);
    });
}

bool QtEventMonitors::deliverKey(const QKeyEvent& event) {
    const auto key = QtKeyTranslation::translate(event);
    if (!key)
        return false;
    if (keyRoute_)
        return keyRoute_(*key);
    bool consumed = false;
    each(Kind::keyDown, [&](const Entry& entry) {
        if (!consumed && entry.key)
            consumed = entry.key(*key);
    });
    return consumed;
}

// Events live on the stack, so a later event may reuse an address: compare the time stamp too.
bool QtEventMonitors::isSameMouseEvent(const QEvent* event) const {
    const auto* input = static_cast<const QInputEvent*>(event);
    return event == lastMouseEvent_ && event->type() == lastMouseType_ &&
           input->timestamp() == lastMouseTime_;
}

void QtEventMonitors::rememberMouseEvent(const QEvent* event) {
    lastMouseEvent_ = event;
    lastMouseType_ = event->type();
    lastMouseTime_ = static_cast<const QInputEvent*>(event)->timestamp();
}

bool QtEventMonitors::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease: {
            const auto flags =
                QtKeyTranslation::modifierFlags(static_cast<QKeyEvent*>(event)->modifiers());
            if (flags != lastFlags_) {
                lastFlags_ = flags;
                each(Kind::flags, [&](const Entry& entry) {
                    if (entry.flags)
                        entry.flags(flags);
                });
            }
            break;
        }
        case QEvent::MouseButtonPress: {
            auto* widget = qobject_cast<QWidget*>(watched);
            // An ignored click climbs to the parent widgets as the same event: report it once.
            if (!widget || isSameMouseEvent(event))
                break;
            rememberMouseEvent(event);
            const auto* mouse = static_cast<QMouseEvent*>(event);
            MouseDownEvent down;
            down.location = {mouse->globalPosition().x(), mouse->globalPosition().y()};
            down.inOwnWindow = true;
            down.inPanel = panel_ && widget->window() == panel_;
            each(Kind::mouseDown, [&](const Entry& entry) {
                if (entry.mouse)
                    entry.mouse(down);
            });
            break;
        }
        case QEvent::MouseMove:
            if (qobject_cast<QWidget*>(watched) && !isSameMouseEvent(event)) {
                rememberMouseEvent(event);
                each(Kind::mouseMoved, [&](const Entry& entry) {
                    if (entry.moved)
                        entry.moved();
                });
            }
            break;
        default:
            break;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace vantlo
