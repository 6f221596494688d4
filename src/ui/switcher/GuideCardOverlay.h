#pragma once
// The guide card of the first-run guide, laid over the switcher view above its search field: a
// title with "Skip", the explanation, pulsing key caps, progress dots and "Next". It fades in and
// out by itself; the pointer passes through it to the view, whose hit map holds the card's
// `buttonRect`s.

#include <QRectF>
#include <QWidget>
#include <optional>

#include "switcher/animation/Spring.h"
#include "switcher/layout/GuideCard.h"
#include "switcher/layout/SwitcherMetrics.h"

namespace vantlo {

class GuideCardOverlay : public QWidget {
  public:
    enum class Button { none, next, skip };

    GuideCardOverlay(SwitcherMetrics metrics, QWidget* parent);

    // Fades the card in with this content, or out when there is none.
    void setCard(std::optional<GuideCardContent> card);
    // Where the card's top-left corner sits and how wide it is (the height follows the texts).
    void setSlot(const QRectF& slot) { slot_ = slot; }
    void setHovered(Button button) { hovered_ = button; }

    // Whether a card is on screen, fading out included.
    bool hasCard() const { return card_.has_value(); }
    // Where a button of a card that is showing or fading in was last painted; empty when the
    // card is gone or fading out.
    QRectF buttonRect(Button button) const;
    // Lets a finished fade-out end (the overlay hides); answers whether the card still moves.
    bool animate(double now);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    void paintCard(QPainter& painter, double now);
    // Paints the key caps from `left` on the line at `top`; answers where the caps end.
    double paintKeyCaps(QPainter& painter, double left, double top, double pulse);

    SwitcherMetrics metrics_;
    std::optional<GuideCardContent> card_;
    Spring opacity_{0.0};
    QRectF slot_;
    Button hovered_ = Button::none;
    // Where the buttons were last painted.
    QRectF nextRect_, skipRect_;
};

}  // namespace vantlo
