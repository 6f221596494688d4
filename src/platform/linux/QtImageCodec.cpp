#include "platform/linux/QtImageCodec.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>
#include <cstring>

namespace vantlo {

ImageRef QtImageCodec::decode(const Data& bytes) {
    if (bytes.bytes.empty())
        return nullptr;
    // Qt reads the bytes in place; they outlive the reader.
    QByteArray raw = QByteArray::fromRawData(reinterpret_cast<const char*>(bytes.bytes.data()),
                                             static_cast<qsizetype>(bytes.bytes.size()));
    QBuffer buffer(&raw);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    QSize size = reader.size();
    if (size.isValid() && (size.width() > kMaxSide || size.height() > kMaxSide))
        return nullptr;
    QImage decoded = reader.read();
    if (decoded.isNull() || decoded.width() > kMaxSide || decoded.height() > kMaxSide)
        return nullptr;
    QImage argb = decoded.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    auto image = std::make_shared<Image>();
    image->width = argb.width();
    image->height = argb.height();
    image->pixels.resize(static_cast<std::size_t>(argb.width()) * argb.height());
    for (int y = 0; y < argb.height(); ++y) {
        std::memcpy(image->pixels.data() + static_cast<std::size_t>(y) * argb.width(),
                    argb.constScanLine(y), static_cast<std::size_t>(argb.width()) * 4);
    }
    return image;
}

std::optional<Data> QtImageCodec::encodePng(const Image& image) {
    if (!image.hasPixels() ||
        image.pixels.size() != static_cast<std::size_t>(image.width) * image.height) {
        return std::nullopt;
    }
    QImage pixels(reinterpret_cast<const uchar*>(image.pixels.data()), image.width, image.height,
                  image.width * 4, QImage::Format_ARGB32_Premultiplied);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!pixels.save(&buffer, "PNG"))
        return std::nullopt;
    Data data;
    data.bytes.assign(png.begin(), png.end());
    return data;
}

}  // namespace vantlo
