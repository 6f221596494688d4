#pragma once
// The "n above" / "n below" lines around the windowed list of a long window group.

#include <optional>
#include <string>

#include "switcher/layout/SwitcherLayout.h"

namespace vantlo {

struct BoundaryHints {
    std::optional<std::string> above;
    std::optional<std::string> below;

    // For the rows `shown` of a list of `count` rows; each hint only when rows are hidden there.
    static BoundaryHints make(const IndexRange& shown, int count);
};

}  // namespace vantlo
