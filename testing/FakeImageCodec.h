#pragma once
// Image decoding by signature only: bytes that start like a PNG, ICO, GIF, JPEG or SVG file decode
// to a 16x16 image (pixels derived from the bytes, so different files differ); anything else does
// not decode. Encoding writes the PNG signature followed by the size and pixels.

#include <cstring>

#include "platform/ImageCodec.h"

namespace vantlo {

class FakeImageCodec : public ImageCodec {
  public:
    ImageRef decode(const Data& bytes) override {
        if (!looksLikeImage(bytes.bytes))
            return nullptr;
        std::uint32_t seed = 2166136261u;
        for (auto byte : bytes.bytes)
            seed = (seed ^ byte) * 16777619u;
        auto image = std::make_shared<Image>();
        image->width = 16;
        image->height = 16;
        image->pixels.assign(256, 0xFF000000u | (seed & 0xFFFFFFu));
        return image;
    }

    std::optional<Data> encodePng(const Image& image) override {
        if (!image.hasPixels())
            return std::nullopt;
        Data data;
        data.bytes = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
        for (std::uint32_t value :
             {static_cast<std::uint32_t>(image.width), static_cast<std::uint32_t>(image.height)}) {
            for (int shift = 24; shift >= 0; shift -= 8)
                data.bytes.push_back(static_cast<std::uint8_t>(value >> shift));
        }
        for (auto pixel : image.pixels) {
            for (int shift = 24; shift >= 0; shift -= 8)
                data.bytes.push_back(static_cast<std::uint8_t>(pixel >> shift));
        }
        return data;
    }

    static bool looksLikeImage(const std::vector<std::uint8_t>& b) {
        auto startsWith = [&](std::initializer_list<std::uint8_t> prefix) {
            return b.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), b.begin());
        };
        if (startsWith({0x89, 'P', 'N', 'G'}) || startsWith({0, 0, 1, 0}) ||
            startsWith({'G', 'I', 'F', '8'}) || startsWith({0xFF, 0xD8, 0xFF}))
            return true;
        std::string head(b.begin(), b.begin() + static_cast<long>(std::min<size_t>(b.size(), 256)));
        return head.find("<svg") != std::string::npos;
    }
};

}  // namespace vantlo
