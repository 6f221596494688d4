#include "onboarding/DesktopKind.h"
#include "platform/AsciiText.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <utility>

namespace vantlo::DesktopKinds {
namespace {

std::string lower(std::string_view text) {
    return AsciiText::lowercase(text);
}

DesktopKind fromDesktopEntry(const std::string& entry) {
    if (entry == "gnome" || entry == "gnome-classic" || entry == "gnome-flashback")
        return DesktopKind::gnome;
    if (entry == "x-cinnamon" || entry == "cinnamon")
        return DesktopKind::cinnamon;
    if (entry == "mate")
        return DesktopKind::mate;
    if (entry == "xfce")
        return DesktopKind::xfce;
    if (entry == "kde")
        return DesktopKind::kdePlasma;
    return DesktopKind::unknown;
}

std::string_view firstEntry(std::string_view list) {
    return list.substr(0, list.find(':'));
}

constexpr std::array<std::pair<DesktopKind, const char*>, 7> kNames{{
    {DesktopKind::unknown, "unknown"},
    {DesktopKind::gnome, "gnome"},
    {DesktopKind::cinnamon, "cinnamon"},
    {DesktopKind::mate, "mate"},
    {DesktopKind::xfce, "xfce"},
    {DesktopKind::kdePlasma, "kde"},
    {DesktopKind::openbox, "openbox"},
}};

}  // namespace

DesktopKind detect(std::string_view xdgCurrentDesktop, std::string_view windowManagerName) {
    std::string_view rest = xdgCurrentDesktop;
    while (!rest.empty()) {
        const auto colon = rest.find(':');
        if (auto kind = fromDesktopEntry(lower(rest.substr(0, colon)));
            kind != DesktopKind::unknown)
            return kind;
        rest = colon == std::string_view::npos ? std::string_view{} : rest.substr(colon + 1);
    }
    // Openbox runs alone or under LXDE, which names itself but keeps openbox's key bindings.
    if (lower(windowManagerName) == "openbox")
        return DesktopKind::openbox;
    return DesktopKind::unknown;
}

std::string displayName(DesktopKind kind, std::string_view xdgCurrentDesktop) {
    switch (kind) {
        case DesktopKind::gnome:
            return "GNOME";
        case DesktopKind::cinnamon:
            return "Cinnamon";
        case DesktopKind::mate:
            return "MATE";
        case DesktopKind::xfce:
            return "Xfce";
        case DesktopKind::kdePlasma:
            return "KDE Plasma";
        case DesktopKind::openbox:
            return "Openbox";
        case DesktopKind::unknown:
            break;
    }
    return std::string(firstEntry(xdgCurrentDesktop));
}

std::string name(DesktopKind kind) {
    for (const auto& [k, n] : kNames)
        if (k == kind)
            return n;
    return "unknown";
}

DesktopKind fromName(std::string_view text) {
    for (const auto& [k, n] : kNames)
        if (text == n)
            return k;
    return DesktopKind::unknown;
}

}  // namespace vantlo::DesktopKinds
