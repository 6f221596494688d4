#include "ui/common/IconProvider.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QBuffer>
#include <QIcon>
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

ImageRef themeImage(const std::string& name) {
    auto image = std::make_shared<Image>();
    image->iconName = name;
    return image;
}

// Theme-named icons are found and read off the main thread as well, in the toolkit's theme and
// search folders; a FIFO put in the theme is passed over for the next theme's regular file.
TEST(IconProvider, ThemeNamedIconsAreResolvedAndReadInTheBackground) {
    testing::qtApplication();
    FakePlatform fake;
    TemporaryFolder folder;
    const std::string icons = folder.file("icons");
    fs::create_directories(icons + "/Chosen/48x48/apps");
    fs::create_directories(icons + "/hicolor/48x48/apps");
    const std::string index = "[Icon Theme]\nDirectories=48x48/apps\n\n[48x48/apps]\nSize=48\n";
    TemporaryFolder::write(icons + "/Chosen/index.theme", index + "Inherits=hicolor\n");
    TemporaryFolder::write(icons + "/hicolor/index.theme", index);
    ASSERT_EQ(::mkfifo((icons + "/Chosen/48x48/apps/mail.png").c_str(), 0600), 0);
    TemporaryFolder::write(icons + "/hicolor/48x48/apps/mail.png", pngBytes(Qt::blue));
    TemporaryFolder::write(icons + "/Chosen/48x48/apps/editor.png", pngBytes(Qt::green));

    const QStringList searchPaths = QIcon::themeSearchPaths();
    const QString themeName = QIcon::themeName();
    QIcon::setThemeSearchPaths({QString::fromStdString(icons)});
    QIcon::setThemeName(QStringLiteral("Chosen"));
    auto& provider = IconProvider::shared();
    provider.clear();
    int arrivals = 0;
    auto subscription = provider.whenImagesArrive([&] { ++arrivals; });
    for (const char* name : {"mail", "editor", "absent"})
        EXPECT_TRUE(provider.pixmap(themeImage(name), 48, 1).isNull())
            << name << ": nothing is looked up while painting";
    ASSERT_TRUE(testing::runEventsUntil([&] { return arrivals == 3; })) << arrivals;
    EXPECT_EQ(provider.pixmap(themeImage("mail"), 48, 1).toImage().pixelColor(24, 24),
              QColor(Qt::blue));
    EXPECT_EQ(provider.pixmap(themeImage("editor"), 48, 1).toImage().pixelColor(24, 24),
              QColor(Qt::green));
    EXPECT_TRUE(provider.pixmap(themeImage("absent"), 48, 1).isNull());
    EXPECT_EQ(arrivals, 3) << "answers are cached, misses included";

    QIcon::setThemeSearchPaths(searchPaths);
    QIcon::setThemeName(themeName);
    provider.clear();
}

}  // namespace
}  // namespace vantlo
