#include "platform/linux/XcbAtoms.h"

#include <cstdlib>
#include <cstring>
#include <vector>

namespace vantlo {

bool XcbAtoms::intern(xcb_connection_t* connection) {
    struct Slot {
        const char* name;
        xcb_atom_t* atom;
    };
    std::vector<Slot> slots;
#define VANTLO_XCB_ATOM_SLOT(name) slots.push_back({#name, &name});
    VANTLO_XCB_ATOMS(VANTLO_XCB_ATOM_SLOT)
#undef VANTLO_XCB_ATOM_SLOT

    std::vector<xcb_intern_atom_cookie_t> cookies;
    cookies.reserve(slots.size());
    for (const auto& slot : slots)
        cookies.push_back(xcb_intern_atom(connection, 0, std::strlen(slot.name), slot.name));
    bool any = false;
    for (std::size_t i = 0; i < slots.size(); ++i) {
        xcb_generic_error_t* error = nullptr;
        auto* reply = xcb_intern_atom_reply(connection, cookies[i], &error);
        if (reply != nullptr) {
            *slots[i].atom = reply->atom;
            any = true;
        }
        std::free(reply);
        std::free(error);
    }
    return any;
}

}  // namespace vantlo
