#pragma once
// One application, running or installed.

#include <string>

#include "model/Uuid.h"
#include "platform/Image.h"

namespace vantlo {

struct AppItem {
    Uuid id;
    std::string bundleID;
    std::string name;
    ImageRef icon;
    // The application bundle (on Linux: the desktop entry file).
    std::string path;

    bool operator==(const AppItem& other) const { return id == other.id; }
};

}  // namespace vantlo
