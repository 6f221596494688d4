#include "platform/posix/IconThemeLookup.h"

#include <sys/stat.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <sstream>

#include "platform/AsciiText.h"
#include "platform/posix/RegularFile.h"

namespace vantlo {

struct IconThemeLookup::Folder {
    enum class Type { fixed, scalable, threshold };
    std::string name;  // relative to the theme's root: "48x48/apps"
    Type type = Type::threshold;
    int size = 0;
    int minSize = 0;
    int maxSize = 0;
    int threshold = 2;
    int scale = 1;
};

struct IconThemeLookup::Theme {
    // The theme's folder under each place themes live that has one.
    std::vector<std::string> roots;
    std::vector<Folder> folders;
    std::vector<std::string> inherits;
};

namespace {

constexpr const char* kExtensions[] = {".png", ".svg", ".xpm"};
// Inheritance chains longer than this are broken (a theme that inherits itself through others).
constexpr std::size_t kMaxThemes = 32;

using Section = std::map<std::string, std::string>;

std::string trimmed(const std::string& text) {
    return std::string(AsciiText::trimmed(text, AsciiText::kLineBlanks));
}

std::vector<std::string> commaList(const std::string& text) {
    std::vector<std::string> items;
    std::stringstream stream(text);
    std::string item;
    while (std::getline(stream, item, ',')) {
        item = trimmed(item);
        if (!item.empty())
            items.push_back(item);
    }
    return items;
}

std::map<std::string, Section> parseIndex(const std::string& contents) {
    std::map<std::string, Section> sections;
    Section* current = nullptr;
    std::stringstream stream(contents);
    std::string line;
    while (std::getline(stream, line)) {
        line = trimmed(line);
        if (line.empty() || line[0] == '#')
            continue;
        if (line.front() == '[' && line.back() == ']') {
            current = &sections[line.substr(1, line.size() - 2)];
            continue;
        }
        auto equals = line.find('=');
        if (current != nullptr && equals != std::string::npos)
            (*current)[trimmed(line.substr(0, equals))] = trimmed(line.substr(equals + 1));
    }
    return sections;
}

int number(const Section& section, const std::string& key, int fallback) {
    auto found = section.find(key);
    if (found == section.end())
        return fallback;
    char* end = nullptr;
    long value = std::strtol(found->second.c_str(), &end, 10);
    if (end == found->second.c_str() || value < 0 || value > 100000)
        return fallback;
    return static_cast<int>(value);
}

IconThemeLookup::Folder folderFrom(const std::string& name, const Section& section) {
    using Folder = IconThemeLookup::Folder;
    Folder folder;
    folder.name = name;
    folder.size = number(section, "Size", 0);
    folder.minSize = number(section, "MinSize", folder.size);
    folder.maxSize = number(section, "MaxSize", folder.size);
    folder.threshold = number(section, "Threshold", 2);
    folder.scale = std::max(1, number(section, "Scale", 1));
    auto type = section.find("Type");
    if (type != section.end() && type->second == "Fixed")
        folder.type = Folder::Type::fixed;
    else if (type != section.end() && type->second == "Scalable")
        folder.type = Folder::Type::scalable;
    return folder;
}

bool isFolder(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Follows links; a FIFO, device or socket is not an icon and is never opened.
bool isRegularFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool matchesSize(const IconThemeLookup::Folder& folder, int size) {
    using Type = IconThemeLookup::Folder::Type;
    if (folder.scale != 1)
        return false;
    switch (folder.type) {
        case Type::fixed:
            return folder.size == size;
        case Type::scalable:
            return folder.minSize <= size && size <= folder.maxSize;
        case Type::threshold:
            return folder.size - folder.threshold <= size && size <= folder.size + folder.threshold;
    }
    return false;
}

int sizeDistance(const IconThemeLookup::Folder& folder, int size) {
    using Type = IconThemeLookup::Folder::Type;
    int low = folder.size, high = folder.size;
    if (folder.type == Type::scalable) {
        low = folder.minSize;
        high = folder.maxSize;
    } else if (folder.type == Type::threshold) {
        low = folder.size - folder.threshold;
        high = folder.size + folder.threshold;
    }
    low *= folder.scale;
    high *= folder.scale;
    if (size < low)
        return low - size;
    if (size > high)
        return size - high;
    return 0;
}

std::optional<std::string> fileIn(const std::string& folder, const std::string& iconName) {
    for (const char* extension : kExtensions) {
        std::string path = folder + "/" + iconName + extension;
        if (isRegularFile(path))
            return path;
    }
    return std::nullopt;
}

bool isSafeName(const std::string& name) {
    return !name.empty() && name.find('/') == std::string::npos && name != "." && name != "..";
}

}  // namespace

IconThemeLookup::IconThemeLookup(Setup setup) : setup_(std::move(setup)) {}

IconThemeLookup::~IconThemeLookup() = default;

std::optional<std::string> IconThemeLookup::find(const std::string& iconName, int size) const {
    if (!isSafeName(iconName) || size <= 0)
        return std::nullopt;
    std::string name = iconName;
    while (true) {
        if (auto path = findName(name, size))
            return path;
        auto dash = name.rfind('-');
        if (dash == std::string::npos || dash == 0)
            return std::nullopt;
        name.erase(dash);
    }
}

std::optional<std::string> IconThemeLookup::findName(const std::string& iconName, int size) const {
    std::vector<std::string> visited;
    if (!setup_.themeName.empty()) {
        if (auto path = findInTheme(setup_.themeName, iconName, size, visited))
            return path;
    }
    if (auto path = findInTheme("hicolor", iconName, size, visited))
        return path;
    for (const auto& folder : setup_.fallbackFolders) {
        if (auto path = fileIn(folder, iconName))
            return path;
    }
    return std::nullopt;
}

std::optional<std::string> IconThemeLookup::findInTheme(const std::string& themeName,
                                                        const std::string& iconName, int size,
                                                        std::vector<std::string>& visited) const {
    if (visited.size() >= kMaxThemes ||
        std::find(visited.begin(), visited.end(), themeName) != visited.end())
        return std::nullopt;
    visited.push_back(themeName);
    auto found = theme(themeName);
    if (!found)
        return std::nullopt;
    for (const auto& folder : found->folders) {
        if (!matchesSize(folder, size))
            continue;
        for (const auto& root : found->roots) {
            if (auto path = fileIn(root + "/" + folder.name, iconName))
                return path;
        }
    }
    std::optional<std::string> closest;
    int closestDistance = INT_MAX;
    for (const auto& folder : found->folders) {
        int distance = sizeDistance(folder, size);
        if (distance >= closestDistance)
            continue;
        for (const auto& root : found->roots) {
            if (auto path = fileIn(root + "/" + folder.name, iconName)) {
                closest = path;
                closestDistance = distance;
                break;
            }
        }
    }
    if (closest)
        return closest;
    for (const auto& parent : found->inherits) {
        if (auto path = findInTheme(parent, iconName, size, visited))
            return path;
    }
    return std::nullopt;
}

std::shared_ptr<const IconThemeLookup::Theme> IconThemeLookup::theme(
    const std::string& name) const {
    {
        std::lock_guard lock(mutex_);
        auto found = themes_.find(name);
        if (found != themes_.end())
            return found->second;
    }
    // Read outside the lock; two threads may both read a theme the first time, and keep one.
    auto loaded = loadTheme(name);
    std::lock_guard lock(mutex_);
    return themes_.emplace(name, std::move(loaded)).first->second;
}

std::shared_ptr<const IconThemeLookup::Theme> IconThemeLookup::loadTheme(
    const std::string& name) const {
    if (!isSafeName(name))
        return nullptr;
    auto theme = std::make_shared<Theme>();
    std::optional<std::map<std::string, Section>> index;
    for (const auto& base : setup_.themeFolders) {
        std::string root = base + "/" + name;
        if (!isFolder(root))
            continue;
        theme->roots.push_back(root);
        if (!index) {
            auto file =
                RegularFile::read(root + "/index.theme", RegularFile::kSmallSystemFileLimit);
            if (file.ok())
                index = parseIndex(file.contents);
        }
    }
    // A theme without an index file is no theme.
    if (!index)
        return nullptr;
    const Section& about = (*index)["Icon Theme"];
    auto list = [&about](const char* key) {
        auto found = about.find(key);
        return found == about.end() ? std::vector<std::string>{} : commaList(found->second);
    };
    std::vector<std::string> names = list("Directories");
    for (const auto& scaled : list("ScaledDirectories"))
        names.push_back(scaled);
    for (const auto& folder : names) {
        auto section = index->find(folder);
        if (section != index->end() && folder.find("..") == std::string::npos)
            theme->folders.push_back(folderFrom(folder, section->second));
    }
    theme->inherits = list("Inherits");
    return theme;
}

}  // namespace vantlo
