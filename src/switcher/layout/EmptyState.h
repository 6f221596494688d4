#pragma once
// What the switcher list shows when it has no rows: either nothing could be listed at all (with a
// hint at the likely cause) or the query matched nothing.

#include <optional>
#include <string>

namespace vantlo {

struct EmptyState {
    std::string symbol;
    std::string title;
    std::string hint;  // may be empty
    bool noItems = false;

    // Nothing when the list has rows. `hasItems` is whether the model holds any item at all.
    static std::optional<EmptyState> make(bool hasItems, int visibleCount, const std::string& query,
                                          bool accessibilityTrusted);
};

}  // namespace vantlo
