#include "ui/common/Shadows.h"

#include <QImage>
#include <QPainter>
#include <cmath>
#include <vector>

namespace vantlo::Shadows {
namespace {

// One horizontal then vertical box-blur pass over the alpha channel of a premultiplied image.
void boxBlurAlpha(QImage& image, int radius) {
    if (radius < 1)
        return;
    const int w = image.width(), h = image.height();
    const qsizetype stride = image.bytesPerLine() / 4;
    QRgb* pixels = reinterpret_cast<QRgb*>(image.bits());
    std::vector<int> line(std::max(w, h));
    const int window = 2 * radius + 1;
    auto pass = [&](int outer, int inner, qsizetype outerStep, qsizetype innerStep) {
        for (int o = 0; o < outer; ++o) {
            QRgb* base = pixels + o * outerStep;
            for (int i = 0; i < inner; ++i)
                line[i] = qAlpha(base[i * innerStep]);
            int sum = 0;
            for (int i = 0; i <= radius && i < inner; ++i)
                sum += line[i];
            for (int i = 0; i < inner; ++i) {
                base[i * innerStep] = qRgba(0, 0, 0, sum / window);
                const int leaving = i - radius;
                const int entering = i + radius + 1;
                if (leaving >= 0)
                    sum -= line[leaving];
                if (entering < inner)
                    sum += line[entering];
            }
        }
    };
    pass(h, w, stride, 1);
    pass(w, h, 1, stride);
}

// How many device pixels one pixel of the blurred image covers. A wide blur leaves no detail that
// a coarser image would lose, and blurring the panel's shadow at full resolution took
// milliseconds before its first frame; each box pass keeps at least two pixels.
qreal reduction(qreal radius, qreal dpr) {
    const qreal spread = radius * dpr;
    return spread >= 24 ? 4 : spread >= 12 ? 2 : 1;
}

}  // namespace

Rendered render(const QPainterPath& shape, const QColor& color, qreal radius, qreal dpr,
                qreal strokeWidth) {
    if (shape.isEmpty() || color.alpha() == 0)
        return {};
    const qreal margin = radius * 2 + strokeWidth + 2;
    const QRectF bounds = shape.boundingRect().adjusted(-margin, -margin, margin, margin);
    const qreal scale = dpr / reduction(radius, dpr);
    QImage image((bounds.size() * scale).toSize(), QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return {};
    image.fill(Qt::transparent);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(scale, scale);
        p.translate(-bounds.topLeft());
        if (strokeWidth > 0) {
            p.setPen(QPen(Qt::black, strokeWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p.setBrush(Qt::NoBrush);
        } else {
            p.setPen(Qt::NoPen);
            p.setBrush(Qt::black);
        }
        p.drawPath(shape);
    }
    // Three box passes approximate a Gaussian whose spread matches the radius.
    const int box = std::max(1, static_cast<int>(std::lround(radius * scale / 3.0)));
    for (int i = 0; i < 3; ++i)
        boxBlurAlpha(image, box);
    {
        QPainter tint(&image);
        tint.setCompositionMode(QPainter::CompositionMode_SourceIn);
        tint.fillRect(image.rect(), color);
    }
    return {image, bounds.topLeft(), bounds.size(), dpr};
}

void draw(QPainter& painter, const Rendered& shadow, QPointF offset) {
    if (shadow.isNull())
        return;
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRectF(shadow.origin + offset, shadow.size), shadow.image,
                      QRectF(shadow.image.rect()));
    painter.restore();
}

void drawShadow(QPainter& painter, const QPainterPath& shape, const QColor& color, qreal radius,
                QPointF offset, qreal strokeWidth) {
    const qreal dpr = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    draw(painter, render(shape, color, radius, dpr, strokeWidth), offset);
}

}  // namespace vantlo::Shadows
