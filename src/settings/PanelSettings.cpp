#include "settings/PanelSettings.h"

#include "platform/Platform.h"

namespace vantlo {
namespace {

std::optional<std::string> storedString(const char* key) {
    return platform().defaults->string(key);
}

template <typename Case, typename FromRaw>
Case storedCase(const char* key, FromRaw fromRawValue, Case fallback) {
    auto raw = storedString(key);
    return raw ? fromRawValue(*raw).value_or(fallback) : fallback;
}

void store(const char* key, PropertyValue value) {
    platform().defaults->set(key, std::move(value));
    platform().notifications->post(PanelSettings::changedNotification);
}

}  // namespace

PanelEdge PanelSettings::edge() {
    return storedCase(edgeKey, PanelEdges::fromRawValue, PanelEdge::right);
}

void PanelSettings::setEdge(PanelEdge edge) {
    store(edgeKey, PanelEdges::rawValue(edge));
}

PanelWidth PanelSettings::width() {
    return storedCase(widthKey, PanelWidths::fromRawValue, PanelWidth::normal);
}

void PanelSettings::setWidth(PanelWidth width) {
    store(widthKey, PanelWidths::rawValue(width));
}

PanelFontSize PanelSettings::fontSize() {
    return storedCase(fontSizeKey, PanelFontSizes::fromRawValue, PanelFontSize::normal);
}

void PanelSettings::setFontSize(PanelFontSize size) {
    store(fontSizeKey, PanelFontSizes::rawValue(size));
}

PanelDisplay PanelSettings::display() {
    return storedCase(displayKey, PanelDisplays::fromRawValue, PanelDisplay::pointer);
}

void PanelSettings::setDisplay(PanelDisplay display) {
    store(displayKey, PanelDisplays::rawValue(display));
}

bool PanelSettings::showAppsWithoutWindows() {
    return platform().defaults->boolean(showAppsWithoutWindowsKey).value_or(true);
}

void PanelSettings::setShowAppsWithoutWindows(bool show) {
    store(showAppsWithoutWindowsKey, show);
}

bool PanelSettings::preferBrowserTabsWhenFrontmost() {
    return platform().defaults->boolean(preferBrowserTabsWhenFrontmostKey).value_or(true);
}

void PanelSettings::setPreferBrowserTabsWhenFrontmost(bool prefer) {
    store(preferBrowserTabsWhenFrontmostKey, prefer);
}

}  // namespace vantlo
