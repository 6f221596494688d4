#include "ui/common/Symbols.h"

#include <QPainter>
#include <QPainterPathStroker>
#include <QTransform>
#include <functional>
#include <map>
#include <mutex>
#include <string>

namespace vantlo {
namespace {

// Stroke width on the 24-point grid for each weight.
double strokeWidth(SymbolWeight weight) {
    switch (weight) {
        case SymbolWeight::regular:
            return 1.7;
        case SymbolWeight::medium:
            return 2.0;
        case SymbolWeight::semibold:
            return 2.3;
        case SymbolWeight::bold:
            return 2.7;
    }
    return 1.7;
}

QPainterPath stroked(const QPainterPath& centreLine, double width) {
    QPainterPathStroker stroker;
    stroker.setWidth(width);
    stroker.setCapStyle(Qt::RoundCap);
    stroker.setJoinStyle(Qt::RoundJoin);
    return stroker.createStroke(centreLine).simplified();
}

QPainterPath polyline(std::initializer_list<QPointF> points) {
    QPainterPath path;
    bool first = true;
    for (const QPointF& p : points) {
        if (first)
            path.moveTo(p);
        else
            path.lineTo(p);
        first = false;
    }
    return path;
}

QPainterPath circle(QPointF centre, double radius) {
    QPainterPath path;
    path.addEllipse(centre, radius, radius);
    return path;
}

QPainterPath xmark(double inset) {
    QPainterPath path = polyline({{inset, inset}, {24 - inset, 24 - inset}});
    path.addPath(polyline({{24 - inset, inset}, {inset, 24 - inset}}));
    return path;
}

QPainterPath magnifyingGlass(double w) {
    QPainterPath line = circle({10.2, 10.2}, 6.6);
    line.addPath(polyline({{15.1, 15.1}, {20.6, 20.6}}));
    return stroked(line, w);
}

QPainterPath shieldOutline() {
    QPainterPath path;
    path.moveTo(12, 2.4);
    path.lineTo(19.6, 5.4);
    path.lineTo(19.6, 11.2);
    path.cubicTo(19.6, 16.1, 16.4, 19.6, 12, 21.6);
    path.cubicTo(7.6, 19.6, 4.4, 16.1, 4.4, 11.2);
    path.lineTo(4.4, 5.4);
    path.closeSubpath();
    return path;
}

QPainterPath lockShield(double w) {
    QPainterPath result = stroked(shieldOutline(), w);
    QPainterPath body;
    body.addRoundedRect(QRectF(8.6, 11.2, 6.8, 5.4), 1.1, 1.1);
    QPainterPath shackle;
    shackle.moveTo(10.1, 11.4);
    shackle.lineTo(10.1, 9.9);
    shackle.arcTo(QRectF(10.1, 7.9, 3.8, 4.0), 180, -180);
    shackle.lineTo(13.9, 11.4);
    result = result.united(body).united(stroked(shackle, w * 0.75));
    return result;
}

QPainterPath sparklesRectangleStack(double w) {
    QPainterPath back;
    back.addRoundedRect(QRectF(5.5, 3.2, 13, 2.2), 1.1, 1.1);
    QPainterPath middle;
    middle.addRoundedRect(QRectF(3.9, 6.4, 16.2, 2.2), 1.1, 1.1);
    QPainterPath front;
    front.addRoundedRect(QRectF(2.6, 10.2, 18.8, 11.0), 2.6, 2.6);
    QPainterPath result = back.united(middle).united(stroked(front, w));
    // A four-pointed sparkle inside the front card.
    QPainterPath star;
    const QPointF c(12, 15.7);
    const double r = 3.6, k = 0.9;
    star.moveTo(c.x(), c.y() - r);
    star.quadTo(c.x() + k * 0.3, c.y() - k * 0.3, c.x() + r, c.y());
    star.quadTo(c.x() + k * 0.3, c.y() + k * 0.3, c.x(), c.y() + r);
    star.quadTo(c.x() - k * 0.3, c.y() + k * 0.3, c.x() - r, c.y());
    star.quadTo(c.x() - k * 0.3, c.y() - k * 0.3, c.x(), c.y() - r);
    star.closeSubpath();
    return result.united(star);
}

QPainterPath roundedBox(const QRectF& box, double radius) {
    QPainterPath path;
    path.addRoundedRect(box, radius, radius);
    return path;
}

QPainterPath checkLine() {
    return polyline({{7.8, 12.4}, {10.8, 15.3}, {16.4, 8.9}});
}

QPainterPath gearshape(double w) {
    QPainterPath teeth;
    for (int i = 0; i < 8; ++i) {
        QTransform turn;
        turn.translate(12, 12);
        turn.rotate(i * 45.0);
        teeth.addPath(turn.map(roundedBox(QRectF(-1.9, -10.4, 3.8, 4.4), 1.0)));
    }
    // The hub is a hole as wide as the stroke weight suggests.
    return circle({12, 12}, 7.2).united(teeth).subtracted(circle({12, 12}, 1.6 + w * 0.6));
}

QPainterPath keyboard(double w) {
    QPainterPath result = stroked(roundedBox(QRectF(2.2, 6.2, 19.6, 11.6), 2.2), w);
    for (int row = 0; row < 2; ++row) {
        for (int column = 0; column < 5; ++column)
            result.addPath(roundedBox(QRectF(4.9 + column * 3.0, 8.7 + row * 2.8, 1.8, 1.6), 0.4));
    }
    result.addPath(roundedBox(QRectF(7.6, 14.3, 8.8, 1.6), 0.6));
    return result;
}

QPainterPath paintbrush(double w) {
    QPainterPath handle = polyline({{20.2, 3.8}, {11.6, 12.6}});
    QPainterPath result = stroked(handle, w * 1.3);
    QPainterPath tip;
    tip.moveTo(10.2, 12.4);
    tip.cubicTo(12.6, 12.6, 13.0, 15.4, 11.0, 17.2);
    tip.cubicTo(8.8, 19.2, 5.6, 19.6, 3.6, 19.2);
    tip.cubicTo(5.2, 17.8, 5.0, 16.6, 5.6, 14.8);
    tip.cubicTo(6.3, 12.9, 8.3, 12.2, 10.2, 12.4);
    tip.closeSubpath();
    return result.united(tip);
}

QPainterPath bubbles(double w) {
    QPainterPath back = roundedBox(QRectF(2.6, 3.4, 12.6, 9.0), 3.2);
    back.addPath(polyline({{5.4, 12.2}, {4.4, 15.4}, {8.4, 12.4}}));
    QPainterPath front = roundedBox(QRectF(9.4, 9.2, 12.0, 8.6), 3.0);
    front.addPath(polyline({{18.6, 17.6}, {19.8, 20.6}, {15.6, 17.8}}));
    return stroked(back, w).united(stroked(front, w));
}

QPainterPath docOnDoc(double w) {
    QPainterPath back = polyline({{8.2, 4.6}, {8.2, 3.8}, {18.6, 3.8}, {18.6, 16.4}, {17.8, 16.4}});
    return stroked(back, w).united(stroked(roundedBox(QRectF(4.6, 7.2, 10.6, 13.4), 1.8), w));
}

QPainterPath arrowUpRightSquare(double w) {
    QPainterPath line = roundedBox(QRectF(3.6, 3.6, 16.8, 16.8), 3.2);
    line.addPath(polyline({{9.0, 15.0}, {15.2, 8.8}}));
    line.addPath(polyline({{10.2, 8.8}, {15.2, 8.8}, {15.2, 13.8}}));
    return stroked(line, w);
}

QPainterPath triangleFill(double w) {
    QPainterPath triangle;
    triangle.moveTo(12, 2.8);
    triangle.lineTo(22.0, 20.4);
    triangle.lineTo(2.0, 20.4);
    triangle.closeSubpath();
    QPainterPath rounded = stroked(triangle, 2.2).united(triangle);
    QPainterPath mark = stroked(polyline({{12, 8.6}, {12, 13.6}}), w);
    mark.addPath(circle({12, 17.0}, 1.25));
    return rounded.subtracted(mark);
}

QPainterPath infoCircleFill(double w) {
    QPainterPath mark = stroked(polyline({{12, 11.0}, {12, 17.0}}), w);
    mark.addPath(circle({12, 7.4}, 1.3));
    return circle({12, 12}, 10.4).subtracted(mark);
}

QPainterPath nosign(double w) {
    QPainterPath line = circle({12, 12}, 8.8);
    line.addPath(polyline({{5.8, 5.8}, {18.2, 18.2}}));
    return stroked(line, w);
}

using Builder = std::function<QPainterPath(double)>;

const std::map<std::string, Builder, std::less<>>& builders() {
    static const std::map<std::string, Builder, std::less<>> table = {
        {"magnifyingglass", magnifyingGlass},
        {"chevron.left",
         [](double w) {
             return stroked(polyline({{15, 4.8}, {8, 12}, {15, 19.2}}), w);
         }},
        {"chevron.right",
         [](double w) {
             return stroked(polyline({{9, 4.8}, {16, 12}, {9, 19.2}}), w);
         }},
        {"chevron.down",
         [](double w) {
             return stroked(polyline({{4.8, 8.8}, {12, 16}, {19.2, 8.8}}), w);
         }},
        {"chevron.up",
         [](double w) {
             return stroked(polyline({{4.8, 15.2}, {12, 8}, {19.2, 15.2}}), w);
         }},
        {"xmark", [](double w) { return stroked(xmark(5.5), w); }},
        {"xmark.circle",
         [](double w) {
             QPainterPath line = circle({12, 12}, 9.6);
             line.addPath(xmark(8.6));
             return stroked(line, w);
         }},
        {"xmark.circle.fill",
         [](double w) {
             return circle({12, 12}, 10.4).subtracted(stroked(xmark(8.4), w * 1.05));
         }},
        {"lock.shield", lockShield},
        {"checkmark.circle",
         [](double w) {
             QPainterPath line = circle({12, 12}, 9.6);
             line.addPath(polyline({{7.8, 12.4}, {10.8, 15.3}, {16.4, 8.9}}));
             return stroked(line, w);
         }},
        {"arrow.right",
         [](double w) {
             QPainterPath line = polyline({{3.8, 12}, {20, 12}});
             line.addPath(polyline({{13.6, 5.6}, {20, 12}, {13.6, 18.4}}));
             return stroked(line, w);
         }},
        {"sparkles.rectangle.stack", sparklesRectangleStack},
        {"circle.fill",
         [](double) {
             return circle({12, 12}, 10);
         }},
        {"checkmark",
         [](double w) {
             return stroked(polyline({{5.2, 12.6}, {9.8, 17.0}, {18.8, 6.8}}), w);
         }},
        {"checkmark.circle.fill",
         [](double w) {
             return circle({12, 12}, 10.4).subtracted(stroked(checkLine(), w * 1.1));
         }},
        {"exclamationmark.triangle.fill", triangleFill},
        {"info.circle.fill", infoCircleFill},
        {"gearshape", gearshape},
        {"keyboard", keyboard},
        {"paintbrush", paintbrush},
        {"nosign", nosign},
        {"bubble.left.and.bubble.right", bubbles},
        {"doc.on.doc", docOnDoc},
        {"arrow.up.right.square", arrowUpRightSquare},
    };
    return table;
}

// A symbol's design, built once per weight: stroking and the boolean operations cost more than
// filling, and every row of the panel draws its close symbol on every frame.
QPainterPath designPath(const std::string& name, const Builder& build, SymbolWeight weight) {
    static std::mutex mutex;
    static std::map<std::pair<std::string, SymbolWeight>, QPainterPath> built;
    std::lock_guard lock(mutex);
    auto key = std::make_pair(name, weight);
    auto found = built.find(key);
    if (found == built.end())
        found = built.emplace(key, build(strokeWidth(weight))).first;
    return found->second;
}

}  // namespace

const std::vector<std::string_view>& Symbols::names() {
    static const std::vector<std::string_view> list = [] {
        std::vector<std::string_view> result;
        for (const auto& entry : builders())
            result.push_back(entry.first);
        return result;
    }();
    return list;
}

bool Symbols::has(std::string_view name) {
    return builders().find(name) != builders().end();
}

QPainterPath Symbols::path(std::string_view name, const QRectF& box, SymbolWeight weight) {
    auto found = builders().find(name);
    if (found == builders().end() || box.isEmpty())
        return {};
    const QPainterPath design = designPath(found->first, found->second, weight);
    const double side = std::min(box.width(), box.height());
    const double scale = side / 24.0;
    QTransform transform;
    transform.translate(box.center().x() - 12 * scale, box.center().y() - 12 * scale);
    transform.scale(scale, scale);
    return transform.map(design);
}

void Symbols::draw(QPainter& painter, std::string_view name, const QRectF& box, const QColor& color,
                   SymbolWeight weight) {
    QPainterPath shape = path(name, box, weight);
    if (shape.isEmpty())
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    painter.drawPath(shape);
    painter.restore();
}

}  // namespace vantlo
