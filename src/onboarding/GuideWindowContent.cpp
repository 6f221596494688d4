#include "onboarding/GuideWindowContent.h"

#include "platform/KeyCodeNames.h"
#include "settings/Localization.h"

namespace vantlo::GuideWindow {
namespace {

// The texts are lookup keys: each stays one literal on one line.
// clang-format off

GuideWindowContent macPermission() {
    GuideWindowContent c;
    c.symbol = "lock.shield";
    c.title = localized("Enable Accessibility");
    c.subtitle = localized("Vantlo needs Accessibility before the shortcut tutorial can work.");
    c.steps = {localized("Open System Settings."),
               localized("Enable Vantlo under Privacy & Security → Accessibility."),
               localized("Return here; the shortcut tutorial will continue automatically.")};
    c.note = localized("Vantlo will not open System Settings again after Accessibility is enabled.");
    c.secondButton = {GuideAction::openPrivacySettings, localized("Open Accessibility Settings"), {}};
    return c;
}

GuideWindowContent wayland() {
    GuideWindowContent c;
    c.symbol = "lock.shield";
    c.title = localized("Vantlo needs an X11 session");
    c.subtitle = localized("This desktop runs Wayland, where Vantlo cannot see or raise the windows of other programs.");
    c.steps = {localized("Log out."),
               localized("At the login screen, pick your name, then choose an X11 session (\"on Xorg\" or \"X11\") from the gear or session menu before you enter your password."),
               localized("Log in and start Vantlo again; this guide continues there.")};
    c.note = localized("Vantlo works in X11 sessions for now.");
    c.secondButton = {GuideAction::tryAgain, localized("Try Again"), {}};
    return c;
}

GuideWindowContent noWindowManager() {
    GuideWindowContent c;
    c.symbol = "exclamationmark.triangle.fill";
    c.title = localized("No window manager is running");
    c.subtitle = localized("Vantlo lists, raises and closes windows through the window manager. Without one the panel has no windows to show and cannot switch between them.");
    c.steps = {localized("Start your desktop's window manager (for example openbox, xfwm4, marco or kwin_x11)."),
               localized("Return here; the guide continues on its own once a window manager runs.")};
    c.note = localized("Vantlo checks again every second.");
    c.secondButton = {GuideAction::tryAgain, localized("Try Again"), {}};
    return c;
}

GuideWindowContent hotKeyTaken(const GuideFacts& facts) {
    const std::string key = facts.hotkey.displayString(facts.style);
    GuideWindowContent c;
    c.symbol = "keyboard";
    c.title = localizedFormat("%@ is taken", {key});
    c.subtitle = facts.desktopName.empty()
        ? localizedFormat("Another program holds %@, so pressing it cannot show Vantlo.", {key})
        : localizedFormat("%1$@ uses %2$@ for its own window switching, so pressing it cannot show Vantlo.", {facts.desktopName, key});
    c.actions.push_back({GuideAction::useAnotherShortcut, localized("Use another shortcut"),
                         localized("Record a key combination that no other program uses.")});
    if (facts.canFreeKey) {
        c.actions.push_back({GuideAction::freeDesktopKey, localizedFormat("Free %@", {key}),
                             localizedFormat("Changes the setting in %@; General settings can undo it.", {facts.desktopName})});
    }
    c.actions.push_back({GuideAction::tryAgain, localized("Try Again"),
                         localizedFormat("Ask for %@ again, after you freed it in the desktop's keyboard settings.", {key})});
    c.note = localized("Vantlo checks again every second, so a key freed in the desktop's settings is picked up without a restart.");
    return c;
}

// clang-format on

std::vector<std::string> capsOf(const HotkeyConfig& hotkey, KeyLabelStyle style) {
    std::vector<std::string> caps;
    if (style == KeyLabelStyle::glyphs) {
        // One cap per glyph: "⌥", "⇥".
        const std::string modifiers = KeyCodeNames::modifierNames(hotkey.carbonModifiers, style);
        std::size_t at = 0;
        while (at < modifiers.size()) {
            std::size_t length = 1;
            const auto lead = static_cast<unsigned char>(modifiers[at]);
            if (lead >= 0xF0)
                length = 4;
            else if (lead >= 0xE0)
                length = 3;
            else if (lead >= 0xC0)
                length = 2;
            caps.push_back(modifiers.substr(at, length));
            at += length;
        }
    } else {
        std::string modifiers = KeyCodeNames::modifierNames(hotkey.carbonModifiers, style);
        std::size_t at = 0;
        while (!modifiers.empty() && at != std::string::npos) {
            const auto plus = modifiers.find('+', at);
            caps.push_back(modifiers.substr(at, plus == std::string::npos ? plus : plus - at));
            at = plus == std::string::npos ? plus : plus + 1;
        }
    }
    caps.push_back(KeyCodeNames::name(hotkey.keyCode, style));
    return caps;
}

GuideWindowContent summon(const GuideFacts& facts) {
    GuideWindowContent c;
    c.trusted = true;
    c.symbol = "sparkles.rectangle.stack";
    c.title = localized("Summon Vantlo");
    c.keyCaps = capsOf(facts.hotkey, facts.style);
    if (facts.style == KeyLabelStyle::glyphs) {
        // clang-format off
        c.subtitle = localized("Start with the real shortcut. Hold Option to keep Vantlo open, then use other keys while holding it.");
        c.summonText = localized("Hold Option and press Tab");
        c.note = localized("When the panel appears, keep Option held. Vantlo will explain the movement and action keys there.");
        c.secondButton = {GuideAction::openPrivacySettings, localized("Open Settings"), {}};
        // clang-format on
    } else {
        const std::string held =
            KeyCodeNames::modifierNames(facts.hotkey.carbonModifiers, facts.style);
        const std::string pressed = KeyCodeNames::name(facts.hotkey.keyCode, facts.style);
        // clang-format off
        c.subtitle = localizedFormat("Start with the real shortcut. Hold %@ to keep Vantlo open, then use other keys while holding it.", {held});
        c.summonText = localizedFormat("Hold %1$@ and press %2$@", {held, pressed});
        c.note = localizedFormat("When the panel appears, keep %@ held. Vantlo will explain the movement and action keys there.", {held});
        c.secondButton = {GuideAction::openPreferences, localized("Open Settings"), {}};
        // clang-format on
    }
    return c;
}

}  // namespace

GuideWindowContent content(OnboardingStage stage, GuidePermissionProblem problem,
                           const GuideFacts& facts) {
    GuideWindowContent c;
    const bool summoning = stage == OnboardingStage::summon;
    if (summoning ||
        (facts.style == KeyLabelStyle::words && problem == GuidePermissionProblem::none))
        c = summon(facts);
    else if (facts.style == KeyLabelStyle::glyphs)
        c = macPermission();
    else if (problem == GuidePermissionProblem::waylandSession)
        c = wayland();
    else if (problem == GuidePermissionProblem::noWindowManager)
        c = noWindowManager();
    else
        c = hotKeyTaken(facts);
    c.skipLabel = localized("Skip Guide");
    c.defaultEnabled = c.trusted;
    c.defaultLabel = c.trusted ? localized("Got it") : localized("Continue");
    return c;
}

}  // namespace vantlo::GuideWindow
