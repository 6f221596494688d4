#pragma once
// Turns the platform's image references into pixmaps for painting: an icon-theme name through
// the current icon theme, an image file through Qt's readers, decoded pixels as they are. Results
// are cached per reference and size; the cache lives on the main thread.
//
// Image files are read and decoded on a background thread, never while painting: a file that
// blocks (a FIFO named by an entry's Icon=) or is huge must not stall the main thread while the
// panel holds the keyboard. Only regular files of at most 16 MiB are read; anything else is
// skipped with one log line. Until a file's image arrives its pixmap is null; views repaint when
// told that images arrived.

#include <QHash>
#include <QPixmap>
#include <QSet>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

#include "platform/Image.h"

namespace vantlo {

class IconProvider {
  public:
    static IconProvider& shared();

    // A square pixmap of `side` logical points at `devicePixelRatio`, or a null pixmap when the
    // reference is absent, cannot be resolved or (an image file) is still being read.
    QPixmap pixmap(const ImageRef& image, int side, qreal devicePixelRatio);

    // Decoded pixels as an image (no caching); null when the image holds no pixels.
    static QImage imageFromPixels(const Image& image);
    // Reads and decodes an image file into a square of `pixelSide` pixels; any thread. Null when
    // the file is refused or cannot be decoded; `refusal` then says why a file that is there was
    // not read.
    static QImage loadImageFile(const std::string& path, int pixelSide, std::string* refusal);

    // `repaint` runs on the main thread whenever images read in the background arrive. Dropping
    // the returned handle stops the calls.
    std::shared_ptr<void> whenImagesArrive(std::function<void()> repaint);

    void clear() { cache_.clear(); }

  private:
    QPixmap resolve(const Image& image, int pixelSide);
    void startLoading(const QString& key, const std::string& path, int pixelSide,
                      qreal devicePixelRatio);
    void arrived(const QString& key, const QImage& image, qreal devicePixelRatio,
                 const std::string& path, const std::string& refusal);

    QHash<QString, QPixmap> cache_;
    QSet<QString> loading_;
    QSet<QString> loggedRefusals_;
    std::vector<std::weak_ptr<std::function<void()>>> listeners_;
};

}  // namespace vantlo
