#include "ui/common/Symbols.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "QtTestApplication.h"

namespace vantlo {
namespace {

int inkedPixels(std::string_view name, SymbolWeight weight) {
    QImage image(64, 64, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    Symbols::draw(painter, name, QRectF(0, 0, 64, 64), Qt::white, weight);
    painter.end();
    int inked = 0;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            inked += qAlpha(image.pixel(x, y)) > 127;
    return inked;
}

TEST(Symbols, EverySymbolTheViewsNameIsDrawnInsideItsBox) {
    testing::qtApplication();
    for (const char* name :
         {"magnifyingglass", "chevron.left", "chevron.down", "xmark.circle", "xmark.circle.fill",
          "lock.shield", "checkmark.circle", "arrow.right", "sparkles.rectangle.stack"}) {
        ASSERT_TRUE(Symbols::has(name)) << name;
        const QRectF box(10, 20, 13, 13);
        const QPainterPath path = Symbols::path(name, box, SymbolWeight::semibold);
        EXPECT_FALSE(path.isEmpty()) << name;
        EXPECT_TRUE(box.adjusted(-0.5, -0.5, 0.5, 0.5).contains(path.boundingRect()))
            << name << " spills out of its box";
    }
    EXPECT_TRUE(Symbols::path("no.such.symbol", QRectF(0, 0, 10, 10)).isEmpty());
    EXPECT_TRUE(Symbols::path("magnifyingglass", QRectF()).isEmpty());
}

TEST(Symbols, HeavierWeightsDrawThickerStrokes) {
    testing::qtApplication();
    EXPECT_LT(inkedPixels("xmark.circle", SymbolWeight::regular),
              inkedPixels("xmark.circle", SymbolWeight::bold));
    // The filled circle is mostly ink; the outlined one mostly not.
    EXPECT_GT(inkedPixels("xmark.circle.fill", SymbolWeight::semibold),
              inkedPixels("xmark.circle", SymbolWeight::semibold) * 3 / 2);
}

}  // namespace
}  // namespace vantlo
