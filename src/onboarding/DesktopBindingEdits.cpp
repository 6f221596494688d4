#include "onboarding/DesktopBindingEdits.h"
#include "platform/AsciiText.h"

#include <algorithm>
#include <cctype>

namespace vantlo::DesktopBindingEdits {
namespace {

std::string lower(std::string_view text) {
    return AsciiText::lowercase(text);
}

std::string_view trimmed(std::string_view text) {
    return AsciiText::trimmed(text);
}

// One quoted GVariant string at `at` ('…' or "…", backslash escapes); nothing when unterminated.
std::optional<std::string> readQuoted(std::string_view text, std::size_t& at) {
    const char quote = text[at++];
    std::string out;
    while (at < text.size()) {
        char c = text[at++];
        if (c == quote)
            return out;
        if (c == '\\' && at < text.size())
            c = text[at++];
        out += c;
    }
    return std::nullopt;
}

// The strings of a printed string array, or of a single printed string.
std::optional<std::vector<std::string>> readStrings(std::string_view printed, bool& isList) {
    std::string_view text = trimmed(printed);
    if (text.starts_with("@as "))
        text = trimmed(text.substr(4));
    std::vector<std::string> strings;
    isList = !text.empty() && text.front() == '[';
    if (!isList) {
        std::size_t at = 0;
        if (text.empty() || (text[0] != '\'' && text[0] != '"'))
            return std::nullopt;
        auto one = readQuoted(text, at);
        if (!one || at != text.size())
            return std::nullopt;
        strings.push_back(*one);
        return strings;
    }
    std::size_t at = 1;
    while (at < text.size()) {
        const char c = text[at];
        if (c == ']')
            return at + 1 == text.size() ? std::optional(strings) : std::nullopt;
        if (c == '\'' || c == '"') {
            auto one = readQuoted(text, at);
            if (!one)
                return std::nullopt;
            strings.push_back(*one);
        } else if (c == ',' || std::isspace(static_cast<unsigned char>(c))) {
            ++at;
        } else {
            return std::nullopt;
        }
    }
    return std::nullopt;
}

std::string quoted(const std::string& text) {
    std::string out = "'";
    for (char c : text) {
        if (c == '\'' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + "'";
}

}  // namespace

std::vector<GSettingsKey> gsettingsKeys(DesktopKind desktop) {
    switch (desktop) {
        case DesktopKind::gnome:
            return {{"org.gnome.desktop.wm.keybindings", "switch-applications"},
                    {"org.gnome.desktop.wm.keybindings", "switch-windows"}};
        case DesktopKind::cinnamon:
            return {{"org.cinnamon.desktop.keybindings.wm", "switch-windows"},
                    {"org.cinnamon.desktop.keybindings.wm", "switch-applications"}};
        case DesktopKind::mate:
            return {{"org.mate.Marco.global-keybindings", "switch-windows"}};
        default:
            return {};
    }
}

bool isAltTabAccelerator(std::string_view accelerator) {
    const std::string text = lower(trimmed(accelerator));
    return text == "<alt>tab" || text == "<mod1>tab";
}

std::optional<std::string> gsettingsWithoutAltTab(std::string_view printed) {
    bool isList = false;
    auto strings = readStrings(printed, isList);
    if (!strings)
        return std::nullopt;
    const auto removed = std::erase_if(*strings, isAltTabAccelerator);
    if (removed == 0)
        return std::nullopt;
    if (!isList)
        return std::string("'disabled'");
    std::string out = "[";
    for (std::size_t i = 0; i < strings->size(); ++i)
        out += (i ? ", " : "") + quoted((*strings)[i]);
    return out + "]";
}

std::optional<std::string> kdeEntryWithoutAltTab(std::string_view entry) {
    const auto comma = entry.find(',');
    const std::string_view active = entry.substr(0, comma);
    const std::string_view rest =
        comma == std::string_view::npos ? std::string_view{} : entry.substr(comma);
    std::vector<std::string_view> keys;
    bool found = false;
    std::string_view remaining = active;
    while (true) {
        const auto tab = remaining.find('\t');
        const auto key = trimmed(remaining.substr(0, tab));
        if (lower(key) == "alt+tab")
            found = true;
        else if (!key.empty() && lower(key) != "none")
            keys.push_back(key);
        if (tab == std::string_view::npos)
            break;
        remaining = remaining.substr(tab + 1);
    }
    if (!found)
        return std::nullopt;
    std::string out;
    for (std::size_t i = 0; i < keys.size(); ++i)
        out += (i ? "\t" : "") + std::string(keys[i]);
    if (out.empty())
        out = "none";
    return out + std::string(rest);
}

}  // namespace vantlo::DesktopBindingEdits
