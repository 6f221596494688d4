#pragma once
// The value edits that take Alt+Tab from a desktop's own settings, as pure functions on the text
// its tools print and accept: GSettings values (GNOME, Cinnamon, MATE), KDE's global-shortcut
// entries and Xfce's shortcut property.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "onboarding/DesktopKind.h"

namespace vantlo::DesktopBindingEdits {

struct GSettingsKey {
    std::string schema;
    std::string key;
};

// Where each GSettings desktop keeps window-switching keys that default to Alt+Tab.
std::vector<GSettingsKey> gsettingsKeys(DesktopKind desktop);

// Whether a GTK accelerator names Alt+Tab: "<Alt>Tab", "<alt>tab", "<Mod1>Tab".
bool isAltTabAccelerator(std::string_view accelerator);
// A value as `gsettings get` prints it, without Alt+Tab, as `gsettings set` takes it: a list
// loses its Alt+Tab entries ("['<Super>Tab', '<Alt>Tab']" → "['<Super>Tab']"), a single key
// becomes 'disabled' (MATE). Nothing when the value holds no Alt+Tab or cannot be read.
std::optional<std::string> gsettingsWithoutAltTab(std::string_view printed);

// KDE's kglobalshortcutsrc entry "active keys,default keys,description", whose active keys are
// separated by tabs: the entry without Alt+Tab among its active keys ("none" when no key is
// left). Nothing when Alt+Tab is not active in it.
std::optional<std::string> kdeEntryWithoutAltTab(std::string_view entry);
// KDE's global shortcut groups and entries that hold Alt+Tab by default.
inline constexpr const char* kKdeShortcutsFile = "kglobalshortcutsrc";
inline constexpr const char* kKdeGroup = "kwin";
inline constexpr const char* kKdeEntry = "Walk Through Windows";

// Xfce's window manager reads its keys from this channel; the property name is the key.
inline constexpr const char* kXfceChannel = "xfce4-keyboard-shortcuts";
inline constexpr const char* kXfceAltTabProperty = "/xfwm4/custom/<Alt>Tab";

}  // namespace vantlo::DesktopBindingEdits
