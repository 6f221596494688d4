#include "input/HotkeyStore.h"

#include <string>

#include "platform/Platform.h"

namespace vantlo {

HotkeyConfig HotkeyStore::current() {
    auto data = platform().defaults->data(defaultsKey);
    if (!data)
        return HotkeyConfig::defaultActivation();
    std::string text(data->bytes.begin(), data->bytes.end());
    return HotkeyConfig::decode(text).value_or(HotkeyConfig::defaultActivation());
}

void HotkeyStore::setCurrent(const HotkeyConfig& config) {
    auto text = config.encode();
    platform().defaults->set(defaultsKey, Data{{text.begin(), text.end()}});
    platform().notifications->post(changedNotification);
}

}  // namespace vantlo
