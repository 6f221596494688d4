// Feeds arbitrary bytes to the activation hot key as the settings file stores it (JSON text kept
// as data). Whatever the bytes: no crash; the stored hot key reads as the decoded one or, when it
// does not decode, as the default; a decoded hot key round-trips through its JSON form, and its
// display name and event matching work for any key code and modifier mask.

#include <cstddef>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>

#include "fuzz/FuzzCheck.h"
#include "fuzz/FuzzPlatform.h"
#include "input/HotkeyStore.h"

using namespace vantlo;

namespace {

std::uint64_t eventFlagsFor(std::uint32_t carbon) {
    std::uint64_t flags = 0;
    if (carbon & CarbonModifiers::shift)
        flags |= ModifierFlags::shift;
    if (carbon & CarbonModifiers::control)
        flags |= ModifierFlags::control;
    if (carbon & CarbonModifiers::option)
        flags |= ModifierFlags::option;
    if (carbon & CarbonModifiers::command)
        flags |= ModifierFlags::command;
    return flags;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static FuzzPlatform fake;
    fake.reset();
    std::string text(reinterpret_cast<const char*>(data), size);
    fake.defaults->set(HotkeyStore::defaultsKey, Data{{data, data + size}});

    auto decoded = HotkeyConfig::decode(text);
    auto current = HotkeyStore::current();
    // A stored key without a modifier or without a real key is refused for the default.
    auto usable = decoded && HotkeyStore::isUsable(*decoded) ? decoded : std::nullopt;
    FUZZ_CHECK(current == usable.value_or(HotkeyConfig::defaultActivation()));
    if (!decoded)
        return 0;

    FUZZ_CHECK(HotkeyConfig::decode(decoded->encode()) == decoded);
    FUZZ_CHECK(HotkeyConfig::fromJson(decoded->toJson()) == decoded);
    FUZZ_CHECK(!decoded->displayString().empty());
    // A binding of known modifier bits matches the key event that carries them (a bare key only
    // where bare keys may be bound); other keys never match.
    std::uint64_t flags = eventFlagsFor(decoded->carbonModifiers);
    bool expressible = carbonFlags(flags) == decoded->carbonModifiers &&
                       (flags != 0 || KeyCode::isPlainBindableKey(decoded->keyCode));
    FUZZ_CHECK(decoded->matchesEvent(decoded->keyCode, flags | ModifierFlags::capsLock) ==
               expressible);
    FUZZ_CHECK(!decoded->matchesEvent(decoded->keyCode + 1, flags));

    HotkeyStore::setCurrent(*decoded);
    FUZZ_CHECK(HotkeyStore::current() == usable.value_or(HotkeyConfig::defaultActivation()));
    return 0;
}
