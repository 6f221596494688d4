#include <gtest/gtest.h>

#include <string>

#include "platform/linux/QtImageCodec.h"

namespace vantlo {
namespace {

Data bytesOf(const std::string& text) {
    return Data{std::vector<std::uint8_t>(text.begin(), text.end())};
}

TEST(QtImageCodec, PngRoundTripKeepsEveryPixel) {
    Image image;
    image.width = 3;
    image.height = 2;
    // Opaque and half-transparent premultiplied pixels, all different.
    image.pixels = {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0x80400000u, 0x00000000u, 0xFFFFFFFFu};
    QtImageCodec codec;
    auto png = codec.encodePng(image);
    ASSERT_TRUE(png);
    ASSERT_GT(png->bytes.size(), 8u);
    EXPECT_EQ(png->bytes[1], 'P');
    auto decoded = codec.decode(*png);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->width, 3);
    EXPECT_EQ(decoded->height, 2);
    EXPECT_EQ(decoded->pixels, image.pixels);
}

TEST(QtImageCodec, UndecodableOrOversizedBytesGiveNoImage) {
    QtImageCodec codec;
    EXPECT_FALSE(codec.decode(Data{})) << "empty";
    EXPECT_FALSE(codec.decode(bytesOf("<html>not found</html>"))) << "an error page";
    EXPECT_FALSE(codec.encodePng(Image{})) << "an image without pixels";

    auto svg = [](int side) {
        std::string s = std::to_string(side);
        return bytesOf("<svg xmlns='http://www.w3.org/2000/svg' width='" + s + "' height='" + s +
                       "'><rect width='" + s + "' height='" + s + "' fill='red'/></svg>");
    };
    auto small = codec.decode(svg(16));
    ASSERT_TRUE(small) << "a small vector icon decodes";
    EXPECT_EQ(small->width, 16);
    // A few hundred bytes that would take 40 GB of pixels.
    EXPECT_FALSE(codec.decode(svg(100000))) << "a vector image too large to draw";
}

}  // namespace
}  // namespace vantlo
