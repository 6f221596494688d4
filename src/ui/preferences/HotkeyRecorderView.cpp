#include "ui/preferences/HotkeyRecorderView.h"

#include <QKeyEvent>
#include <QPainter>
#include <QWindow>

#include "ui/preferences/PrefStyle.h"
#include "ui/switcher/QtKeyTranslation.h"

namespace vantlo {

HotkeyRecorderView::HotkeyRecorderView(HotkeyConfig config, bool allowPlainSpecialKeys,
                                       HotkeyRecorder::Capture onCapture, QSize size,
                                       QWidget* parent)
    : QWidget(parent), recorder_(config, allowPlainSpecialKeys, std::move(onCapture)) {
    setFixedSize(size);
    setFocusPolicy(Qt::ClickFocus);
    setCursor(Qt::PointingHandCursor);
    setAccessibleName("Hotkey recorder");
}

HotkeyRecorderView::~HotkeyRecorderView() {
    releaseKeyboard();
}

void HotkeyRecorderView::setConfig(const HotkeyConfig& config) {
    recorder_.setConfig(config);
    update();
}

bool HotkeyRecorderView::event(QEvent* event) {
    // Tab and Backtab would move the focus before keyPressEvent sees them; while armed they are
    // keys to record like any other.
    if (event->type() == QEvent::KeyPress && recorder_.isRecording()) {
        handleKey(static_cast<const QKeyEvent&>(*event));
        return true;
    }
    if (event->type() == QEvent::ShortcutOverride && recorder_.isRecording()) {
        event->accept();
        return true;
    }
    return QWidget::event(event);
}

void HotkeyRecorderView::mousePressEvent(QMouseEvent*) {
    if (recorder_.isRecording())
        disarm();
    else
        arm();
}

void HotkeyRecorderView::focusOutEvent(QFocusEvent* event) {
    // Focus moved elsewhere (another recorder, a click outside): this one stops listening.
    if (recorder_.isRecording())
        disarm();
    QWidget::focusOutEvent(event);
}

void HotkeyRecorderView::arm() {
    recorder_.toggle();
    setFocus(Qt::MouseFocusReason);
    bool taken = takeKeyboard();
    update();
    if (onArmed_)
        onArmed_(true, taken);
}

void HotkeyRecorderView::disarm() {
    recorder_.disarm();
    releaseKeyboard();
    update();
    if (onArmed_)
        onArmed_(false, false);
}

void HotkeyRecorderView::handleKey(const QKeyEvent& event) {
    auto key = QtKeyTranslation::translate(event);
    if (!key)
        return;  // a modifier on its own: wait for the key it goes with
    auto result = recorder_.keyDown(key->keyCode, key->modifierFlags);
    if (result == HotkeyRecorder::KeyResult::cancelled ||
        result == HotkeyRecorder::KeyResult::captured) {
        releaseKeyboard();
        update();
        if (onArmed_)
            onArmed_(false, false);
    }
}

bool HotkeyRecorderView::takeKeyboard() {
    QWindow* window = this->window()->windowHandle();
    holdsKeyboard_ = window != nullptr && window->setKeyboardGrabEnabled(true);
    return holdsKeyboard_;
}

void HotkeyRecorderView::releaseKeyboard() {
    if (!holdsKeyboard_)
        return;
    if (QWindow* window = this->window()->windowHandle())
        window->setKeyboardGrabEnabled(false);
    holdsKeyboard_ = false;
}

void HotkeyRecorderView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QRectF box = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QColor accent = PrefStyle::accent();
    if (recorder_.isRecording()) {
        QColor fill = accent;
        fill.setAlphaF(0.24f);
        painter.setBrush(fill);
        painter.setPen(QPen(accent, 1));
    } else {
        painter.setBrush(QColor::fromRgbF(1, 1, 1, 0.16f));
        painter.setPen(QPen(QColor::fromRgbF(1, 1, 1, 0.32f), 1));
    }
    painter.drawRoundedRect(box, 5, 5);
    painter.setFont(PrefStyle::font(13));
    painter.setPen(QColor::fromRgbF(1, 1, 1, 0.88f));
    painter.drawText(rect(), Qt::AlignCenter, QString::fromStdString(recorder_.text()));
}

}  // namespace vantlo
