#include "testing/FakeWindowServer.h"

#include <algorithm>

namespace vantlo {

std::vector<WindowInfo> FakeWindowServer::onScreenWindows() {
    std::lock_guard lock(desktop_.mutex());
    std::vector<WindowInfo> result;
    for (auto* window : desktop_.stackingOrder()) {
        auto* app = desktop_.app(window->pid);
        if (!app || app->gone || app->hidden || window->minimized)
            continue;
        WindowInfo info;
        info.number = window->number;
        info.ownerName = app->windowOwnerName ? app->windowOwnerName : app->name;
        info.ownerPID = app->pid;
        info.title = window->title.value_or("");
        info.bounds = window->bounds;
        result.push_back(std::move(info));
    }
    return result;
}

ImageRef FakeWindowServer::captureWindow(std::uint32_t windowNumber, int maxPixelSize) {
    std::lock_guard lock(desktop_.mutex());
    ++captures_;
    auto* window = desktop_.window(windowNumber);
    if (!permitted_ || !window || window->closed || window->minimized || !window->capturable)
        return nullptr;
    auto image = std::make_shared<Image>();
    int limit = std::max(1, maxPixelSize);
    image->width = std::clamp(static_cast<int>(window->bounds.width / 100), 1, limit);
    image->height = std::clamp(static_cast<int>(window->bounds.height / 100), 1, limit);
    image->pixels.assign(static_cast<std::size_t>(image->width * image->height),
                         0xFF000000u | windowNumber);
    return image;
}

bool FakeWindowServer::capturePreflight() {
    std::lock_guard lock(desktop_.mutex());
    return permitted_;
}

void FakeWindowServer::setCapturePermitted(bool permitted) {
    std::lock_guard lock(desktop_.mutex());
    permitted_ = permitted;
}

int FakeWindowServer::captureCount() {
    std::lock_guard lock(desktop_.mutex());
    return captures_;
}

}  // namespace vantlo
