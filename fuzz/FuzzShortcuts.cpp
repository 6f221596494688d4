// Feeds arbitrary bytes to the in-panel shortcut overrides as the settings file stores them (a
// JSON object of action name to hot key, kept as data). Whatever the bytes: no crash; every one
// of the nine actions resolves to a binding; and a change to one action keeps every other
// override as it was read.

#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/FuzzCheck.h"
#include "fuzz/FuzzPlatform.h"
#include "input/ShortcutStore.h"

using namespace vantlo;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static FuzzPlatform fake;
    fake.reset();
    fake.defaults->set(ShortcutStore::defaultsKey, Data{{data, data + size}});

    auto overrides = ShortcutStore::all();
    auto resolved = ShortcutStore::allResolved();
    FUZZ_CHECK(resolved.size() == ShortcutActions::allCases().size());
    for (auto action : ShortcutActions::allCases()) {
        auto it = overrides.find(action);
        auto expected =
            it != overrides.end() ? it->second : ShortcutActions::defaultBinding(action);
        FUZZ_CHECK(ShortcutStore::binding(action) == expected);
    }

    // Changing one action rewrites the record; the others read back as they were.
    auto action = ShortcutActions::allCases()[size % ShortcutActions::allCases().size()];
    HotkeyConfig changed{static_cast<std::uint32_t>(size), CarbonModifiers::control};
    ShortcutStore::set(changed, action);
    auto expected = overrides;
    expected[action] = changed;
    FUZZ_CHECK(ShortcutStore::all() == expected);

    ShortcutStore::reset(action);
    expected.erase(action);
    FUZZ_CHECK(ShortcutStore::all() == expected);
    return 0;
}
