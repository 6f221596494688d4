#include "ui/switcher/QtKeyTranslation.h"

#include <unordered_map>

#include "platform/KeyCodes.h"
#include "platform/ModifierFlags.h"

namespace vantlo::QtKeyTranslation {
namespace {

// Linux input-event codes to virtual key codes, US key positions.
const std::unordered_map<quint32, std::uint16_t>& evdevTable() {
    static const std::unordered_map<quint32, std::uint16_t> table = {
        {1, 53},    {2, 18},    {3, 19},    {4, 20},    {5, 21},    {6, 23},    {7, 22},
        {8, 26},    {9, 28},    {10, 25},   {11, 29},   {12, 27},   {13, 24},   {14, 51},
        {15, 48},   {16, 12},   {17, 13},   {18, 14},   {19, 15},   {20, 17},   {21, 16},
        {22, 32},   {23, 34},   {24, 31},   {25, 35},   {26, 33},   {27, 30},   {28, 36},
        {30, 0},    {31, 1},    {32, 2},    {33, 3},    {34, 5},    {35, 4},    {36, 38},
        {37, 40},   {38, 37},   {39, 41},   {40, 39},   {41, 50},   {43, 42},   {44, 6},
        {45, 7},    {46, 8},    {47, 9},    {48, 11},   {49, 45},   {50, 46},   {51, 43},
        {52, 47},   {53, 44},   {57, 49},   {59, 122},  {60, 120},  {61, 99},   {62, 118},
        {63, 96},   {64, 97},   {65, 98},   {66, 100},  {67, 101},  {68, 109},  {87, 103},
        {88, 111},  {96, 76},   {102, 115}, {103, 126}, {104, 116}, {105, 123}, {106, 124},
        {107, 119}, {108, 125}, {109, 121}, {110, 114}, {111, 117},
    };
    return table;
}

}  // namespace

std::optional<std::uint16_t> fromX11KeyCode(quint32 keyCode) {
    if (keyCode < 8)
        return std::nullopt;
    const auto& table = evdevTable();
    auto found = table.find(keyCode - 8);
    if (found == table.end())
        return std::nullopt;
    return found->second;
}

std::optional<std::uint16_t> fromQtKey(int key) {
    static const std::unordered_map<int, std::uint16_t> special = {
        {Qt::Key_Return, KeyCode::returnKey},
        {Qt::Key_Enter, KeyCode::keypadEnter},
        {Qt::Key_Tab, KeyCode::tab},
        {Qt::Key_Backtab, KeyCode::tab},
        {Qt::Key_Escape, KeyCode::escape},
        {Qt::Key_Space, KeyCode::space},
        {Qt::Key_Backspace, KeyCode::deleteBackward},
        {Qt::Key_Left, KeyCode::leftArrow},
        {Qt::Key_Right, KeyCode::rightArrow},
        {Qt::Key_Up, KeyCode::upArrow},
        {Qt::Key_Down, KeyCode::downArrow},
        {Qt::Key_Delete, KeyCode::forwardDelete},
        {Qt::Key_Home, KeyCode::home},
        {Qt::Key_End, KeyCode::end},
        {Qt::Key_PageUp, 116},
        {Qt::Key_PageDown, 121},
    };
    auto found = special.find(key);
    if (found != special.end())
        return found->second;
    // Letters and digits by their US key positions.
    static const std::uint16_t letters[26] = {0,  11, 8,  2,  14, 3, 5,  4,  34, 38, 40, 37, 46,
                                              45, 31, 35, 12, 15, 1, 17, 32, 9,  13, 7,  16, 6};
    static const std::uint16_t digits[10] = {29, 18, 19, 20, 21, 23, 22, 26, 28, 25};
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return letters[key - Qt::Key_A];
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return digits[key - Qt::Key_0];
    return std::nullopt;
}

std::uint64_t modifierFlags(Qt::KeyboardModifiers modifiers) {
    std::uint64_t flags = 0;
    if (modifiers & Qt::ShiftModifier)
        flags |= ModifierFlags::shift;
    if (modifiers & Qt::ControlModifier)
        flags |= ModifierFlags::control;
    if (modifiers & Qt::AltModifier)
        flags |= ModifierFlags::option;
    if (modifiers & Qt::MetaModifier)
        flags |= ModifierFlags::command;
    if (modifiers & Qt::KeypadModifier)
        flags |= ModifierFlags::numericPad;
    return flags;
}

Qt::KeyboardModifiers qtModifiers(std::uint64_t flags) {
    Qt::KeyboardModifiers modifiers;
    if (flags & ModifierFlags::shift)
        modifiers |= Qt::ShiftModifier;
    if (flags & ModifierFlags::control)
        modifiers |= Qt::ControlModifier;
    if (flags & ModifierFlags::option)
        modifiers |= Qt::AltModifier;
    if (flags & ModifierFlags::command)
        modifiers |= Qt::MetaModifier;
    return modifiers;
}

std::optional<KeyEvent> translate(const QKeyEvent& event) {
    std::optional<std::uint16_t> code;
    if (event.nativeScanCode() != 0)
        code = fromX11KeyCode(event.nativeScanCode());
    if (!code)
        code = fromQtKey(event.key());
    if (!code)
        return std::nullopt;
    KeyEvent result;
    result.keyCode = *code;
    result.modifierFlags = modifierFlags(event.modifiers());
    result.characters = event.text().toStdString();
    return result;
}

}  // namespace vantlo::QtKeyTranslation
