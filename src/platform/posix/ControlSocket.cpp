#include "platform/posix/ControlSocket.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "platform/posix/InstanceLock.h"
#include "platform/posix/PrivateFolder.h"

namespace vantlo {
namespace {

std::string systemError(const std::string& what) {
    return PrivateFolder::systemError(what);
}

bool makePrivateFolder(const std::string& folder, std::string& error) {
    return PrivateFolder::prepare(folder, PrivateFolder::Rule::noAccessByOthers, error);
}

class FileDescriptor {
  public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }

  private:
    int fd_;
};

using Clock = std::chrono::steady_clock;

int millisecondsLeft(Clock::time_point deadline) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

bool waitFor(int fd, short events, Clock::time_point deadline) {
    pollfd entry{fd, events, 0};
    int ready = 0;
    do {
        ready = ::poll(&entry, 1, millisecondsLeft(deadline));
    } while (ready < 0 && errno == EINTR);
    return ready > 0;
}

}  // namespace

std::string ControlSocket::pathFor(const char* runtimeDirectory, const char* display,
                                   unsigned uid) {
    // The lock's name carries the display the way every copy spells it.
    std::filesystem::path lock = InstanceLock::pathFor(runtimeDirectory, display, uid);
    std::string name = lock.stem().string();  // "vantlo-<display>"
    std::string displayPart = name.substr(std::string_view("vantlo-").size());
    return (lock.parent_path() / "vantlo" / (displayPart + ".sock")).string();
}

std::string ControlSocket::defaultPath() {
    return pathFor(std::getenv("XDG_RUNTIME_DIR"), std::getenv("DISPLAY"), ::geteuid());
}

bool ControlSocket::prepareFolder(const std::string& socketPath, std::string& error) {
    std::filesystem::path folder = std::filesystem::path(socketPath).parent_path();
    // The runtime folder itself ("/tmp/vantlo-<uid>" when the session gives none).
    if (!makePrivateFolder(folder.parent_path().string(), error))
        return false;
    return makePrivateFolder(folder.string(), error);
}

bool ControlSocket::restrictSocket(const std::string& socketPath, std::string& error) {
    if (::chmod(socketPath.c_str(), 0600) != 0) {
        error = systemError("cannot restrict " + socketPath);
        return false;
    }
    return true;
}

std::optional<unsigned> ControlSocket::peerUid(int fd) {
    ucred credentials{};
    socklen_t size = sizeof(credentials);
    if (::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &credentials, &size) != 0)
        return std::nullopt;
    return static_cast<unsigned>(credentials.uid);
}

unsigned ControlSocket::currentUid() {
    return ::geteuid();
}

ControlSocket::Exchange ControlSocket::send(const std::string& socketPath,
                                            const std::string& request, int timeoutMs) {
    Exchange exchange;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (socketPath.size() >= sizeof(address.sun_path)) {
        exchange.error = "the socket path is too long: " + socketPath;
        return exchange;
    }
    std::memcpy(address.sun_path, socketPath.c_str(), socketPath.size() + 1);
    FileDescriptor fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (fd.get() < 0) {
        exchange.error = systemError("cannot create a socket");
        return exchange;
    }
    auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    if (::connect(fd.get(), reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) {
        if (errno != EINPROGRESS && errno != EAGAIN) {
            exchange.error = systemError("cannot connect to " + socketPath);
            return exchange;
        }
        int pending = 0;
        socklen_t size = sizeof(pending);
        if (!waitFor(fd.get(), POLLOUT, deadline) ||
            ::getsockopt(fd.get(), SOL_SOCKET, SO_ERROR, &pending, &size) != 0 || pending != 0) {
            errno = pending != 0 ? pending : ETIMEDOUT;
            exchange.error = systemError("cannot connect to " + socketPath);
            return exchange;
        }
    }
    exchange.reached = true;
    std::string line = request + "\n";
    std::size_t written = 0;
    while (written < line.size()) {
        if (!waitFor(fd.get(), POLLOUT, deadline)) {
            exchange.error = "the running copy did not take the request in time";
            return exchange;
        }
        ssize_t n = ::send(fd.get(), line.data() + written, line.size() - written, MSG_NOSIGNAL);
        if (n < 0 && errno != EINTR && errno != EAGAIN) {
            exchange.error = systemError("cannot send the request");
            return exchange;
        }
        written += n > 0 ? static_cast<std::size_t>(n) : 0;
    }
    std::string reply;
    while (reply.find('\n') == std::string::npos && reply.size() < kMaxLine) {
        if (!waitFor(fd.get(), POLLIN, deadline)) {
            exchange.error = "the running copy did not answer in time";
            return exchange;
        }
        char buffer[256];
        ssize_t n = ::recv(fd.get(), buffer, sizeof(buffer), 0);
        if (n == 0)
            break;
        if (n < 0) {
            if (errno == EINTR || errno == EAGAIN)
                continue;
            exchange.error = systemError("cannot read the reply");
            return exchange;
        }
        reply.append(buffer, static_cast<std::size_t>(n));
    }
    auto end = reply.find('\n');
    if (end == std::string::npos) {
        exchange.error = "the running copy closed the connection without an answer";
        return exchange;
    }
    exchange.reply = reply.substr(0, end);
    return exchange;
}

}  // namespace vantlo
