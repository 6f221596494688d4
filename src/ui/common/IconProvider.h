#pragma once
// Turns the platform's image references into pixmaps for painting: an icon-theme name through
// the current icon theme, an image file through Qt's readers, decoded pixels as they are. Results
// are cached per reference and size; the cache lives on the main thread.
//
// Icon-theme names are resolved to files (IconThemeLookup, after the toolkit's theme and search
// folders) and image files are read and decoded on a background thread, never while painting: a
// file that blocks (a FIFO named by an entry's Icon= or put in a theme folder) or is huge must
// not stall the main thread while the panel holds the keyboard. Only regular files of at most
// 16 MiB are read; anything else is skipped with one log line. Until an image arrives its pixmap
// is null; views repaint when told that images arrived.

#include <QHash>
#include <QPixmap>
#include <QSet>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

#include "platform/Image.h"
#include "platform/posix/IconThemeLookup.h"

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

    // Forgets every image and the icon theme (read again from the toolkit on the next use).
    void clear();

  private:
    // The icon theme as the toolkit has it set up; made on the main thread on first use.
    std::shared_ptr<const IconThemeLookup> themes();
    void startLoading(const QString& key, const Image& reference, int pixelSide,
                      qreal devicePixelRatio);
    void arrived(const QString& key, const QImage& image, qreal devicePixelRatio,
                 const std::string& path, const std::string& refusal);

    std::shared_ptr<const IconThemeLookup> themes_;
    QHash<QString, QPixmap> cache_;
    QSet<QString> loading_;
    QSet<QString> loggedRefusals_;
    std::vector<std::weak_ptr<std::function<void()>>> listeners_;
};

}  // namespace vantlo
