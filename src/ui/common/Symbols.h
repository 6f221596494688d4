#pragma once
// Vantlo's own vector symbols ("magnifyingglass", "chevron.left", "xmark.circle", …), drawn from
// paths so they are crisp at every size and look the same on every desktop, whatever icon theme
// it uses. Each symbol is designed on a 24 × 24 grid and comes out as one fill path.

#include <QColor>
#include <QPainterPath>
#include <QRectF>
#include <string_view>
#include <vector>

class QPainter;

namespace vantlo {

enum class SymbolWeight { regular, medium, semibold, bold };

namespace Symbols {

// The names this set can draw.
const std::vector<std::string_view>& names();
bool has(std::string_view name);

// The symbol as a fill path fitted into `box` (centred, aspect kept). An unknown name gives an
// empty path.
QPainterPath path(std::string_view name, const QRectF& box,
                  SymbolWeight weight = SymbolWeight::regular);

// Fills the symbol in `color`, antialiased.
void draw(QPainter& painter, std::string_view name, const QRectF& box, const QColor& color,
          SymbolWeight weight = SymbolWeight::regular);

}  // namespace Symbols
}  // namespace vantlo
