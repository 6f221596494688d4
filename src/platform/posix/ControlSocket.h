#pragma once
// The private local socket through which `vantlo <command>` reaches the copy that runs: where it
// lives, how its folder is made private, who is at the other end, and the client's one
// request/one reply exchange. The running copy listens on it with the toolkit's own local server
// on the main loop; this side never blocks that loop.
//
// The socket lives in a folder of its own, "<runtime folder>/vantlo" (mode 0700, owned by this
// user), and is made 0600. A peer whose user id differs from this process's is turned away.

#include <optional>
#include <string>

namespace vantlo {

class ControlSocket {
  public:
    // The longest request or reply line, newline included; longer ones are refused.
    static constexpr std::size_t kMaxLine = 512;

    // "<runtime folder>/vantlo/<display>.sock": the runtime folder is $XDG_RUNTIME_DIR when it is
    // an absolute path, else "/tmp/vantlo-<uid>"; the display as the instance lock writes it
    // (":0.0" -> "0").
    static std::string pathFor(const char* runtimeDirectory, const char* display, unsigned uid);
    static std::string defaultPath();

    // Creates the socket's folder (and a missing runtime folder) with mode 0700. False, with
    // `error` set, when it cannot be made or is not a private folder of this user.
    static bool prepareFolder(const std::string& socketPath, std::string& error);
    // Makes the socket file readable and writable by its owner only.
    static bool restrictSocket(const std::string& socketPath, std::string& error);

    // The user id of the process at the other end of a connected local socket.
    static std::optional<unsigned> peerUid(int fd);
    static unsigned currentUid();

    struct Exchange {
        // False when nothing listens at the path (no copy runs); `error` says why.
        bool reached = false;
        // The reply line without its newline, when one came.
        std::optional<std::string> reply;
        std::string error;
    };
    // Connects, writes `request` plus a newline and reads one reply line, giving up after
    // `timeoutMs` in all.
    static Exchange send(const std::string& socketPath, const std::string& request,
                         int timeoutMs = 5000);
};

}  // namespace vantlo
