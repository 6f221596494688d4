#include "ui/common/IconProvider.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QBuffer>
#include <QImage>
#include <algorithm>
#include <filesystem>

#include "QtTestApplication.h"
#include "support/TemporaryFolder.h"
#include "testing/FakePlatform.h"

namespace vantlo {
namespace {

namespace fs = std::filesystem;
using testing::TemporaryFolder;

ImageRef fileImage(const std::string& path) {
    auto image = std::make_shared<Image>();
    image->filePath = path;
    return image;
}

std::string pngBytes(QColor colour) {
    QImage image(64, 32, QImage::Format_ARGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes.toStdString();
}

// Icon= naming a FIFO must not stall painting: files are read off the main thread, and only
// regular files are read at all.
TEST(IconProvider, ImageFilesArriveFromTheBackgroundAndSpecialFilesAreSkipped) {
    testing::qtApplication();
    FakePlatform fake;
    TemporaryFolder folder;
    auto png = folder.file("icon.png");
    TemporaryFolder::write(png, pngBytes(Qt::red));
    auto fifo = folder.file("fifo.png");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    auto zero = folder.file("zero.png");
    fs::create_symlink("/dev/zero", zero);

    auto& provider = IconProvider::shared();
    provider.clear();
    int arrivals = 0;
    auto subscription = provider.whenImagesArrive([&] { ++arrivals; });
    for (const auto& path : {png, fifo, zero})
        EXPECT_TRUE(provider.pixmap(fileImage(path), 16, 2).isNull())
            << path << ": nothing is read while painting";
    ASSERT_TRUE(testing::runEventsUntil([&] { return arrivals == 3; })) << arrivals;

    QPixmap icon = provider.pixmap(fileImage(png), 16, 2);
    ASSERT_FALSE(icon.isNull());
    EXPECT_EQ(icon.size(), QSize(32, 32)) << "16 points at twice the density";
    EXPECT_EQ(icon.devicePixelRatio(), 2);
    EXPECT_EQ(icon.toImage().pixelColor(16, 16), QColor(Qt::red));
    EXPECT_EQ(icon.toImage().pixelColor(16, 2).alpha(), 0) << "centred, aspect kept";
    EXPECT_TRUE(provider.pixmap(fileImage(fifo), 16, 2).isNull());
    EXPECT_TRUE(provider.pixmap(fileImage(zero), 16, 2).isNull());
    auto lines = fake.log->lines();
    std::sort(lines.begin(), lines.end());  // the two arrive in either order
    EXPECT_EQ(
        lines,
        (std::vector<std::string>{
            "[Vantlo] Skipped the icon " + fifo + ": it is a FIFO, not a regular file.",
            "[Vantlo] Skipped the icon " + zero + ": it is a character device, not a regular file.",
        }));

    // Cached, refusals included: no second reading, no second log line.
    provider.pixmap(fileImage(fifo), 16, 2);
    EXPECT_EQ(arrivals, 3);
    subscription.reset();
    provider.pixmap(fileImage(png), 24, 1);
    ASSERT_TRUE(
        testing::runEventsUntil([&] { return !provider.pixmap(fileImage(png), 24, 1).isNull(); }));
    EXPECT_EQ(arrivals, 3) << "a dropped handle is not called";
    provider.clear();
}

}  // namespace
}  // namespace vantlo
