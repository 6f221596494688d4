#include "VantloLink.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include "protocol/BridgeSocketPath.h"
#include "protocol/Frame.h"

namespace vantlo::bridge {
namespace {

// Queued bytes past which Vantlo counts as stuck: several full tab lists.
constexpr std::size_t kMaxQueued = 4 * kMaxBrowserMessage;
// Requests from Vantlo are small; anything near this is not a request.
constexpr std::size_t kMaxRequest = 64u << 10;

std::string folderOf(const std::string& path) {
    auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

}  // namespace

VantloLink::VantloLink(Log log) : log_(std::move(log)) {}

VantloLink::~VantloLink() {
    disconnect();
}

bool VantloLink::fail(std::string why) {
    lastFailure_ = std::move(why);
    disconnect();
    return false;
}

bool VantloLink::connect(const std::string& path) {
    disconnect();
    if (!isPrivateFolder(folderOf(path), ::getuid()))
        return fail("no private folder " + folderOf(path) + " (owned by this user, mode 0700)");
    sockaddr_un address{};
    if (path.size() >= sizeof(address.sun_path))
        return fail("socket path too long: " + path);
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    fd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd_ < 0)
        return fail(std::string("socket: ") + std::strerror(errno));
    if (::connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0)
        return fail("Vantlo is not listening at " + path + " (" + std::strerror(errno) + ")");
    ucred peer{};
    socklen_t length = sizeof(peer);
    if (::getsockopt(fd_, SOL_SOCKET, SO_PEERCRED, &peer, &length) != 0 || peer.uid != ::getuid())
        return fail("the process listening at " + path + " belongs to another user");
    ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) | O_NONBLOCK);
    reader_.emplace(kMaxRequest);
    lastFailure_.clear();
    return true;
}

void VantloLink::disconnect() {
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    outgoing_.clear();
    reader_.reset();
}

void VantloLink::send(const std::string& payload) {
    if (!connected())
        return;
    if (outgoing_.size() + payload.size() > kMaxQueued) {
        log_("Vantlo stopped reading; dropping the connection");
        disconnect();
        return;
    }
    outgoing_ += encodeFrame(payload);
    flush();
}

bool VantloLink::flush() {
    while (connected() && !outgoing_.empty()) {
        ssize_t written = ::send(fd_, outgoing_.data(), outgoing_.size(), MSG_NOSIGNAL);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK)
                return true;
            disconnect();
            return false;
        }
        outgoing_.erase(0, static_cast<std::size_t>(written));
    }
    return connected();
}

bool VantloLink::receive(std::vector<std::string>& messages) {
    char chunk[16384];
    while (connected()) {
        ssize_t got = ::recv(fd_, chunk, sizeof(chunk), 0);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            break;
        if (got <= 0) {
            disconnect();
            return false;
        }
        reader_->append({chunk, static_cast<std::size_t>(got)});
        while (auto message = reader_->next())
            messages.push_back(std::move(*message));
        if (reader_->failed()) {
            log_("refused Vantlo's stream: " + reader_->error());
            disconnect();
            return false;
        }
    }
    return connected();
}

}  // namespace vantlo::bridge
