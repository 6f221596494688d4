#include "app/FeedbackSupport.h"

#include "input/HotkeyStore.h"
#include "platform/Platform.h"
#include "settings/Localization.h"
#include "settings/PanelSettings.h"

namespace vantlo::FeedbackSupport {
namespace {

std::string orUnknown(const std::string& value) {
    return value.empty() ? "unknown" : value;
}

std::string state(bool granted) {
    return granted ? "granted" : "missing";
}

bool runsOnLinux() {
    auto* info = platform().systemInfo.get();
    return info != nullptr && info->operatingSystemName() == "Linux";
}

// "macOS: 14.5.0" on macOS; "Linux: Debian GNU/Linux 12 (bookworm), kernel 6.1.0-18-amd64" on
// Linux, so a report never names a system the user does not run.
std::string operatingSystemLine() {
    auto* info = platform().systemInfo.get();
    if (info == nullptr)
        return "\nOperating System: unknown";
    std::string name = info->operatingSystemName();
    return "\n" + (name.empty() ? std::string("Operating System") : name) + ": " +
           orUnknown(info->operatingSystemVersion());
}

bool accessibilityGranted() {
    // Without the desktop services (a display-free run) nothing can be read or raised.
    auto& accessibility = platform().accessibility;
    return accessibility && accessibility->isProcessTrusted();
}

bool screenRecordingGranted() {
    auto& windowServer = platform().windowServer;
    if (windowServer)
        return windowServer->capturePreflight();
    // X11 asks no permission to read window pixels.
    return runsOnLinux();
}

AppLanguage storedLanguage() {
    auto raw = platform().defaults->string(Localization::languageKey);
    return raw ? AppLanguages::fromRawValue(*raw).value_or(AppLanguage::system)
               : AppLanguage::system;
}

}  // namespace

std::string machineArchitecture() {
    auto* info = platform().systemInfo.get();
    std::string machine = info ? info->machineArchitecture() : "";
    std::string text;
    for (char c : machine) {
        if (c != '\0')
            text += c;
    }
    return text.empty() || text == "Unknown" ? "unknown" : text;
}

std::string diagnosticsText() {
    auto bundle = platform().appBundles ? platform().appBundles->mainBundle() : MainBundleInfo{};
    std::string text = "Vantlo Diagnostics\nVersion: ";
    text += orUnknown(bundle.shortVersion) + " (" + orUnknown(bundle.buildVersion);
    text += ")\nBundle ID: " + orUnknown(bundle.identifier);
    text += operatingSystemLine();
    text += "\nArchitecture: " + machineArchitecture();
    text += "\nLanguage: " + AppLanguages::rawValue(storedLanguage());
    text += "\nAccessibility: " + state(accessibilityGranted());
    text += "\nScreen Recording: " + state(screenRecordingGranted());
    text += "\nActivation Hotkey: " + HotkeyStore::current().displayString();
    text += "\nPanel Edge: " + PanelEdges::rawValue(PanelSettings::edge());
    text += "\nPanel Display: " + PanelDisplays::rawValue(PanelSettings::display());
    text += "\nPanel Width: " + PanelWidths::rawValue(PanelSettings::width());
    text += "\nFont Size: " + PanelFontSizes::rawValue(PanelSettings::fontSize());
    text += "\nShows Apps Without Windows: ";
    text += PanelSettings::showAppsWithoutWindows() ? "true" : "false";
    return text;
}

}  // namespace vantlo::FeedbackSupport
