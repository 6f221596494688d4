#pragma once
// Finds the image file of an icon named in an icon theme, following freedesktop.org's Icon Theme
// rules: the theme's folders listed in its index.theme (a folder made for the
// size first, then the nearest size), the themes it inherits, then "hicolor", then the unthemed
// fallback folders. A name not found loses its last dash-separated part and is looked up again
// ("firefox-esr" finds "firefox"), as toolkits do.
//
// It touches the disk (index files, many file checks), so it runs off the main thread. Index
// files are read through RegularFile and a candidate counts only when it is a regular file, so a
// FIFO or a device in a theme folder is never opened. Thread-safe; parsed themes are kept.

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace vantlo {

class IconThemeLookup {
  public:
    struct Setup {
        // The user's theme; "hicolor" is searched after it and the themes it inherits.
        std::string themeName;
        // Where themes live, first wins: ~/.icons, then each data folder's icons/.
        std::vector<std::string> themeFolders;
        // Unthemed icons, searched last: /usr/share/pixmaps.
        std::vector<std::string> fallbackFolders;
    };

    explicit IconThemeLookup(Setup setup);
    ~IconThemeLookup();

    // The file of `iconName` for a square of `size` pixels; nothing when no theme has it.
    std::optional<std::string> find(const std::string& iconName, int size) const;

    struct Folder;
    struct Theme;

  private:
    std::optional<std::string> findName(const std::string& iconName, int size) const;
    std::optional<std::string> findInTheme(const std::string& themeName,
                                           const std::string& iconName, int size,
                                           std::vector<std::string>& visited) const;
    std::shared_ptr<const Theme> theme(const std::string& name) const;
    std::shared_ptr<const Theme> loadTheme(const std::string& name) const;

    Setup setup_;
    mutable std::mutex mutex_;
    mutable std::map<std::string, std::shared_ptr<const Theme>> themes_;
};

}  // namespace vantlo
