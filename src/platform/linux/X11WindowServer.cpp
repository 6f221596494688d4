#include "platform/linux/X11WindowServer.h"

#include <xcb/composite.h>

#include <algorithm>
#include <map>

#include "platform/linux/XcbReply.h"

namespace vantlo {
namespace {

// Box-filters 32-bit BGRX pixels down so that neither side exceeds `maxSide`; opaque result.
std::shared_ptr<Image> scaledImage(const std::uint32_t* pixels, int width, int height, int maxSide,
                                   bool hasAlpha) {
    double scale = std::min(1.0, double(maxSide) / std::max(width, height));
    int outWidth = std::max(1, int(width * scale));
    int outHeight = std::max(1, int(height * scale));
    auto image = std::make_shared<Image>();
    image->width = outWidth;
    image->height = outHeight;
    image->pixels.resize(std::size_t(outWidth) * outHeight);
    for (int oy = 0; oy < outHeight; ++oy) {
        int y0 = oy * height / outHeight, y1 = std::max(y0 + 1, (oy + 1) * height / outHeight);
        for (int ox = 0; ox < outWidth; ++ox) {
            int x0 = ox * width / outWidth, x1 = std::max(x0 + 1, (ox + 1) * width / outWidth);
            std::uint64_t a = 0, r = 0, g = 0, b = 0, n = 0;
            for (int y = y0; y < y1; ++y) {
                for (int x = x0; x < x1; ++x) {
                    std::uint32_t p = pixels[std::size_t(y) * width + x];
                    a += hasAlpha ? (p >> 24) : 0xFF;
                    r += (p >> 16) & 0xFF;
                    g += (p >> 8) & 0xFF;
                    b += p & 0xFF;
                    ++n;
                }
            }
            image->pixels[std::size_t(oy) * outWidth + ox] =
                std::uint32_t(a / n) << 24 | std::uint32_t(r / n) << 16 |
                std::uint32_t(g / n) << 8 | std::uint32_t(b / n);
        }
    }
    return image;
}

}  // namespace

X11WindowServer::X11WindowServer(std::shared_ptr<XcbConnection> connection,
                                 std::shared_ptr<X11WindowList> windows, OwnerName ownerName)
    : connection_(std::move(connection)),
      windows_(std::move(windows)),
      ownerName_(std::move(ownerName)) {}

std::vector<WindowInfo> X11WindowServer::onScreenWindows() {
    std::vector<WindowInfo> result;
    if (!connection_)
        return result;
    std::map<Pid, std::optional<std::string>> names;
    const auto snapshot = windows_->snapshotWithoutWaiting();
    for (const auto& window : snapshot->windows) {
        if (!window.viewable || window.kind == X11Window::Kind::other)
            continue;
        WindowInfo info;
        info.number = window.id;
        if (window.pid > 0) {
            info.ownerPID = window.pid;
            if (!names.count(window.pid))
                names[window.pid] = ownerName_ ? ownerName_(window.pid) : std::nullopt;
            info.ownerName = names[window.pid];
        }
        if (!info.ownerName && !window.className.empty())
            info.ownerName = window.className;
        info.title = window.title;
        info.bounds = window.frame;
        result.push_back(std::move(info));
    }
    return result;
}

ImageRef X11WindowServer::capture(xcb_drawable_t drawable, int width, int height, int depth,
                                  int maxPixelSize) {
    auto* c = connection_->get();
    xcb_generic_error_t* error = nullptr;
    auto image =
        own(xcb_get_image_reply(
                c, xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, drawable, 0, 0, width, height, ~0u),
                &error),
            error);
    if (!image)
        return nullptr;
    int length = xcb_get_image_data_length(image.get());
    // The 24- and 32-bit visuals every desktop uses store 4 bytes per pixel.
    if (length < width * height * 4)
        return nullptr;
    auto* pixels = reinterpret_cast<const std::uint32_t*>(xcb_get_image_data(image.get()));
    return scaledImage(pixels, width, height, maxPixelSize, depth == 32);
}

ImageRef X11WindowServer::captureWindow(std::uint32_t windowNumber, int maxPixelSize) {
    if (!connection_ || maxPixelSize <= 0)
        return nullptr;
    auto* c = connection_->get();
    auto geometry = own(xcb_get_geometry_reply(c, xcb_get_geometry(c, windowNumber), nullptr));
    if (!geometry || geometry->width == 0 || geometry->height == 0)
        return nullptr;
    if (connection_->hasComposite()) {
        // Only a redirected window has an off-screen pixmap; naming fails (BadMatch) otherwise.
        xcb_pixmap_t pixmap = xcb_generate_id(c);
        if (auto* error = xcb_request_check(
                c, xcb_composite_name_window_pixmap_checked(c, windowNumber, pixmap))) {
            std::free(error);
        } else {
            auto image =
                capture(pixmap, geometry->width, geometry->height, geometry->depth, maxPixelSize);
            xcb_free_pixmap(c, pixmap);
            if (image)
                return image;
        }
    }
    auto attributes = own(
        xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, windowNumber), nullptr));
    if (!attributes || attributes->map_state != XCB_MAP_STATE_VIEWABLE)
        return nullptr;
    return capture(windowNumber, geometry->width, geometry->height, geometry->depth, maxPixelSize);
}

}  // namespace vantlo
