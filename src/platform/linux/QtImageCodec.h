#pragma once
// Image decoding and PNG encoding on Linux through Qt's image readers (PNG, ICO, JPEG, GIF, BMP
// and SVG where the plugins are installed). Oversized images are refused rather than decoded:
// page icons come from the network, and a few bytes can claim billions of pixels.

#include "platform/ImageCodec.h"

namespace vantlo {

class QtImageCodec : public ImageCodec {
  public:
    // Larger images, in either direction, are not decoded.
    static constexpr int kMaxSide = 4096;

    ImageRef decode(const Data& bytes) override;
    std::optional<Data> encodePng(const Image& image) override;
};

}  // namespace vantlo
