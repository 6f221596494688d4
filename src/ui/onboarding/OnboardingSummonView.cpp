#include "ui/onboarding/OnboardingSummonView.h"

#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QTimer>
#include <cmath>

#include "input/HotkeyStore.h"
#include "onboarding/OnboardingManager.h"
#include "platform/Platform.h"
#include "settings/Localization.h"
#include "ui/common/FrameTicker.h"
#include "ui/common/Shadows.h"
#include "ui/common/Symbols.h"
#include "ui/preferences/HotkeyRecorderView.h"
#include "ui/preferences/PrefStyle.h"

namespace vantlo {
namespace {

// Fixed geometry of the 520 × 360 window (padding 28, rows 18 apart).
constexpr double kPad = 28;
constexpr double kWidth = 520;
constexpr QRectF kSymbol{kPad, kPad, 54, 54};
constexpr QRectF kTitle{kPad + 66, kPad - 2, kWidth - 2 * kPad - 66, 30};
constexpr QRectF kSubtitle{kPad + 66, kPad + 30, kWidth - 2 * kPad - 66, 52};
constexpr QRectF kBox{kPad, 118, kWidth - 2 * kPad, 126};
constexpr QRectF kNote{kPad, 252, kWidth - 2 * kPad, 40};
constexpr int kButtonsTop = 304;
constexpr int kButtonHeight = 28;
constexpr int kActionTop = 128;
constexpr int kActionPitch = 38;
constexpr int kActionButtonWidth = 170;
constexpr double kPulseHalfPeriod = 0.85;

QColor white(double alpha) {
    return QColor::fromRgbF(1, 1, 1, static_cast<float>(alpha));
}

QColor accent(double alpha) {
    QColor c = PrefStyle::accent();
    c.setAlphaF(static_cast<float>(alpha));
    return c;
}

QColor mix(const QColor& from, const QColor& to, double amount) {
    auto channel = [amount](double a, double b) {
        return static_cast<float>(a + (b - a) * amount);
    };
    return QColor::fromRgbF(channel(from.redF(), to.redF()), channel(from.greenF(), to.greenF()),
                            channel(from.blueF(), to.blueF()), channel(from.alphaF(), to.alphaF()));
}

// Eased in and out, there and back, one way per half period: the key caps' pulse.
double pulseAt(double now) {
    const double phase = std::fmod(now, 2 * kPulseHalfPeriod) / kPulseHalfPeriod;
    const double x = phase <= 1 ? phase : 2 - phase;
    return x * x * (3 - 2 * x);
}

QString q(const std::string& text) {
    return QString::fromStdString(text);
}

std::string describe(OnboardingStage stage, GuidePermissionProblem problem) {
    std::string line = "[Vantlo] Guide: " + OnboardingStages::name(stage);
    switch (problem) {
        case GuidePermissionProblem::waylandSession:
            return line + " (Wayland session)";
        case GuidePermissionProblem::noWindowManager:
            return line + " (no window manager)";
        case GuidePermissionProblem::hotKeyTaken:
            return line + " (hot key taken)";
        case GuidePermissionProblem::none:
            break;
    }
    return line;
}

void log(const std::string& line) {
    if (platform().log)
        platform().log->write(line);
}

}  // namespace

OnboardingSummonView::OnboardingSummonView(GuideServices services, std::function<void()> onDismiss,
                                           QWidget* parent)
    : QWidget(parent), services_(std::move(services)), onDismiss_(std::move(onDismiss)) {
    setAutoFillBackground(false);
    buildControls();
    pulseTimer_ = new QTimer(this);
    pulseTimer_->setInterval(33);
    QObject::connect(pulseTimer_, &QTimer::timeout, this, [this] {
        pulse_ = pulseAt(FrameTicker::now());
        if (!content_.keyCaps.empty())
            update(kBox.toRect());
    });
    check_ = std::make_unique<GuidePermissionCheck>(
        OnboardingManager::shared(), services_.checks,
        [this](GuidePermissionProblem problem) { onProblem(problem); });
    stageObserver_ =
        OnboardingManager::shared().observe([this](OnboardingStage stage) { onStage(stage); });
    hotkeyObserver_ = platform().notifications->addObserver(
        HotkeyStore::changedNotification,
        [this](const Notification&) {
            // The keys shown follow the new shortcut, which is then asked for.
            render();
            checkSoon();
        },
        NotificationCenter::Delivery::mainQueue);
    render();
}

OnboardingSummonView::~OnboardingSummonView() = default;

void OnboardingSummonView::start() {
    check_->start();
    pulseTimer_->start();
}

void OnboardingSummonView::stop() {
    check_->stop();
    pulseTimer_->stop();
}

void OnboardingSummonView::buildControls() {
    for (std::size_t i = 0; i < actionButtons_.size(); ++i) {
        auto* button = new QPushButton(this);
        button->setGeometry(static_cast<int>(kBox.left()) + 12,
                            kActionTop + static_cast<int>(i) * kActionPitch, kActionButtonWidth,
                            kButtonHeight);
        QObject::connect(button, &QPushButton::clicked, this, [this, i] {
            if (i < content_.actions.size())
                perform(content_.actions[i].action);
        });
        actionButtons_[i] = button;
    }
    skip_ = new QPushButton(this);
    QObject::connect(skip_, &QPushButton::clicked, this, [this] {
        OnboardingManager::shared().complete();
        onDismiss_();
    });
    second_ = new QPushButton(this);
    QObject::connect(second_, &QPushButton::clicked, this,
                     [this] { perform(content_.secondButton.action); });
    default_ = new QPushButton(this);
    default_->setDefault(true);
    QObject::connect(default_, &QPushButton::clicked, this, [this] {
        // "Got it": the guide continues at the next press of the hot key.
        if (content_.defaultEnabled)
            onDismiss_();
    });
}

void OnboardingSummonView::render() {
    GuideFacts facts = services_.facts ? services_.facts() : GuideFacts{};
    content_ = GuideWindow::content(OnboardingManager::shared().stage(), problem_, facts);
    for (std::size_t i = 0; i < actionButtons_.size(); ++i) {
        const bool shown = i < content_.actions.size();
        actionButtons_[i]->setVisible(shown);
        if (shown) {
            actionButtons_[i]->setText(q(content_.actions[i].label));
            actionButtons_[i]->setEnabled(
                !(freeing_ && content_.actions[i].action == GuideAction::freeDesktopKey));
        }
    }
    if (recorder_ && content_.actions.empty()) {
        recorder_->deleteLater();
        recorder_ = nullptr;
    }
    // Bottom row: "Skip Guide" on the left, the other two on the right, default last.
    const QFontMetrics metrics(skip_->font());
    auto widthOf = [&metrics](const std::string& text) {
        return std::max(90, metrics.horizontalAdvance(q(text)) + 28);
    };
    skip_->setText(q(content_.skipLabel));
    skip_->setGeometry(static_cast<int>(kPad), kButtonsTop, widthOf(content_.skipLabel),
                       kButtonHeight);
    default_->setText(q(content_.defaultLabel));
    default_->setEnabled(content_.defaultEnabled);
    const int defaultWidth = widthOf(content_.defaultLabel);
    const int right = static_cast<int>(kWidth - kPad);
    default_->setGeometry(right - defaultWidth, kButtonsTop, defaultWidth, kButtonHeight);
    const bool hasSecond = content_.secondButton.action != GuideAction::none;
    second_->setVisible(hasSecond);
    if (hasSecond) {
        second_->setText(q(content_.secondButton.label));
        const int secondWidth = widthOf(content_.secondButton.label);
        second_->setGeometry(right - defaultWidth - 10 - secondWidth, kButtonsTop, secondWidth,
                             kButtonHeight);
    }
    update();
}

void OnboardingSummonView::onStage(OnboardingStage stage) {
    if (stage == OnboardingStage::panelBasics) {
        // The guide goes on in the panel; the window closes after this delivery.
        QTimer::singleShot(0, this, [this] { onDismiss_(); });
        return;
    }
    render();
    checkSoon();
}

void OnboardingSummonView::onProblem(GuidePermissionProblem problem) {
    // The first answer is told too: it is what the window opens with.
    const bool told = problem != problem_ || !toldProblem_;
    problem_ = problem;
    toldProblem_ = true;
    // Stages are told by the delegate; a passing check by the move to `summon` that follows.
    if (told && problem != GuidePermissionProblem::none)
        log(describe(OnboardingManager::shared().stage(), problem_));
    if (problem == GuidePermissionProblem::none && !statusIsError_)
        status_.clear();
    render();
}

void OnboardingSummonView::checkSoon() {
    QTimer::singleShot(0, this, [this] {
        if (check_)
            check_->checkNow();
    });
}

void OnboardingSummonView::perform(GuideAction action) {
    switch (action) {
        case GuideAction::useAnotherShortcut:
            useAnotherShortcut();
            break;
        case GuideAction::freeDesktopKey:
            freeDesktopKey();
            break;
        case GuideAction::tryAgain:
            statusIsError_ = false;
            status_.clear();
            check_->checkNow();
            render();
            break;
        case GuideAction::openPreferences:
            if (services_.openPreferences)
                services_.openPreferences();
            break;
        case GuideAction::openPrivacySettings:
        case GuideAction::none:
            break;
    }
}

void OnboardingSummonView::useAnotherShortcut() {
    if (recorder_) {
        recorder_->setFocus();
        return;
    }
    recorder_ = new HotkeyRecorderView(
        HotkeyStore::current(), false,
        [](const HotkeyConfig& config) { HotkeyStore::setCurrent(config); }, {180, kButtonHeight},
        this);
    recorder_->move(static_cast<int>(kBox.left()) + 24 + kActionButtonWidth, kActionTop);
    recorder_->show();
    status_ = localized("Click the field, then press the new shortcut.");
    statusIsError_ = false;
    update();
}

void OnboardingSummonView::freeDesktopKey() {
    if (freeing_ || !services_.freeDesktopKey)
        return;
    freeing_ = true;
    statusIsError_ = false;
    status_ = localized("Changing the desktop's setting…");
    render();
    QPointer<OnboardingSummonView> self(this);
    services_.freeDesktopKey([self](const DesktopKeyRelease::Outcome& outcome) {
        if (!self)
            return;
        self->freeing_ = false;
        self->statusIsError_ = !outcome.ok;
        // clang-format off
        self->status_ = outcome.ok ? localized("Done. Vantlo takes the key as soon as the desktop lets go of it.") : outcome.message;
        // clang-format on
        log(outcome.ok
                ? "[Vantlo] Guide: the desktop's binding was changed"
                : "[Vantlo] Guide: the desktop's binding could not be changed: " + outcome.message);
        self->render();
        self->check_->checkNow();
    });
}

void OnboardingSummonView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.fillRect(rect(), QColor::fromRgbF(0.08f, 0.09f, 0.11f));
    paintHeader(painter);
    paintBox(painter);
    paintNote(painter);
}

void OnboardingSummonView::paintHeader(QPainter& painter) {
    Symbols::draw(painter, content_.symbol, kSymbol.adjusted(8, 8, -8, -8), PrefStyle::accent(),
                  SymbolWeight::semibold);
    painter.setFont(PrefStyle::font(23, QFont::Bold));
    painter.setPen(white(0.94));
    const QFontMetricsF titleMetrics(painter.font());
    painter.drawText(kTitle, Qt::AlignLeft | Qt::AlignVCenter,
                     titleMetrics.elidedText(q(content_.title), Qt::ElideRight, kTitle.width()));
    painter.setFont(PrefStyle::font(12.5));
    painter.setPen(white(0.62));
    painter.drawText(kSubtitle, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                     q(content_.subtitle));
}

void OnboardingSummonView::paintBox(QPainter& painter) {
    QPainterPath box;
    box.addRoundedRect(kBox, 8, 8);
    painter.setPen(QPen(white(0.1), 1));
    painter.setBrush(white(0.08));
    painter.drawPath(box);
    const QRectF inner = kBox.adjusted(16, 14, -16, -12);
    if (!content_.keyCaps.empty()) {
        paintKeyCaps(painter, inner);
        return;
    }
    if (!content_.actions.empty()) {
        painter.setFont(PrefStyle::font(11.5));
        painter.setPen(white(0.7));
        const double left = kBox.left() + 24 + kActionButtonWidth;
        for (std::size_t i = 0; i < content_.actions.size(); ++i) {
            // The recorder takes the first row's place once it shows.
            if (i == 0 && recorder_)
                continue;
            const QRectF detail(left, kActionTop + i * kActionPitch - 3, kBox.right() - 12 - left,
                                kActionPitch - 2);
            painter.drawText(detail, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap,
                             q(content_.actions[i].detail));
        }
        return;
    }
    double y = inner.top();
    const QFont stepFont = PrefStyle::font(12.5, QFont::Medium);
    painter.setFont(stepFont);
    const QFontMetricsF metrics(stepFont);
    for (const std::string& step : content_.steps) {
        Symbols::draw(painter, "checkmark.circle", QRectF(inner.left(), y + 2, 14, 14),
                      PrefStyle::accent(), SymbolWeight::semibold);
        const QRectF textBox(inner.left() + 22, y, inner.width() - 22, inner.bottom() - y);
        const QRectF used =
            metrics.boundingRect(textBox, Qt::AlignLeft | Qt::TextWordWrap, q(step));
        painter.setPen(white(0.78));
        painter.drawText(textBox, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, q(step));
        y += used.height() + 6;
    }
}

void OnboardingSummonView::paintKeyCaps(QPainter& painter, QRectF row) {
    const QFont capFont = PrefStyle::font(24, QFont::Bold);
    const QFontMetricsF capMetrics(capFont);
    double x = row.left();
    const double top = row.top() + (row.height() - 48) / 2;
    for (const std::string& label : content_.keyCaps) {
        const double width = std::max(58.0, capMetrics.horizontalAdvance(q(label)) + 22);
        QRectF cap(x, top, width, 48);
        const double scale = 1.0 + 0.06 * pulse_;
        painter.save();
        painter.translate(cap.center());
        painter.scale(scale, scale);
        painter.translate(-cap.center());
        QPainterPath shape;
        shape.addRoundedRect(cap, 8, 8);
        Shadows::drawShadow(painter, shape, accent(0.35 * pulse_), 14, QPointF(0, 0));
        painter.setPen(QPen(white(0.18), 1));
        painter.setBrush(mix(white(0.14), accent(0.82), pulse_));
        painter.drawPath(shape);
        painter.setFont(capFont);
        painter.setPen(Qt::white);
        painter.drawText(cap, Qt::AlignCenter, q(label));
        painter.restore();
        x += width + 10;
    }
    Symbols::draw(painter, "arrow.right", QRectF(x + 4, top + 16, 16, 16), white(0.36));
    painter.setFont(PrefStyle::font(15, QFont::DemiBold));
    painter.setPen(white(0.88));
    painter.drawText(QRectF(x + 30, top, row.right() - x - 30, 48),
                     Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, q(content_.summonText));
}

void OnboardingSummonView::paintNote(QPainter& painter) {
    painter.setFont(PrefStyle::font(12));
    if (!status_.empty())
        painter.setPen(statusIsError_ ? QColor(255, 150, 120) : white(0.8));
    else
        painter.setPen(white(0.56));
    painter.drawText(kNote, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                     q(status_.empty() ? content_.note : status_));
}

}  // namespace vantlo
