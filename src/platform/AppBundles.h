#pragma once
// Stands in for application bundles: what an installed application is called, how it is
// identified and which icon it has, and the same facts about this program itself. On Linux an
// application bundle is a desktop entry.

#include <optional>
#include <string>

#include "platform/Image.h"
#include "platform/PropertyValue.h"

namespace vantlo {

// Information keys every backend fills where it can (values as the bundle stores them, so a
// caller must check their type).
namespace BundleKeys {
inline constexpr const char* displayName = "CFBundleDisplayName";
inline constexpr const char* name = "CFBundleName";
inline constexpr const char* shortVersion = "CFBundleShortVersionString";
inline constexpr const char* version = "CFBundleVersion";
}  // namespace BundleKeys

struct BundleInfo {
    std::string path;
    std::optional<std::string> identifier;
    // Localized information values, keyed as in BundleKeys.
    PropertyDictionary info;
};

struct MainBundleInfo {
    std::string identifier;     // "com.local.vantlo"
    std::string bundlePath;     // where this program runs from
    std::string resourcesPath;  // where its localization folders ("en.lproj", ...) live
    std::string shortVersion;   // "1.2.0"
    std::string buildVersion;   // "42"
};

class AppBundles {
  public:
    virtual ~AppBundles() = default;

    // Opens the bundle at `path`; nothing when it is not a readable application bundle (or, on
    // Linux, a desktop entry that is hidden or not an application).
    virtual std::optional<BundleInfo> open(const std::string& path) = 0;
    virtual MainBundleInfo mainBundle() = 0;
};

}  // namespace vantlo
