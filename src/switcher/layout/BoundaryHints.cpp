#include "switcher/layout/BoundaryHints.h"

#include "settings/Localization.h"

namespace vantlo {

BoundaryHints BoundaryHints::make(const IndexRange& shown, int count) {
    BoundaryHints hints;
    const int hiddenAbove = shown.start;
    const int hiddenBelow = count - shown.end;
    if (hiddenAbove >= 1)
        hints.above = localizedFormat("%d above", {std::int64_t{hiddenAbove}});
    if (hiddenBelow >= 1)
        hints.below = localizedFormat("%d below", {std::int64_t{hiddenBelow}});
    return hints;
}

}  // namespace vantlo
