#include "platform/KeyCodeNames.h"

#include <unordered_map>

#include "platform/KeyCodes.h"
#include "platform/ModifierFlags.h"

namespace vantlo::KeyCodeNames {
namespace {

using NameTable = std::unordered_map<std::uint32_t, std::string>;

NameTable buildTable() {
    // clang-format off
    return {
        // Special keys
        {48, "⇥"}, {49, "Space"}, {36, "↩"}, {53, "⎋"}, {51, "⌫"},
        {123, "←"}, {124, "→"}, {126, "↑"}, {125, "↓"},
        // Letters
        {0, "A"}, {11, "B"}, {8, "C"}, {2, "D"}, {14, "E"}, {3, "F"}, {5, "G"}, {4, "H"},
        {34, "I"}, {38, "J"}, {40, "K"}, {37, "L"}, {46, "M"}, {45, "N"}, {31, "O"}, {35, "P"},
        {12, "Q"}, {15, "R"}, {1, "S"}, {17, "T"}, {32, "U"}, {9, "V"}, {13, "W"}, {7, "X"},
        {16, "Y"}, {6, "Z"},
        // Digits
        {29, "0"}, {18, "1"}, {19, "2"}, {20, "3"}, {21, "4"}, {23, "5"}, {22, "6"}, {26, "7"},
        {28, "8"}, {25, "9"},
        // Function keys
        {122, "F1"}, {120, "F2"}, {99, "F3"}, {118, "F4"}, {96, "F5"}, {97, "F6"}, {98, "F7"},
        {100, "F8"}, {101, "F9"}, {109, "F10"}, {103, "F11"}, {111, "F12"},
        // Punctuation
        {50, "`"}, {27, "-"}, {24, "="}, {33, "["}, {30, "]"}, {42, "\\"}, {41, ";"}, {39, "'"},
        {43, ","}, {47, "."}, {44, "/"},
    };
    // clang-format on
}

// Built once, on first use from any thread (function-local statics initialise exactly once).
const NameTable& table() {
    static const NameTable names = buildTable();
    return names;
}

}  // namespace

std::string name(std::uint32_t keyCode, KeyLabelStyle style) {
    if (style == KeyLabelStyle::words) {
        static const NameTable words = {
            {KeyCode::tab, "Tab"},        {KeyCode::returnKey, "Return"},
            {KeyCode::escape, "Esc"},     {KeyCode::deleteBackward, "Backspace"},
            {KeyCode::leftArrow, "Left"}, {KeyCode::rightArrow, "Right"},
            {KeyCode::upArrow, "Up"},     {KeyCode::downArrow, "Down"},
        };
        if (auto it = words.find(keyCode); it != words.end())
            return it->second;
    }
    const auto& names = table();
    if (auto it = names.find(keyCode); it != names.end())
        return it->second;
    return "Key#" + std::to_string(keyCode);
}

std::string modifierNames(std::uint32_t carbonModifiers, KeyLabelStyle style) {
    struct Modifier {
        std::uint32_t bit;
        const char* glyph;
        const char* word;
    };
    static constexpr Modifier order[] = {
        {CarbonModifiers::control, "⌃", "Ctrl"},
        {CarbonModifiers::option, "⌥", "Alt"},
        {CarbonModifiers::shift, "⇧", "Shift"},
        {CarbonModifiers::command, "⌘", "Super"},
    };
    std::string text;
    for (const Modifier& modifier : order) {
        if (!(carbonModifiers & modifier.bit))
            continue;
        if (style == KeyLabelStyle::glyphs) {
            text += modifier.glyph;
        } else {
            if (!text.empty())
                text += "+";
            text += modifier.word;
        }
    }
    return text;
}

}  // namespace vantlo::KeyCodeNames
