#pragma once
// One XDG desktop entry (a ".desktop" file): the keys of its [Desktop Entry] group that the
// switcher uses, with the name in the user's language.

#include <optional>
#include <string>
#include <vector>

namespace vantlo {

struct DesktopEntry {
    std::string id;    // desktop-file ID without ".desktop" ("org.gnome.Nautilus")
    std::string path;  // where it was found
    std::string type;
    std::string name;           // untranslated Name
    std::string localizedName;  // Name[xx] for the user's language, else Name
    std::string icon;
    std::string exec;
    std::string tryExec;
    std::string startupWMClass;
    bool hidden = false;
    bool noDisplay = false;

    bool isApplication() const { return type == "Application"; }
    // Listed among the installed applications.
    bool isDisplayable() const { return isApplication() && !hidden && !noDisplay; }
    // The program Exec starts, without environment assignments, "env" or field codes
    // ("/usr/bin/foo --bar %U" -> "foo"); empty when there is none.
    std::string execProgram() const;

    // Parses the text of a desktop file; nothing when it has no [Desktop Entry] group.
    // `locales` are the language tags to try in order ("zh_CN", "zh").
    static std::optional<DesktopEntry> parse(const std::string& text,
                                             const std::vector<std::string>& locales);
    // Reads only a regular file of at most 1 MiB: a FIFO or a link to a device is refused without
    // blocking. Nothing when the file is missing, refused or has no entry; `refusal`, when given,
    // then says why a file that is there was not read ("is a FIFO, not a regular file").
    static std::optional<DesktopEntry> read(const std::string& path,
                                            const std::vector<std::string>& locales,
                                            std::string* refusal = nullptr);
    // The user's language tags from LC_ALL, LC_MESSAGES and LANG: "zh_CN.UTF-8@x" gives
    // "zh_CN@x", "zh_CN", "zh@x", "zh".
    static std::vector<std::string> userLocales();
};

}  // namespace vantlo
