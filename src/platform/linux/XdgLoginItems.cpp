#include "platform/linux/XdgLoginItems.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/linux/DesktopEntry.h"

namespace vantlo {
namespace {

namespace fs = std::filesystem;

// Exec quoting: the path in double quotes, '"', '`', '$' and '\\' escaped with a backslash;
// then the string escaping of every value, which doubles each backslash.
std::string execQuoted(const std::string& path) {
    std::string out = "\"";
    for (char c : path) {
        if (c == '"' || c == '`' || c == '$' || c == '\\')
            out += "\\\\";
        out += c == '\\' ? std::string("\\\\") : std::string(1, c);
    }
    return out + "\"";
}

}  // namespace

XdgLoginItems::XdgLoginItems(std::string entryPath, std::string executable)
    : entryPath_(std::move(entryPath)), executable_(std::move(executable)) {}

std::string XdgLoginItems::defaultEntryPath(const std::string& home) {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    std::string base = (config != nullptr && config[0] == '/') ? config : home + "/.config";
    return base + "/autostart/com.local.vantlo.desktop";
}

LoginItemStatus XdgLoginItems::status() {
    auto entry = DesktopEntry::read(entryPath_, {});
    if (!entry || entry->hidden)
        return LoginItemStatus::notRegistered;
    return LoginItemStatus::enabled;
}

std::string XdgLoginItems::registerItem() {
    std::error_code error;
    fs::create_directories(fs::path(entryPath_).parent_path(), error);
    if (error)
        return "cannot create " + fs::path(entryPath_).parent_path().string() + ": " +
               error.message();
    std::string temporary = entryPath_ + ".tmp";
    {
        std::ofstream out(temporary, std::ios::trunc);
        out << "[Desktop Entry]\n"
            << "Type=Application\n"
            << "Name=Vantlo\n"
            << "Exec=" << execQuoted(executable_) << "\n"
            << "Icon=com.local.vantlo\n"
            << "X-GNOME-Autostart-enabled=true\n";
        if (!out.flush())
            return "cannot write " + temporary;
    }
    fs::rename(temporary, entryPath_, error);
    if (error) {
        fs::remove(temporary, error);
        return "cannot write " + entryPath_;
    }
    return "";
}

std::string XdgLoginItems::unregisterItem() {
    std::error_code error;
    fs::remove(entryPath_, error);
    if (error)
        return "cannot remove " + entryPath_ + ": " + error.message();
    return "";
}

}  // namespace vantlo
