#pragma once
// Turns the platform's image references into pixmaps for painting: an icon-theme name through
// the current icon theme, an image file through Qt's readers, decoded pixels as they are. Results
// are cached per reference and size; the cache lives on the main thread.

#include <QHash>
#include <QPixmap>
#include <QString>

#include "platform/Image.h"

namespace vantlo {

class IconProvider {
  public:
    static IconProvider& shared();

    // A square pixmap of `side` logical points at `devicePixelRatio`, or a null pixmap when the
    // reference is absent or cannot be resolved.
    QPixmap pixmap(const ImageRef& image, int side, qreal devicePixelRatio);

    // Decoded pixels as an image (no caching); null when the image holds no pixels.
    static QImage imageFromPixels(const Image& image);

    void clear() { cache_.clear(); }

  private:
    QPixmap resolve(const Image& image, int pixelSide);

    QHash<QString, QPixmap> cache_;
};

}  // namespace vantlo
