#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>

#include "platform/HotkeyConfig.h"
#include "platform/KeyCodeNames.h"
#include "testing/FakePlatform.h"

namespace vantlo {
namespace {

TEST(HotkeyConfig, JsonRoundTripKeepsBothFields) {
    for (HotkeyConfig config : {HotkeyConfig::defaultActivation(), HotkeyConfig{0, 0},
                                HotkeyConfig{13, 0x1900}, HotkeyConfig{4294967295u, 0x0300}}) {
        auto text = config.encode();
        auto json = nlohmann::json::parse(text);
        EXPECT_EQ(json.size(), 2u) << text;
        EXPECT_EQ(json["keyCode"], config.keyCode) << text;
        EXPECT_EQ(json["carbonModifiers"], config.carbonModifiers) << text;
        EXPECT_EQ(HotkeyConfig::decode(text), config) << text;
    }
}

TEST(HotkeyConfig, DecodingRejectsEveryBadShape) {
    const char* bad[] = {
        "",
        "not json",
        R"({"keyCode": 48)",
        R"([48, 2048])",
        R"(48)",
        R"({"keyCode": 48})",
        R"({"carbonModifiers": 2048})",
        R"({"keyCode": "48", "carbonModifiers": 2048})",
        R"({"keyCode": 48, "carbonModifiers": null})",
        R"({"keyCode": -1, "carbonModifiers": 2048})",
        R"({"keyCode": 48.5, "carbonModifiers": 2048})",
        R"({"keyCode": 48, "carbonModifiers": 4294967296})",
        R"({"keyCode": true, "carbonModifiers": 2048})",
    };
    for (const char* text : bad)
        EXPECT_EQ(HotkeyConfig::decode(text), std::nullopt) << "input " << text;
}

TEST(HotkeyConfig, DecodingIgnoresMemberOrderAndExtraMembers) {
    EXPECT_EQ(HotkeyConfig::decode(R"({"carbonModifiers": 2048, "keyCode": 0})"),
              (HotkeyConfig{0, 2048}));
    EXPECT_EQ(HotkeyConfig::decode(R"({"keyCode": 1, "carbonModifiers": 0, "note": "x"})"),
              (HotkeyConfig{1, 0}));
}

TEST(HotkeyConfig, EqualityComparesBothFields) {
    EXPECT_EQ((HotkeyConfig{48, 2048}), HotkeyConfig::defaultActivation());
    EXPECT_NE((HotkeyConfig{48, 0}), HotkeyConfig::defaultActivation());
    EXPECT_NE((HotkeyConfig{49, 2048}), HotkeyConfig::defaultActivation());
}

TEST(HotkeyConfig, DisplayStringPutsGlyphsInFixedOrder) {
    struct Case {
        HotkeyConfig config;
        const char* expected;
    } cases[] = {
        {HotkeyConfig::defaultActivation(), "⌥⇥"},
        {{13, 0x0800}, "⌥W"},
        {{36, 0}, "↩"},
        {{13, 0x1900}, "⌃⌥⌘W"},
        {{0, 0x1B00}, "⌃⌥⇧⌘A"},
        {{105, 0x0200}, "⇧Key#105"},
        {{53, 0x0800}, "⌥⎋"},
        {{111, 0x0100}, "⌘F12"},
        {{42, 0}, "\\"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.config.displayString(), c.expected)
            << "key " << c.config.keyCode << " modifiers " << c.config.carbonModifiers;
}

TEST(HotkeyConfig, EachPlatformsFactsWriteKeysTheirWay) {
    struct Case {
        HotkeyConfig config;
        const char* macOS;
        const char* linux;
    };
    using M = std::uint32_t;
    const Case cases[] = {
        {HotkeyConfig::defaultActivation(), "⌥⇥", "Alt+Tab"},
        {{13, 0x1900}, "⌃⌥⌘W", "Ctrl+Alt+Super+W"},
        {{40, M{CarbonModifiers::control | CarbonModifiers::shift}}, "⌃⇧K", "Ctrl+Shift+K"},
        {{KeyCode::space, CarbonModifiers::command}, "⌘Space", "Super+Space"},
        {{KeyCode::escape, CarbonModifiers::option}, "⌥⎋", "Alt+Esc"},
        {{KeyCode::returnKey, 0}, "↩", "Return"},
        {{KeyCode::downArrow, 0}, "↓", "Down"},
        {{KeyCode::deleteBackward, CarbonModifiers::shift}, "⇧⌫", "Shift+Backspace"},
        {{105, CarbonModifiers::option}, "⌥Key#105", "Alt+Key#105"},
    };
    {
        FakePlatform mac;
        EXPECT_EQ(mac.facts().keyLabelStyle, KeyLabelStyle::glyphs);
        for (const Case& c : cases)
            EXPECT_EQ(c.config.displayString(), c.macOS) << "macOS facts, " << c.linux;
    }
    {
        FakePlatform linux(FakePlatform::Facts::linux);
        EXPECT_EQ(linux.facts().keyLabelStyle, KeyLabelStyle::words);
        for (const Case& c : cases)
            EXPECT_EQ(c.config.displayString(), c.linux) << "Linux facts, " << c.macOS;
        EXPECT_EQ(HotkeyConfig::defaultActivation().displayString(KeyLabelStyle::glyphs), "⌥⇥")
            << "an explicit style wins over the facts";
    }
    EXPECT_EQ(HotkeyConfig::defaultActivation().displayString(), "⌥⇥")
        << "glyphs before any platform is installed";
    EXPECT_EQ(KeyCodeNames::modifierNames(0x1B00, KeyLabelStyle::words), "Ctrl+Alt+Shift+Super");
    EXPECT_EQ(KeyCodeNames::modifierNames(CarbonModifiers::option, KeyLabelStyle::glyphs), "⌥");
    EXPECT_EQ(KeyCodeNames::modifierNames(0, KeyLabelStyle::words), "");
}

TEST(KeyCodeNames, CoversTheWholeTableAndNamesUnknownCodes) {
    int named = 0;
    for (std::uint32_t code = 0; code < 256; ++code)
        if (KeyCodeNames::name(code).rfind("Key#", 0) != 0)
            ++named;
    EXPECT_EQ(named, 68);
    EXPECT_EQ(KeyCodeNames::name(0), "A") << "key code 0 is the letter A, not an empty binding";
    EXPECT_EQ(KeyCodeNames::name(49), "Space");
    EXPECT_EQ(KeyCodeNames::name(51), "⌫");
    EXPECT_EQ(KeyCodeNames::name(29), "0");
    EXPECT_EQ(KeyCodeNames::name(25), "9");
    EXPECT_EQ(KeyCodeNames::name(122), "F1");
    EXPECT_EQ(KeyCodeNames::name(50), "`");
    EXPECT_EQ(KeyCodeNames::name(105), "Key#105");
    EXPECT_EQ(KeyCodeNames::name(117), "Key#117") << "forward delete has no name";
    EXPECT_EQ(KeyCodeNames::name(4000000000u), "Key#4000000000");
}

TEST(ModifierFlags, CarbonFlagsConvertOnlyTheFourModifiers) {
    EXPECT_EQ(carbonFlags(ModifierFlags::capsLock | ModifierFlags::option), 0x0800u);
    EXPECT_EQ(carbonFlags(ModifierFlags::shift), 0x0200u);
    EXPECT_EQ(carbonFlags(ModifierFlags::control), 0x1000u);
    EXPECT_EQ(carbonFlags(ModifierFlags::command), 0x0100u);
    EXPECT_EQ(carbonFlags(ModifierFlags::relevantMask), 0x1B00u);
    EXPECT_EQ(
        carbonFlags(ModifierFlags::function | ModifierFlags::numericPad | ModifierFlags::capsLock),
        0u);
}

TEST(HotkeyConfig, MatchesEventsByKeyAndExactModifiers) {
    HotkeyConfig optionW{13, 0x0800};
    EXPECT_TRUE(optionW.matchesEvent(13, ModifierFlags::option));
    EXPECT_TRUE(optionW.matchesEvent(13, ModifierFlags::option | ModifierFlags::capsLock))
        << "caps lock is ignored";
    EXPECT_FALSE(optionW.matchesEvent(13, ModifierFlags::option | ModifierFlags::shift));
    EXPECT_FALSE(optionW.matchesEvent(13, 0));
    EXPECT_FALSE(optionW.matchesEvent(1, ModifierFlags::option));

    EXPECT_TRUE((HotkeyConfig{36, 0}).matchesEvent(36, 0)) << "plain Return";
    EXPECT_TRUE((HotkeyConfig{53, 0}).matchesEvent(53, ModifierFlags::capsLock)) << "plain Escape";
    EXPECT_TRUE((HotkeyConfig{125, 0}).matchesEvent(125, ModifierFlags::numericPad))
        << "plain arrow";
    EXPECT_FALSE((HotkeyConfig{13, 0}).matchesEvent(13, 0))
        << "a plain letter is text, never a binding";
}

}  // namespace
}  // namespace vantlo
