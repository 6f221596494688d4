#include "ui/common/IconProvider.h"

#include <QIcon>
#include <QImage>
#include <QImageReader>
#include <QPainter>

namespace vantlo {
namespace {

QString cacheKey(const Image& image, int pixelSide) {
    QString source;
    if (!image.iconName.empty())
        source = QStringLiteral("theme:") + QString::fromStdString(image.iconName);
    else if (!image.filePath.empty())
        source = QStringLiteral("file:") + QString::fromStdString(image.filePath);
    else
        source = QStringLiteral("pixels:%1").arg(reinterpret_cast<quintptr>(&image));
    return source + QLatin1Char('@') + QString::number(pixelSide);
}

// Scales into a square, centred, keeping the aspect ratio.
QPixmap fitSquare(const QImage& source, int pixelSide) {
    if (source.isNull())
        return {};
    QImage scaled =
        source.scaled(pixelSide, pixelSide, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    QImage square(pixelSide, pixelSide, QImage::Format_ARGB32_Premultiplied);
    square.fill(Qt::transparent);
    QPainter painter(&square);
    painter.drawImage((pixelSide - scaled.width()) / 2, (pixelSide - scaled.height()) / 2, scaled);
    painter.end();
    return QPixmap::fromImage(square);
}

}  // namespace

IconProvider& IconProvider::shared() {
    static IconProvider provider;
    return provider;
}

QImage IconProvider::imageFromPixels(const Image& image) {
    if (!image.hasPixels() ||
        image.pixels.size() < static_cast<size_t>(image.width) * static_cast<size_t>(image.height))
        return {};
    QImage wrapped(reinterpret_cast<const uchar*>(image.pixels.data()), image.width, image.height,
                   image.width * 4, QImage::Format_ARGB32_Premultiplied);
    return wrapped.copy();  // detach from the shared pixel buffer
}

QPixmap IconProvider::pixmap(const ImageRef& image, int side, qreal devicePixelRatio) {
    if (!image || side <= 0)
        return {};
    const int pixelSide = qMax(1, qRound(side * devicePixelRatio));
    // Pixel images are keyed by address, so only references are cached.
    const bool cacheable = !image->hasPixels();
    const QString key = cacheKey(*image, pixelSide);
    if (cacheable) {
        auto found = cache_.constFind(key);
        if (found != cache_.constEnd())
            return *found;
    }
    QPixmap result = resolve(*image, pixelSide);
    if (!result.isNull())
        result.setDevicePixelRatio(devicePixelRatio);
    if (cacheable)
        cache_.insert(key, result);
    return result;
}

QPixmap IconProvider::resolve(const Image& image, int pixelSide) {
    if (image.hasPixels())
        return fitSquare(imageFromPixels(image), pixelSide);
    if (!image.filePath.empty()) {
        QImageReader reader(QString::fromStdString(image.filePath));
        const QSize size = reader.size();
        if (size.isValid() && (size.width() > pixelSide || size.height() > pixelSide))
            reader.setScaledSize(size.scaled(pixelSide, pixelSide, Qt::KeepAspectRatio));
        return fitSquare(reader.read(), pixelSide);
    }
    if (!image.iconName.empty()) {
        const QIcon icon = QIcon::fromTheme(QString::fromStdString(image.iconName));
        if (icon.isNull())
            return {};
        return fitSquare(icon.pixmap(QSize(pixelSide, pixelSide)).toImage(), pixelSide);
    }
    return {};
}

}  // namespace vantlo
