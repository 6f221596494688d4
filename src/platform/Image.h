#pragma once
// An image handed between the platform and the views: either decoded pixels or a reference
// (an icon-theme name or an image file) that the user interface resolves when it draws.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vantlo {

struct Image {
    // Icon-theme name ("firefox") or absolute image file path; empty when pixels are given.
    std::string iconName;
    std::string filePath;
    // Premultiplied ARGB32 pixels, row-major, width * height entries; empty for references.
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    bool hasPixels() const { return width > 0 && height > 0 && !pixels.empty(); }
};

// Images are shared, immutable and possibly absent (nullptr).
using ImageRef = std::shared_ptr<const Image>;

}  // namespace vantlo
