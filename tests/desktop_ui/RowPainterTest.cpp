#include "ui/switcher/RowPainter.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "QtTestApplication.h"
#include "switcher/ShowcaseDesktop.h"
#include "testing/FakePlatform.h"

namespace vantlo {
namespace {

// The count badge of a group row, painted part way into its hover look.
TEST(RowPainter, CountBadgeEasesBetweenRestAndHoverLooks) {
    testing::qtApplication();
    FakePlatform fake;
    std::optional<SwitchItem> group;
    for (const auto& item : ShowcaseDesktop::defaultVisibleItems()) {
        if (item.groupCount() && !group)
            group = item;
    }
    ASSERT_TRUE(group) << "the fixtures hold a group row";
    const RowPainter painter{SwitcherMetrics{}};
    const QRectF row(0, 0, 330, 48);

    auto badgeColour = [&](double hover) {
        RowPaintState state;
        state.badgeHover = hover;
        const RowGeometry g = painter.layout(*group, row, state);
        EXPECT_FALSE(g.badge.isEmpty());
        QImage image(330, 48, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::black);
        QPainter p(&image);
        painter.paint(p, *group, row, state);
        p.end();
        // Just inside the badge's left end, past the text's reach, inside the capsule.
        return image.pixelColor(QPoint(int(g.badge.left() + 3), int(g.badge.center().y())));
    };
    const QColor rest = badgeColour(0.0);
    const QColor halfway = badgeColour(0.5);
    const QColor lit = badgeColour(1.0);
    EXPECT_LT(rest.blue(), halfway.blue()) << "the accent comes in gradually";
    EXPECT_LT(halfway.blue(), lit.blue());
    EXPECT_GT(lit.blue(), lit.red()) << "the hover look is the accent colour";
}

}  // namespace
}  // namespace vantlo
