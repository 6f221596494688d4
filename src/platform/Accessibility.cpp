#include "platform/Accessibility.h"

namespace vantlo {

std::optional<std::string> AXResult::asString() const {
    if (error != AXError::success || !value)
        return std::nullopt;
    if (auto* s = std::get_if<std::string>(&*value))
        return *s;
    return std::nullopt;
}

std::optional<bool> AXResult::asBool() const {
    if (error != AXError::success || !value)
        return std::nullopt;
    if (auto* b = std::get_if<bool>(&*value))
        return *b;
    return std::nullopt;
}

AXElementRef AXResult::asElement() const {
    if (error != AXError::success || !value)
        return nullptr;
    if (auto* e = std::get_if<AXElementRef>(&*value))
        return *e;
    return nullptr;
}

std::optional<std::vector<AXElementRef>> AXResult::asElements() const {
    if (error != AXError::success || !value)
        return std::nullopt;
    if (auto* list = std::get_if<std::vector<AXElementRef>>(&*value))
        return *list;
    return std::nullopt;
}

}  // namespace vantlo
