#include "input/HotkeyStore.h"

#include <mutex>
#include <string>

#include "platform/Platform.h"

namespace vantlo {
namespace {

constexpr std::uint32_t kAnyModifier = CarbonModifiers::command | CarbonModifiers::shift |
                                       CarbonModifiers::option | CarbonModifiers::control;

// One line per refused value, not one per reading.
void logRefusedOnce(const std::string& text) {
    static std::mutex mutex;
    static std::string lastLogged;
    {
        std::lock_guard lock(mutex);
        if (lastLogged == text)
            return;
        lastLogged = text;
    }
    if (platform().log)
        platform().log->write("[Vantlo] The stored hot key " + text +
                              " has no modifier or no real key; using the default instead.");
}

}  // namespace

bool HotkeyStore::isUsable(const HotkeyConfig& config) {
    return config.keyCode <= KeyCode::highest && (config.carbonModifiers & kAnyModifier) != 0;
}

HotkeyConfig HotkeyStore::current() {
    auto data = platform().defaults->data(defaultsKey);
    if (!data)
        return HotkeyConfig::defaultActivation();
    std::string text(data->bytes.begin(), data->bytes.end());
    auto decoded = HotkeyConfig::decode(text);
    if (!decoded)
        return HotkeyConfig::defaultActivation();
    if (!isUsable(*decoded)) {
        logRefusedOnce(text);
        return HotkeyConfig::defaultActivation();
    }
    return *decoded;
}

void HotkeyStore::setCurrent(const HotkeyConfig& config) {
    auto text = config.encode();
    platform().defaults->set(defaultsKey, Data{{text.begin(), text.end()}});
    platform().notifications->post(changedNotification);
}

}  // namespace vantlo
