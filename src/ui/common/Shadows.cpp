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
    std::vector<int> line(std::max(w, h));
    auto pass = [&](bool horizontal) {
        const int outer = horizontal ? h : w;
        const int inner = horizontal ? w : h;
        for (int o = 0; o < outer; ++o) {
            auto pixel = [&](int i) -> QRgb& {
                return horizontal ? reinterpret_cast<QRgb*>(image.scanLine(o))[i]
                                  : reinterpret_cast<QRgb*>(image.scanLine(i))[o];
            };
            for (int i = 0; i < inner; ++i)
                line[i] = qAlpha(pixel(i));
            int sum = 0;
            const int window = 2 * radius + 1;
            for (int i = -radius; i <= radius; ++i)
                sum += (i >= 0 && i < inner) ? line[i] : 0;
            for (int i = 0; i < inner; ++i) {
                const int a = sum / window;
                pixel(i) = qRgba(0, 0, 0, a);
                const int leaving = i - radius;
                const int entering = i + radius + 1;
                sum -= (leaving >= 0) ? line[leaving] : 0;
                sum += (entering < inner) ? line[entering] : 0;
            }
        }
    };
    pass(true);
    pass(false);
}

}  // namespace

void drawShadow(QPainter& painter, const QPainterPath& shape, const QColor& color, qreal radius,
                QPointF offset, qreal strokeWidth) {
    if (shape.isEmpty() || color.alpha() == 0)
        return;
    const qreal dpr = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    const qreal margin = radius * 2 + strokeWidth + 2;
    const QRectF bounds = shape.boundingRect().adjusted(-margin, -margin, margin, margin);
    QImage image((bounds.size() * dpr).toSize(), QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return;
    image.fill(Qt::transparent);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(dpr, dpr);
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
    const int box = std::max(1, static_cast<int>(std::lround(radius * dpr / 3.0)));
    for (int i = 0; i < 3; ++i)
        boxBlurAlpha(image, box);
    {
        QPainter tint(&image);
        tint.setCompositionMode(QPainter::CompositionMode_SourceIn);
        tint.fillRect(image.rect(), color);
    }
    image.setDevicePixelRatio(dpr);
    painter.drawImage(bounds.topLeft() + offset, image);
}

}  // namespace vantlo::Shadows
