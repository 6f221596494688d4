#include "discovery/AXWindowInspector.h"

#include "platform/AXNames.h"
#include "platform/Platform.h"

namespace vantlo::AXWindowInspector {

AXElementRef closeButton(const AXElementRef& window) {
    if (!window)
        return nullptr;
    auto& ax = *platform().accessibility;
    auto button = ax.copyAttribute(window, AX::closeButton).asElement();
    if (!button)
        return nullptr;
    if (ax.copyAttribute(button, AX::enabled).asBool() == false)
        return nullptr;
    return button;
}

}  // namespace vantlo::AXWindowInspector
