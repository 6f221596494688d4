#pragma once
// Stands in for the system's image decoding and encoding.

#include <optional>

#include "platform/Image.h"
#include "platform/PropertyValue.h"

namespace vantlo {

class ImageCodec {
  public:
    virtual ~ImageCodec() = default;

    // Decodes any supported format (PNG, ICO, JPEG, GIF, SVG where available); nullptr when the
    // bytes are not a decodable image.
    virtual ImageRef decode(const Data& bytes) = 0;
    // PNG bytes of an image with pixels; nothing when it has none.
    virtual std::optional<Data> encodePng(const Image& image) = 0;
};

}  // namespace vantlo
