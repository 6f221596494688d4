#pragma once
// What the Feedback pane offers the user: the address for filing a new issue, and a plain-text
// diagnostics report to paste into it. The report names the version, the operating system, the
// machine, the permission states and the switcher settings, and never anything personal
// (window titles, tab addresses). It is always in English, whatever the interface language.

#include <string>

namespace vantlo::FeedbackSupport {

// The new-issue page of the project's issue tracker.
inline constexpr const char* issuesURL = "https://github.com/vantlo/vantlo/issues/new";

// Fourteen lines, "Label: value", joined by line feeds, without a trailing line feed. Computed
// afresh on every call from the installed platform and the user defaults.
std::string diagnosticsText();

// The machine hardware name ("x86_64", "arm64"); "unknown" when the system does not say.
std::string machineArchitecture();

}  // namespace vantlo::FeedbackSupport
