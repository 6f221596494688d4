#pragma once
// A folder that only this user may change: created with mode 0700 when missing, and refused when
// it exists but is not a real folder of this user. Sockets and locks live in one, so no other
// user can put a file of their own where ours is looked for.

#include <string>

namespace vantlo {

struct PrivateFolder {
    // Which permission bits for the group and others make an existing folder unsafe.
    enum class Rule {
        noAccessByOthers,  // nobody else may even list it (for a socket's folder)
        noWritesByOthers,  // others may look, never add or remove
    };

    // Creates `folder` or checks the one there; false with a readable `error` when it is unsafe.
    static bool prepare(const std::string& folder, Rule rule, std::string& error);

    // The text of `errno` after `what`: "cannot create /run/user/1000/vantlo: Permission denied".
    static std::string systemError(const std::string& what);
};

}  // namespace vantlo
