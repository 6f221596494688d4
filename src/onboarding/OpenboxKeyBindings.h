#pragma once
// Openbox's Alt+Tab lives in its rc.xml as a <keybind key="A-Tab"> element of <keyboard>. These
// edit that text and nothing else: comments, the other bindings and the layout stay as written.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantlo::OpenboxKeyBindings {

struct Released {
    std::string text;
    // The removed elements as they were written, each with its indentation and line end.
    std::vector<std::string> removed;
};

// Whether an Openbox key attribute names Alt+Tab: "A-Tab", "Mod1-Tab", any case of the key.
bool isAltTab(std::string_view key);
// The text without its top-level Alt+Tab bindings (inside comments nothing counts); nothing when
// it has none.
std::optional<Released> withoutAltTab(const std::string& rcXml);
// Puts removed bindings back at the end of <keyboard>. A text that binds Alt+Tab again by now is
// returned as it is; nothing when it has no </keyboard> to put them in.
std::optional<std::string> withRestored(const std::string& rcXml,
                                        const std::vector<std::string>& removed);

}  // namespace vantlo::OpenboxKeyBindings
