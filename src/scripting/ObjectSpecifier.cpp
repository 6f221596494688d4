#include "scripting/ObjectSpecifier.h"

namespace vantlo {

SpecifierStep SpecifierStep::atIndex(std::string elementClass, std::int64_t index) {
    SpecifierStep step;
    step.elementClass = std::move(elementClass);
    step.index = index;
    return step;
}

SpecifierStep SpecifierStep::withID(std::string elementClass, std::string id) {
    SpecifierStep step;
    step.elementClass = std::move(elementClass);
    step.by = By::id;
    step.id = std::move(id);
    return step;
}

ObjectSpecifier ObjectSpecifier::child(SpecifierStep step) const {
    ObjectSpecifier result = *this;
    result.path.push_back(std::move(step));
    return result;
}

std::string ObjectSpecifier::describe() const {
    std::string text;
    for (auto it = path.rbegin(); it != path.rend(); ++it) {
        text += it->elementClass;
        text +=
            it->by == SpecifierStep::By::index ? " " + std::to_string(it->index) : " id " + it->id;
        text += " of ";
    }
    return text + "application \"" + application + "\"";
}

bool elementPosition(std::int64_t index, std::size_t count, std::size_t& out) {
    auto size = static_cast<std::int64_t>(count);
    if (index >= 1 && index <= size) {
        out = static_cast<std::size_t>(index - 1);
        return true;
    }
    if (index <= -1 && index >= -size) {
        out = static_cast<std::size_t>(size + index);
        return true;
    }
    return false;
}

}  // namespace vantlo
