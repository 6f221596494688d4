#include "core/SwitchItem.h"

namespace vantlo {

const Uuid& SwitchItem::id() const {
    return std::visit([](const auto& payload) -> const Uuid& { return payload.id; }, payload_);
}

std::size_t SwitchItem::hash() const {
    std::size_t seed = static_cast<std::size_t>(kind());
    return seed * 0x9E3779B97F4A7C15ull ^ id().hash();
}

}  // namespace vantlo
