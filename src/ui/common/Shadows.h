#pragma once
// Soft drop shadows and glows for painted shapes: the shape's alpha, blurred with a radius in
// logical points, tinted and drawn offset under the shape.

#include <QColor>
#include <QPainterPath>
#include <QPointF>

class QPainter;

namespace vantlo::Shadows {

// Draws the blurred silhouette of `shape` filled (or stroked with `strokeWidth` > 0) in `color`,
// moved by `offset`.
void drawShadow(QPainter& painter, const QPainterPath& shape, const QColor& color, qreal radius,
                QPointF offset = {}, qreal strokeWidth = 0);

}  // namespace vantlo::Shadows
