#include "ui/common/IconProvider.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QIcon>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QStringList>
#include <QThreadPool>

#include "platform/Platform.h"
#include "platform/posix/RegularFile.h"

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

// Scales into a square, centred, keeping the aspect ratio. Any thread.
QImage fitSquareImage(const QImage& source, int pixelSide) {
    if (source.isNull())
        return {};
    QImage scaled =
        source.scaled(pixelSide, pixelSide, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    QImage square(pixelSide, pixelSide, QImage::Format_ARGB32_Premultiplied);
    square.fill(Qt::transparent);
    QPainter painter(&square);
    painter.drawImage((pixelSide - scaled.width()) / 2, (pixelSide - scaled.height()) / 2, scaled);
    painter.end();
    return square;
}

QPixmap fitSquare(const QImage& source, int pixelSide) {
    QImage square = fitSquareImage(source, pixelSide);
    return square.isNull() ? QPixmap() : QPixmap::fromImage(square);
}

std::vector<std::string> localFolders(const QStringList& folders) {
    std::vector<std::string> result;
    for (const QString& folder : folders) {
        // Qt's resource paths (":/icons") hold no files a background reader could open.
        if (!folder.isEmpty() && !folder.startsWith(QLatin1Char(':')))
            result.push_back(folder.toStdString());
    }
    return result;
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

QImage IconProvider::loadImageFile(const std::string& path, int pixelSide, std::string* refusal) {
    auto file = RegularFile::read(path, RegularFile::kIconLimit);
    if (!file.ok()) {
        if (refusal && file.status != RegularFile::Status::missing)
            *refusal = file.failure();
        return {};
    }
    QByteArray bytes = QByteArray::fromStdString(file.contents);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QSize size = reader.size();
    if (size.isValid() && (size.width() > pixelSide || size.height() > pixelSide))
        reader.setScaledSize(size.scaled(pixelSide, pixelSide, Qt::KeepAspectRatio));
    return fitSquareImage(reader.read(), pixelSide);
}

std::shared_ptr<void> IconProvider::whenImagesArrive(std::function<void()> repaint) {
    auto listener = std::make_shared<std::function<void()>>(std::move(repaint));
    std::erase_if(listeners_, [](const auto& weak) { return weak.expired(); });
    listeners_.push_back(listener);
    return listener;
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
    if (cacheable) {
        startLoading(key, *image, pixelSide, devicePixelRatio);
        return {};
    }
    QPixmap result = fitSquare(imageFromPixels(*image), pixelSide);
    if (!result.isNull())
        result.setDevicePixelRatio(devicePixelRatio);
    return result;
}

void IconProvider::clear() {
    cache_.clear();
    themes_.reset();
}

std::shared_ptr<const IconThemeLookup> IconProvider::themes() {
    if (!themes_) {
        IconThemeLookup::Setup setup;
        setup.themeName = QIcon::themeName().toStdString();
        setup.themeFolders = localFolders(QIcon::themeSearchPaths());
        setup.fallbackFolders = localFolders(QIcon::fallbackSearchPaths());
        if (setup.fallbackFolders.empty())
            setup.fallbackFolders.push_back("/usr/share/pixmaps");
        themes_ = std::make_shared<const IconThemeLookup>(std::move(setup));
    }
    return themes_;
}

void IconProvider::startLoading(const QString& key, const Image& reference, int pixelSide,
                                qreal devicePixelRatio) {
    if (loading_.contains(key))
        return;
    loading_.insert(key);
    std::shared_ptr<const IconThemeLookup> themes =
        reference.iconName.empty() ? nullptr : this->themes();
    QThreadPool::globalInstance()->start([this, key, name = reference.iconName,
                                          path = reference.filePath, themes, pixelSide,
                                          devicePixelRatio]() mutable {
        if (themes) {
            // A name the themes lack falls back to the file the reference names, if any.
            if (auto found = themes->find(name, pixelSide))
                path = *found;
        }
        std::string refusal;
        QImage image = path.empty() ? QImage() : loadImageFile(path, pixelSide, &refusal);
        auto* application = QCoreApplication::instance();
        if (!application)
            return;  // quitting: nobody is left to paint it
        QMetaObject::invokeMethod(
            application,
            [this, key, image, devicePixelRatio, path, refusal] {
                arrived(key, image, devicePixelRatio, path, refusal);
            },
            Qt::QueuedConnection);
    });
}

void IconProvider::arrived(const QString& key, const QImage& image, qreal devicePixelRatio,
                           const std::string& path, const std::string& refusal) {
    loading_.remove(key);
    QPixmap pixmap = image.isNull() ? QPixmap() : QPixmap::fromImage(image);
    if (!pixmap.isNull())
        pixmap.setDevicePixelRatio(devicePixelRatio);
    cache_.insert(key, pixmap);
    const QString refused = QString::fromStdString(path);
    if (!refusal.empty() && !loggedRefusals_.contains(refused) && hasPlatform() && platform().log) {
        loggedRefusals_.insert(refused);
        platform().log->write("[Vantlo] Skipped the icon " + path + ": it " + refusal + ".");
    }
    // Copies: a listener may drop its own handle or add another while being called.
    auto listeners = listeners_;
    for (const auto& weak : listeners) {
        if (auto listener = weak.lock())
            (*listener)();
    }
}

}  // namespace vantlo
