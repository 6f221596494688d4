#include "ui/switcher/GuideCardOverlay.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

#include "ui/common/FrameTicker.h"
#include "ui/common/Shadows.h"
#include "ui/switcher/SwitcherStyle.h"

namespace vantlo {

using namespace SwitcherStyle;

namespace {

constexpr SpringParameters kFade{0.25, 1.0};
constexpr double kPadding = 12;
constexpr double kSpacing = 11;
constexpr double kPulseHalfPeriod = 0.72;
constexpr double kDotSide = 5;
constexpr double kKeyCapTextMargin = 7;

QString qs(const std::string& text) {
    return QString::fromStdString(text);
}

// A triangle wave 0 → 1 → 0 eased in and out, one way per `half` seconds: the guide's pulse.
double pulseAt(double now, double half) {
    const double phase = std::fmod(now, 2 * half) / half;
    const double x = phase <= 1 ? phase : 2 - phase;
    return x * x * (3 - 2 * x);
}

QColor mix(const QColor& from, const QColor& to, double amount) {
    auto channel = [amount](double a, double b) {
        return static_cast<float>(a + (b - a) * amount);
    };
    return QColor::fromRgbF(channel(from.redF(), to.redF()), channel(from.greenF(), to.greenF()),
                            channel(from.blueF(), to.blueF()), channel(from.alphaF(), to.alphaF()));
}

}  // namespace

GuideCardOverlay::GuideCardOverlay(SwitcherMetrics metrics, QWidget* parent)
    : QWidget(parent), metrics_(metrics) {
    // Clicks and hovers go to the view below, which puts `buttonRect`s in its hit map.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_TranslucentBackground);
    hide();
}

void GuideCardOverlay::setCard(std::optional<GuideCardContent> card) {
    const double now = FrameTicker::now();
    const bool wanted = card.has_value();
    // A card arriving while the last one fades out fades back in.
    if (wanted != (opacity_.target() > 0))
        opacity_.animateTo(wanted ? 1.0 : 0.0, kFade, now);
    if (card)
        card_ = std::move(card);
    else if (opacity_.isSettled(now))
        card_.reset();
    setVisible(card_.has_value());
    raise();
    update();
}

QRectF GuideCardOverlay::buttonRect(Button button) const {
    if (!card_ || opacity_.target() <= 0)
        return {};
    switch (button) {
        case Button::next:
            return nextRect_;
        case Button::skip:
            return skipRect_;
        case Button::none:
            break;
    }
    return {};
}

bool GuideCardOverlay::animate(double now) {
    if (card_ && opacity_.target() == 0 && opacity_.isSettled(now)) {
        card_.reset();
        hide();
    }
    return card_.has_value() || !opacity_.isSettled(now, 0.01);
}

void GuideCardOverlay::paintEvent(QPaintEvent*) {
    if (!card_)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    paintCard(painter, FrameTicker::now());
}

void GuideCardOverlay::paintCard(QPainter& painter, double now) {
    const GuideCardContent& card = *card_;
    const double opacity = std::clamp(opacity_.value(now), 0.0, 1.0);
    if (opacity <= 0.01)
        return;
    const double width = slot_.width();
    const double inner = width - 2 * kPadding;
    const QFont titleFont = SwitcherStyle::font(metrics_.cardTitleSize(), QFont::Bold);
    const QFont skipFont = SwitcherStyle::font(metrics_.cardSkipSize(), QFont::DemiBold);
    const QFont detailFont = SwitcherStyle::font(metrics_.cardDetailSize(), QFont::Normal);
    const QFont captionFont = SwitcherStyle::font(metrics_.demoCaptionSize(), QFont::Medium);
    const QFont nextFont = SwitcherStyle::font(metrics_.cardNextSize(), QFont::Bold);
    const QFontMetricsF titleMetrics(titleFont), skipMetrics(skipFont), nextMetrics(nextFont);
    const double skipWidth = skipMetrics.horizontalAdvance(qs(card.skipLabel));
    const QRectF detailBounds =
        QFontMetricsF(detailFont)
            .boundingRect(QRectF(0, 0, inner, 2000), Qt::TextWordWrap, qs(card.detail));
    const double keyLine = metrics_.demoKeyHeight() * 1.08;
    const double footerHeight = std::max(nextMetrics.height(), kDotSide);
    const double height = kPadding + titleMetrics.height() + kSpacing + detailBounds.height() +
                          (card.keys.empty() ? 0 : kSpacing + keyLine) + kSpacing + footerHeight +
                          kPadding;
    const QRectF box(slot_.left(), slot_.top(), width, height);

    painter.save();
    painter.setOpacity(opacity);
    QPainterPath background;
    background.addRoundedRect(box, 10, 10);
    Shadows::drawShadow(painter, background, QColor::fromRgbF(0, 0, 0, 0.35f), 16, QPointF(0, 8));
    painter.setPen(QPen(white(0.12), 1));
    painter.setBrush(rgb(0.08, 0.1, 0.13, 0.94));
    painter.drawPath(background);

    double y = box.top() + kPadding;
    const double left = box.left() + kPadding;
    painter.setFont(titleFont);
    painter.setPen(white(0.94));
    painter.drawText(
        QRectF(left, y, inner - skipWidth - 8, titleMetrics.height()),
        Qt::AlignLeft | Qt::AlignVCenter,
        titleMetrics.elidedText(qs(card.title), Qt::ElideRight, inner - skipWidth - 8));
    // "Skip" shares the title's baseline.
    skipRect_ = QRectF(box.right() - kPadding - skipWidth - 4,
                       y + titleMetrics.ascent() - skipMetrics.ascent() - 2, skipWidth + 8,
                       skipMetrics.height() + 4);
    painter.setFont(skipFont);
    painter.setPen(white(hovered_ == Button::skip ? 0.8 : 0.52));
    painter.drawText(skipRect_, Qt::AlignCenter, qs(card.skipLabel));
    y += titleMetrics.height() + kSpacing;

    painter.setFont(detailFont);
    painter.setPen(white(0.68));
    painter.drawText(QRectF(left, y, inner, detailBounds.height()), Qt::TextWordWrap,
                     qs(card.detail));
    y += detailBounds.height();

    if (!card.keys.empty()) {
        y += kSpacing;
        const double x = paintKeyCaps(painter, left, y, pulseAt(now, kPulseHalfPeriod));
        if (!card.caption.empty()) {
            painter.setFont(captionFont);
            painter.setPen(white(0.54));
            painter.drawText(QRectF(x + 2, y, box.right() - kPadding - x - 2, keyLine),
                             Qt::AlignLeft | Qt::AlignVCenter, qs(card.caption));
        }
        y += keyLine;
    }
    y += kSpacing;

    double dotX = left;
    for (bool lit : card.dots) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(lit ? accent() : white(0.2));
        painter.drawEllipse(QRectF(dotX, y + footerHeight / 2 - 2.5, kDotSide, kDotSide));
        dotX += 2 * kDotSide;
    }
    const double nextWidth = nextMetrics.horizontalAdvance(qs(card.nextLabel));
    nextRect_ =
        QRectF(box.right() - kPadding - nextWidth - 4, y - 2, nextWidth + 8, footerHeight + 4);
    painter.setFont(nextFont);
    painter.setPen(accent(hovered_ == Button::next ? 1.0 : 0.92));
    painter.drawText(nextRect_, Qt::AlignCenter, qs(card.nextLabel));
    painter.restore();
}

double GuideCardOverlay::paintKeyCaps(QPainter& painter, double left, double top, double pulse) {
    const QFont keyFont = SwitcherStyle::font(metrics_.demoKeyTextSize(), QFont::Bold);
    const QFontMetricsF keyMetrics(keyFont);
    const double keyHeight = metrics_.demoKeyHeight();
    double x = left;
    for (const GuideKeyCap& cap : card_->keys) {
        // A cap grows for a key written as a word ("Alt", "Return").
        const double keyWidth =
            std::max(metrics_.demoKeyWidth(), keyMetrics.horizontalAdvance(qs(cap.label)) +
                                                  2 * kKeyCapTextMargin * metrics_.scale);
        const double lit = cap.pulses ? pulse : 0.0;
        const QRectF key(x, top + keyHeight * 0.04, keyWidth, keyHeight);
        painter.save();
        const double grow = 1 + 0.08 * lit;
        painter.translate(key.center());
        painter.scale(grow, grow);
        painter.translate(-key.center());
        QPainterPath capShape;
        capShape.addRoundedRect(key, 6, 6);
        if (lit > 0.01)
            Shadows::drawShadow(painter, capShape, accent(0.26 * lit), 8);
        painter.setPen(QPen(white(0.14), 0.6));
        painter.setBrush(mix(white(0.13), accent(0.78), lit));
        painter.drawPath(capShape);
        painter.setFont(keyFont);
        painter.setPen(Qt::white);
        painter.drawText(key, Qt::AlignCenter, qs(cap.label));
        painter.restore();
        x += keyWidth + 6 * metrics_.scale;
    }
    return x;
}

}  // namespace vantlo
