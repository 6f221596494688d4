#pragma once
// Soft drop shadows and glows for painted shapes: the shape's alpha, blurred with a radius in
// logical points, tinted and drawn offset under the shape.

#include <QColor>
#include <QPainterPath>
#include <QPointF>

class QPainter;

#include <QImage>

namespace vantlo::Shadows {

// A rendered shadow: the tinted, blurred silhouette and where its top-left corner goes.
struct Rendered {
    QImage image;  // may be coarser than the device: drawing scales it to `size`
    QPointF origin;
    QSizeF size;                 // logical points
    qreal devicePixelRatio = 1;  // of the device it was rendered for
    bool isNull() const { return image.isNull(); }
};

// Renders once what `drawShadow` draws, for shapes that are drawn again unchanged.
Rendered render(const QPainterPath& shape, const QColor& color, qreal radius,
                qreal devicePixelRatio, qreal strokeWidth = 0);
void draw(QPainter& painter, const Rendered& shadow, QPointF offset = {});

// Draws the blurred silhouette of `shape` filled (or stroked with `strokeWidth` > 0) in `color`,
// moved by `offset`.
void drawShadow(QPainter& painter, const QPainterPath& shape, const QColor& color, qreal radius,
                QPointF offset = {}, qreal strokeWidth = 0);

}  // namespace vantlo::Shadows
