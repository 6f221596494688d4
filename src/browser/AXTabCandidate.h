#pragma once
// A tab-like control found in a browser window's Accessibility tree.

#include <string>

#include "platform/Accessibility.h"

namespace vantlo {

struct AXTabCandidate {
    AXElementRef element;
    std::string title;  // trimmed
    bool selected = false;
};

}  // namespace vantlo
