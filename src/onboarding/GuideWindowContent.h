#pragma once
// What the guide window shows at its two stages: the header, the boxed content (instruction
// steps, the actions that fix a taken hot key, or the keys to press), the note and the buttons.
// Pure text and structure; the window paints it. Under the Mac's facts it asks for the
// Accessibility permission; on Linux it names the check that fails.

#include <string>
#include <vector>

#include "onboarding/GuidePermissionCheck.h"
#include "onboarding/OnboardingStage.h"
#include "platform/HotkeyConfig.h"

namespace vantlo {

// The facts of this session the guide explains itself with.
struct GuideFacts {
    KeyLabelStyle style = KeyLabelStyle::glyphs;
    HotkeyConfig hotkey;
    // The desktop's name ("GNOME"), empty when unknown.
    std::string desktopName;
    // Whether "Free Alt+Tab" can change the desktop's own binding.
    bool canFreeKey = false;
};

enum class GuideAction {
    none,
    openPrivacySettings,  // the Mac's Accessibility settings
    openPreferences,      // Vantlo's General preferences
    useAnotherShortcut,   // the key recorder, inline
    freeDesktopKey,       // change the desktop's own binding
    tryAgain,             // check (and register) again now
};

struct GuideActionRow {
    GuideAction action = GuideAction::none;
    std::string label;
    std::string detail;
};

struct GuideWindowContent {
    // Whether the session passes every check (the summon texts show).
    bool trusted = false;
    std::string symbol;  // "lock.shield", "sparkles.rectangle.stack", …
    std::string title;
    std::string subtitle;
    std::vector<std::string> steps;       // check-mark lines
    std::vector<GuideActionRow> actions;  // offered in the box
    std::vector<std::string> keyCaps;     // the summon row's caps
    std::string summonText;               // after the caps
    std::string note;
    std::string skipLabel;
    GuideActionRow secondButton;  // may have no action (not shown)
    std::string defaultLabel;     // "Continue" (disabled) or "Got it"
    bool defaultEnabled = false;
};

namespace GuideWindow {

// The content at `stage` (any stage before the panel shows the permission texts unless it is
// summon) with `problem` the latest check's answer.
GuideWindowContent content(OnboardingStage stage, GuidePermissionProblem problem,
                           const GuideFacts& facts);

}  // namespace GuideWindow
}  // namespace vantlo
