#include "platform/linux/X11Keymap.h"

#include <X11/keysym.h>
// xkb.h names a member "explicit", a C++ keyword.
#define explicit explicit_
#include <xcb/xkb.h>
#undef explicit

#include <xkbcommon/xkbcommon.h>

#include <cstring>

#include "platform/KeyCodes.h"
#include "platform/linux/XcbReply.h"

namespace vantlo {
namespace {

struct KeyEntry {
    std::uint32_t macCode;
    xcb_keysym_t keysym;
    const char* name;
};

// The XKB name of each key position the key-name table knows.
struct PositionEntry {
    std::uint32_t macCode;
    const char* position;
};

constexpr PositionEntry kPositions[] = {
    {48, "TAB"},   {49, "SPCE"},  {36, "RTRN"},  {53, "ESC"},   {51, "BKSP"},  {123, "LEFT"},
    {124, "RGHT"}, {126, "UP"},   {125, "DOWN"}, {0, "AC01"},   {11, "AB05"},  {8, "AB03"},
    {2, "AC03"},   {14, "AD03"},  {3, "AC04"},   {5, "AC05"},   {4, "AC06"},   {34, "AD08"},
    {38, "AC07"},  {40, "AC08"},  {37, "AC09"},  {46, "AB07"},  {45, "AB06"},  {31, "AD09"},
    {35, "AD10"},  {12, "AD01"},  {15, "AD04"},  {1, "AC02"},   {17, "AD05"},  {32, "AD07"},
    {9, "AB04"},   {13, "AD02"},  {7, "AB02"},   {16, "AD06"},  {6, "AB01"},   {29, "AE10"},
    {18, "AE01"},  {19, "AE02"},  {20, "AE03"},  {21, "AE04"},  {23, "AE05"},  {22, "AE06"},
    {26, "AE07"},  {28, "AE08"},  {25, "AE09"},  {122, "FK01"}, {120, "FK02"}, {99, "FK03"},
    {118, "FK04"}, {96, "FK05"},  {97, "FK06"},  {98, "FK07"},  {100, "FK08"}, {101, "FK09"},
    {109, "FK10"}, {103, "FK11"}, {111, "FK12"}, {50, "TLDE"},  {27, "AE11"},  {24, "AE12"},
    {33, "AD11"},  {30, "AD12"},  {42, "BKSL"},  {41, "AC10"},  {39, "AC11"},  {43, "AB08"},
    {47, "AB09"},  {44, "AB10"},  {76, "KPEN"},
};

constexpr std::uint16_t kMapChanges =
    XCB_XKB_EVENT_TYPE_NEW_KEYBOARD_NOTIFY | XCB_XKB_EVENT_TYPE_MAP_NOTIFY;
constexpr std::uint16_t kMapParts =
    XCB_XKB_MAP_PART_KEY_TYPES | XCB_XKB_MAP_PART_KEY_SYMS | XCB_XKB_MAP_PART_MODIFIER_MAP;

std::uint8_t xkbFirstEvent(xcb_connection_t* c) {
    auto use = own(xcb_xkb_use_extension_reply(c, xcb_xkb_use_extension(c, 1, 0), nullptr));
    if (!use || !use->supported)
        return 0;
    const xcb_query_extension_reply_t* xkb = xcb_get_extension_data(c, &xcb_xkb_id);
    return xkb && xkb->present ? xkb->first_event : 0;
}

// Every key of the key-name table, plus the keypad's Enter.
constexpr KeyEntry kKeys[] = {
    {48, XK_Tab, "Tab"},
    {49, XK_space, "Space"},
    {36, XK_Return, "Return"},
    {53, XK_Escape, "Escape"},
    {51, XK_BackSpace, "Backspace"},
    {123, XK_Left, "Left"},
    {124, XK_Right, "Right"},
    {126, XK_Up, "Up"},
    {125, XK_Down, "Down"},
    {0, XK_a, "A"},
    {11, XK_b, "B"},
    {8, XK_c, "C"},
    {2, XK_d, "D"},
    {14, XK_e, "E"},
    {3, XK_f, "F"},
    {5, XK_g, "G"},
    {4, XK_h, "H"},
    {34, XK_i, "I"},
    {38, XK_j, "J"},
    {40, XK_k, "K"},
    {37, XK_l, "L"},
    {46, XK_m, "M"},
    {45, XK_n, "N"},
    {31, XK_o, "O"},
    {35, XK_p, "P"},
    {12, XK_q, "Q"},
    {15, XK_r, "R"},
    {1, XK_s, "S"},
    {17, XK_t, "T"},
    {32, XK_u, "U"},
    {9, XK_v, "V"},
    {13, XK_w, "W"},
    {7, XK_x, "X"},
    {16, XK_y, "Y"},
    {6, XK_z, "Z"},
    {29, XK_0, "0"},
    {18, XK_1, "1"},
    {19, XK_2, "2"},
    {20, XK_3, "3"},
    {21, XK_4, "4"},
    {23, XK_5, "5"},
    {22, XK_6, "6"},
    {26, XK_7, "7"},
    {28, XK_8, "8"},
    {25, XK_9, "9"},
    {122, XK_F1, "F1"},
    {120, XK_F2, "F2"},
    {99, XK_F3, "F3"},
    {118, XK_F4, "F4"},
    {96, XK_F5, "F5"},
    {97, XK_F6, "F6"},
    {98, XK_F7, "F7"},
    {100, XK_F8, "F8"},
    {101, XK_F9, "F9"},
    {109, XK_F10, "F10"},
    {103, XK_F11, "F11"},
    {111, XK_F12, "F12"},
    {50, XK_grave, "`"},
    {27, XK_minus, "-"},
    {24, XK_equal, "="},
    {33, XK_bracketleft, "["},
    {30, XK_bracketright, "]"},
    {42, XK_backslash, "\\"},
    {41, XK_semicolon, ";"},
    {39, XK_apostrophe, "'"},
    {43, XK_comma, ","},
    {47, XK_period, "."},
    {44, XK_slash, "/"},
    {76, XK_KP_Enter, "Enter"},
};

void appendUtf8(std::string& out, std::uint32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// The character a keysym stands for, the way macOS reports it; 0 when it has none.
std::uint32_t characterOf(xcb_keysym_t keysym) {
    switch (keysym) {
        case XK_Return:
        case XK_KP_Enter:
            return '\r';
        case XK_Tab:
        case XK_ISO_Left_Tab:
            return '\t';
        case XK_Escape:
            return 0x1b;
        case XK_BackSpace:
            return 0x7f;
        case XK_Up:
            return FunctionKeyCharacter::upArrow;
        case XK_Down:
            return FunctionKeyCharacter::downArrow;
        case XK_Left:
            return FunctionKeyCharacter::leftArrow;
        case XK_Right:
            return FunctionKeyCharacter::rightArrow;
        default:
            break;
    }
    if (keysym >= XK_F1 && keysym <= XK_F12)
        return FunctionKeyCharacter::f1 + (keysym - XK_F1);
    // Every other layout's letters (Cyrillic, Greek, the Latin supplements, Unicode keysyms),
    // through xkbcommon's table; control characters are no text.
    std::uint32_t c = xkb_keysym_to_utf32(keysym);
    return c >= 0x20 && c != 0x7f ? c : 0;
}

}  // namespace

std::unique_ptr<X11Keymap> X11Keymap::load(XcbConnection& connection) {
    auto* c = connection.get();
    std::unique_ptr<X11Keymap> map(new X11Keymap());
    auto modifierCookie = xcb_get_modifier_mapping(c);
    map->symbols_ = xcb_key_symbols_alloc(c);
    auto modifiers = own(xcb_get_modifier_mapping_reply(c, modifierCookie, nullptr));
    if (map->symbols_ == nullptr || !modifiers)
        return nullptr;
    int perModifier = modifiers->keycodes_per_modifier;
    xcb_keycode_t* codes = xcb_get_modifier_mapping_keycodes(modifiers.get());
    for (int m = 0; m < 8; ++m) {
        for (int k = 0; k < perModifier; ++k) {
            if (xcb_keycode_t code = codes[m * perModifier + k]; code != 0)
                map->modifierKeys_[m].push_back(code);
        }
    }
    map->mapKeyPositions(connection);
    map->mapRemainingKeysBySymbol();
    map->alt_ = map->maskHolding(XK_Alt_L);
    if (map->alt_ == 0)
        map->alt_ = map->maskHolding(XK_Meta_L);
    map->super_ = map->maskHolding(XK_Super_L);
    map->numLock_ = map->maskHolding(XK_Num_Lock);
    map->scrollLock_ = map->maskHolding(XK_Scroll_Lock);
    map->levelThree_ = map->maskHolding(XK_ISO_Level3_Shift);
    return map;
}

// Bindings name key positions: read where each position is from the XKB key names.
void X11Keymap::mapKeyPositions(XcbConnection& connection) {
    auto* c = connection.get();
    if (xkbFirstEvent(c) == 0)
        return;
    auto names = own(xcb_xkb_get_names_reply(
        c, xcb_xkb_get_names(c, XCB_XKB_ID_USE_CORE_KBD, XCB_XKB_NAME_DETAIL_KEY_NAMES), nullptr));
    if (!names)
        return;
    xcb_xkb_get_names_value_list_t list{};
    xcb_xkb_get_names_value_list_unpack(xcb_xkb_get_names_value_list(names.get()), names->nTypes,
                                        names->indicators, names->virtualMods, names->groupNames,
                                        names->nKeys, names->nKeyAliases, names->nRadioGroups,
                                        names->which, &list);
    if (list.keyNames == nullptr)
        return;
    for (int i = 0; i < names->nKeys; ++i) {
        const char* raw = list.keyNames[i].name;
        std::string name(raw, strnlen(raw, sizeof(list.keyNames[i].name)));
        for (const auto& entry : kPositions) {
            if (name == entry.position) {
                auto keycode = static_cast<xcb_keycode_t>(names->firstKey + i);
                byMacCode_.emplace(entry.macCode, keycode);
                byKeycode_.emplace(keycode, static_cast<std::uint16_t>(entry.macCode));
            }
        }
    }
}

// Without XKB names, a key is found by the symbol a US keyboard has on it.
void X11Keymap::mapRemainingKeysBySymbol() {
    for (const auto& key : kKeys) {
        if (byMacCode_.count(key.macCode) != 0)
            continue;
        XcbReply<xcb_keycode_t> found(xcb_key_symbols_get_keycode(symbols_, key.keysym));
        if (found && found.get()[0] != XCB_NO_SYMBOL && byKeycode_.count(found.get()[0]) == 0) {
            byMacCode_[key.macCode] = found.get()[0];
            byKeycode_.emplace(found.get()[0], static_cast<std::uint16_t>(key.macCode));
        }
    }
}

std::uint8_t X11Keymap::watchChanges(XcbConnection& connection) {
    auto* c = connection.get();
    std::uint8_t first = xkbFirstEvent(c);
    if (first != 0) {
        xcb_xkb_select_events(c, XCB_XKB_ID_USE_CORE_KBD, kMapChanges, 0, kMapChanges, kMapParts,
                              kMapParts, nullptr);
        connection.flush();
    }
    return first;
}

bool X11Keymap::isChangeEvent(const xcb_generic_event_t& event, std::uint8_t xkbFirstEvent) {
    std::uint8_t type = event.response_type & 0x7f;
    if (type == XCB_MAPPING_NOTIFY)
        return true;
    if (xkbFirstEvent == 0 || type != xkbFirstEvent)
        return false;
    // The XKB event's own type sits in the second byte.
    return event.pad0 == XCB_XKB_NEW_KEYBOARD_NOTIFY || event.pad0 == XCB_XKB_MAP_NOTIFY;
}

X11Keymap::~X11Keymap() {
    if (symbols_ != nullptr)
        xcb_key_symbols_free(symbols_);
}

std::uint16_t X11Keymap::maskHolding(xcb_keysym_t keysym) const {
    XcbReply<xcb_keycode_t> found(xcb_key_symbols_get_keycode(symbols_, keysym));
    if (!found)
        return 0;
    for (const xcb_keycode_t* code = found.get(); *code != XCB_NO_SYMBOL; ++code) {
        for (int m = 0; m < 8; ++m) {
            for (xcb_keycode_t held : modifierKeys_[m]) {
                if (held == *code)
                    return static_cast<std::uint16_t>(1 << m);
            }
        }
    }
    return 0;
}

std::optional<xcb_keycode_t> X11Keymap::keycodeFor(std::uint32_t macKeyCode) const {
    auto it = byMacCode_.find(macKeyCode);
    if (it == byMacCode_.end())
        return std::nullopt;
    return it->second;
}

std::optional<std::uint16_t> X11Keymap::macKeyCodeFor(xcb_keycode_t keycode) const {
    auto it = byKeycode_.find(keycode);
    if (it == byKeycode_.end())
        return std::nullopt;
    return it->second;
}

std::string X11Keymap::keyName(std::uint32_t macKeyCode) const {
    for (const auto& key : kKeys) {
        if (key.macCode == macKeyCode)
            return key.name;
    }
    return "key " + std::to_string(macKeyCode);
}

std::optional<std::uint16_t> X11Keymap::modifiersForCarbon(std::uint32_t carbon) const {
    std::uint16_t mask = 0;
    if (carbon & CarbonModifiers::shift)
        mask |= XCB_MOD_MASK_SHIFT;
    if (carbon & CarbonModifiers::control)
        mask |= XCB_MOD_MASK_CONTROL;
    if (carbon & CarbonModifiers::option) {
        if (alt_ == 0)
            return std::nullopt;
        mask |= alt_;
    }
    if (carbon & CarbonModifiers::command) {
        if (super_ == 0)
            return std::nullopt;
        mask |= super_;
    }
    return mask;
}

std::vector<std::uint16_t> X11Keymap::lockMasks() const {
    std::vector<std::uint16_t> locks{XCB_MOD_MASK_LOCK};
    if (numLock_ != 0)
        locks.push_back(numLock_);
    if (scrollLock_ != 0)
        locks.push_back(scrollLock_);
    return locks;
}

std::uint16_t X11Keymap::relevantMask() const {
    return XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_CONTROL | alt_ | super_;
}

std::uint64_t X11Keymap::flagsForState(std::uint16_t state) const {
    std::uint64_t flags = 0;
    if (state & XCB_MOD_MASK_LOCK)
        flags |= ModifierFlags::capsLock;
    if (state & XCB_MOD_MASK_SHIFT)
        flags |= ModifierFlags::shift;
    if (state & XCB_MOD_MASK_CONTROL)
        flags |= ModifierFlags::control;
    if (alt_ != 0 && (state & alt_))
        flags |= ModifierFlags::option;
    if (super_ != 0 && (state & super_))
        flags |= ModifierFlags::command;
    return flags;
}

std::uint64_t X11Keymap::flagsForPressedKeys(const std::uint8_t keys[32]) const {
    std::uint16_t state = 0;
    for (int m = 0; m < 8; ++m) {
        // The lock modifier is a toggle, not a held key.
        if (m == 1)
            continue;
        for (xcb_keycode_t code : modifierKeys_[m]) {
            if (keys[code / 8] & (1 << (code % 8)))
                state |= static_cast<std::uint16_t>(1 << m);
        }
    }
    return flagsForState(state);
}

bool X11Keymap::isModifierKey(xcb_keycode_t keycode) const {
    for (const auto& codes : modifierKeys_) {
        for (xcb_keycode_t code : codes) {
            if (code == keycode)
                return true;
        }
    }
    return false;
}

// The core mapping lists a key's symbols as group 1 levels 1-2, group 2 levels 1-2, group 1
// levels 3-4, group 2 levels 3-4, then the further groups; the event state carries the group in
// bits 13-14.
xcb_keysym_t X11Keymap::keysymAt(xcb_keycode_t keycode, std::uint16_t state) const {
    const int group = (state >> 13) & 3;
    const int shift = (state & XCB_MOD_MASK_SHIFT) ? 1 : 0;
    const bool levelThree = levelThree_ != 0 && (state & levelThree_);
    int column = group < 2 ? 2 * group : 8 + 4 * (group - 2);
    if (levelThree)
        column += group < 2 ? 4 : 2;
    for (int tried : {column + shift, column, shift, 0}) {
        xcb_keysym_t keysym = xcb_key_symbols_get_keysym(symbols_, keycode, tried);
        if (keysym != XCB_NO_SYMBOL)
            return keysym;
    }
    return XCB_NO_SYMBOL;
}

std::string X11Keymap::characters(xcb_keycode_t keycode, std::uint16_t state) const {
    std::uint32_t c = characterOf(keysymAt(keycode, state));
    // Caps lock shifts letters only.
    if ((state & XCB_MOD_MASK_LOCK) && !(state & XCB_MOD_MASK_SHIFT) && c >= 'a' && c <= 'z')
        c -= 'a' - 'A';
    std::string text;
    if (c != 0)
        appendUtf8(text, c);
    return text;
}

}  // namespace vantlo
