#include "platform/linux/BrowserBridgeServer.h"

#include <cerrno>
#include <climits>
#include <condition_variable>
#include <cstring>
#include <fstream>
#include <map>
#include <mutex>

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include "platform/linux/BridgeBrowser.h"
#include "protocol/BridgeSocketPath.h"
#include "protocol/Frame.h"
#include "protocol/FrameReader.h"
#include "protocol/MessageCheck.h"

namespace vantlo {
namespace {

using nlohmann::json;

std::string fileName(const std::string& path) {
    auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string executableOf(Pid pid) {
    char target[PATH_MAX];
    std::string link = "/proc/" + std::to_string(pid) + "/exe";
    ssize_t length = ::readlink(link.c_str(), target, sizeof(target) - 1);
    return length > 0 ? std::string(target, static_cast<std::size_t>(length)) : std::string();
}

// The parent of a process, from /proc/<pid>/stat (the field after the parenthesised name).
Pid parentOf(Pid pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    auto close = text.rfind(')');
    if (close == std::string::npos)
        return 0;
    char state = 0;
    int parent = 0;
    if (std::sscanf(text.c_str() + close + 1, " %c %d", &state, &parent) != 2)
        return 0;
    return parent;
}

sockaddr_un addressOf(const std::string& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof(address.sun_path), "%s", path.c_str());
    return address;
}

}  // namespace

struct BrowserBridgeServer::Shared {
    Options options;
    std::function<void()> browsersChangedHandler;
    mutable std::mutex mutex;
    std::condition_variable answered;
    std::vector<std::shared_ptr<Connection>> connections;
    int listener = -1;
    int wake = -1;
    std::atomic<bool> stopping{false};

    void log(const std::string& line) const {
        if (options.log)
            options.log->write("browser bridge: " + line);
    }
    void wakeUp() const {
        std::uint64_t one = 1;
        [[maybe_unused]] auto ignored = ::write(wake, &one, sizeof(one));
    }
};

class BrowserBridgeServer::Connection : public BridgeTransport,
                                        public std::enable_shared_from_this<Connection> {
  public:
    Connection(std::shared_ptr<Shared> shared, int fd, Pid peer)
        : shared_(std::move(shared)), fd_(fd), peer_(peer) {}
    ~Connection() override { ::close(fd_); }

    int fd() const { return fd_; }
    bool wantsToWrite() const { return !outgoing_.empty(); }
    bool closed() const { return closed_; }
    const std::shared_ptr<BridgeBrowser>& browser() const { return browser_; }

    BridgeReply call(const json& request, const ScriptDeadline& deadline) override {
        std::unique_lock lock(shared_->mutex);
        if (closed_ || !browser_)
            return {BridgeReply::Status::failed, {}, "the browser extension is not connected"};
        std::int64_t id = nextID_++;
        json framed = request;
        framed["id"] = id;
        outgoing_ += bridge::encodeFrame(framed.dump());
        pending_[id];
        shared_->wakeUp();
        auto until = std::chrono::steady_clock::now() +
                     std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                         std::chrono::duration<double>(deadline.remainingSeconds()));
        shared_->answered.wait_until(lock, until,
                                     [&] { return pending_[id].has_value() || closed_; });
        std::optional<BridgeReply> reply = std::move(pending_[id]);
        pending_.erase(id);
        if (reply)
            return *reply;
        if (closed_)
            return {BridgeReply::Status::failed, {}, "the browser extension went away"};
        return {BridgeReply::Status::timedOut, {}, "the browser did not answer in time"};
    }

    // Server thread, under the mutex: false when the connection is done.
    bool readable() {
        char chunk[65536];
        for (;;) {
            ssize_t got = ::recv(fd_, chunk, sizeof(chunk), 0);
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
                return true;
            if (got <= 0)
                return false;
            reader_.append({chunk, static_cast<std::size_t>(got)});
            while (auto payload = reader_.next()) {
                if (!handle(*payload))
                    return false;
            }
            if (reader_.failed()) {
                shared_->log("dropped a host: " + reader_.error());
                return false;
            }
        }
    }

    bool writable() {
        while (!outgoing_.empty()) {
            ssize_t sent = ::send(fd_, outgoing_.data(), outgoing_.size(), MSG_NOSIGNAL);
            if (sent < 0 && errno == EINTR)
                continue;
            if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
                return true;
            if (sent < 0)
                return false;
            outgoing_.erase(0, static_cast<std::size_t>(sent));
        }
        return !closeAfterWriting_;
    }

    void markClosed() {
        closed_ = true;
        if (browser_)
            browser_->markDisconnected();
        shared_->answered.notify_all();
    }

  private:
    bool handle(const std::string& payload) {
        if (!browser_)
            return greet(payload);
        bridge::CheckedMessage message = bridge::MessageCheck::browserMessage(payload);
        if (!message.ok()) {
            shared_->log("refused a message from " + browser_->applicationName() + ": " +
                         message.error);
            return true;
        }
        const json& value = *message.value;
        if (value["type"] == "reply") {
            auto waiting = pending_.find(value["id"].get<std::int64_t>());
            if (waiting == pending_.end())
                return true;
            BridgeReply reply;
            reply.status =
                value["ok"].get<bool>() ? BridgeReply::Status::ok : BridgeReply::Status::failed;
            reply.result = value.value("result", json::object());
            reply.error = value.value("error", std::string());
            waiting->second = std::move(reply);
            shared_->answered.notify_all();
        } else if (value["type"] == "event") {
            browser_->markChanged();
        }
        return true;
    }

    // The first message: a host saying which browser it serves, or `vantlo browser status`.
    bool greet(const std::string& payload) {
        json hello = json::parse(payload, nullptr, false);
        std::string type = hello.is_object() ? hello.value("type", std::string()) : std::string();
        if (type == "status") {
            json browsers = json::array();
            for (const auto& c : shared_->connections) {
                if (c->browser_ && !c->closed_)
                    browsers.push_back(
                        {{"browser", c->browser_->applicationName()}, {"pid", c->browser_->pid()}});
            }
            outgoing_ += bridge::encodeFrame(json{{"connected", browsers}}.dump());
            closeAfterWriting_ = true;
            return true;
        }
        if (type != "host")
            return false;
        // The host's parent, as the kernel knows it, is the browser; the host's word only counts
        // when /proc cannot be read.
        Pid browserPid = parentOf(peer_);
        if (browserPid <= 1 && hello.value("browserPid", 0) > 1)
            browserPid = hello.value("browserPid", 0);
        std::string executable = executableOf(browserPid);
        const BrowserIdentity* row = browserFor(shared_->options.browsers, executable);
        if (!row) {
            shared_->log("a host for an unknown browser (" + executable + ") connected; ignored");
            return false;
        }
        browser_ = std::make_shared<BridgeBrowser>(row->applicationName, browserPid,
                                                   shared_from_this(), shared_->options.desk);
        shared_->options.registry->add(row->applicationName, browser_);
        shared_->log(row->applicationName + " (pid " + std::to_string(browserPid) + ") connected");
        if (shared_->browsersChangedHandler)
            shared_->browsersChangedHandler();
        return true;
    }

    std::shared_ptr<Shared> shared_;
    int fd_;
    Pid peer_;
    bridge::FrameReader reader_{bridge::kMaxBrowserMessage};
    std::string outgoing_;
    std::map<std::int64_t, std::optional<BridgeReply>> pending_;
    std::int64_t nextID_ = 1;
    std::shared_ptr<BridgeBrowser> browser_;
    bool closed_ = false;
    bool closeAfterWriting_ = false;
};

BrowserBridgeServer::BrowserBridgeServer(Options options) : shared_(std::make_shared<Shared>()) {
    shared_->options = std::move(options);
}

BrowserBridgeServer::~BrowserBridgeServer() {
    if (thread_.joinable()) {
        shared_->stopping = true;
        shared_->wakeUp();
        thread_.join();
    }
    std::lock_guard lock(shared_->mutex);
    for (auto& connection : shared_->connections) {
        if (connection->browser())
            shared_->options.registry->remove(connection->browser()->applicationName());
        connection->markClosed();
    }
    shared_->connections.clear();
    if (shared_->listener >= 0) {
        ::close(shared_->listener);
        ::unlink(shared_->options.socketPath.c_str());
    }
    if (shared_->wake >= 0)
        ::close(shared_->wake);
}

const BrowserIdentity* BrowserBridgeServer::browserFor(const std::vector<BrowserIdentity>& browsers,
                                                       const std::string& executablePath) {
    std::string name = fileName(executablePath);
    for (const auto& row : browsers) {
        if (!name.empty() && row.executableNames.count(name))
            return &row;
    }
    return nullptr;
}

void BrowserBridgeServer::setBrowsersChangedHandler(std::function<void()> handler) {
    shared_->browsersChangedHandler = std::move(handler);
}

bool BrowserBridgeServer::start() {
    const std::string& path = shared_->options.socketPath;
    std::string folder = path.substr(0, path.rfind('/'));
    ::mkdir(folder.c_str(), 0700);
    if (!bridge::isPrivateFolder(folder, ::getuid())) {
        shared_->log("not listening: " + folder + " is not a private folder of this user");
        return false;
    }
    sockaddr_un address = addressOf(path);
    int probe = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    bool taken = ::connect(probe, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0;
    ::close(probe);
    if (taken) {
        shared_->log("not listening: another Vantlo serves the browsers at " + path);
        return false;
    }
    ::unlink(path.c_str());
    shared_->listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (shared_->listener < 0 ||
        ::bind(shared_->listener, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
        ::chmod(path.c_str(), 0600) != 0 || ::listen(shared_->listener, 16) != 0) {
        shared_->log("not listening at " + path + ": " + std::strerror(errno));
        return false;
    }
    shared_->wake = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    thread_ = std::thread([this] { run(); });
    return true;
}

std::vector<BrowserBridgeServer::Connected> BrowserBridgeServer::connected() const {
    std::lock_guard lock(shared_->mutex);
    std::vector<Connected> result;
    for (const auto& connection : shared_->connections) {
        if (auto browser = connection->browser())
            result.push_back({browser->applicationName(), browser->pid()});
    }
    return result;
}

std::shared_ptr<BridgeBrowser> BrowserBridgeServer::browser(const std::string& name) const {
    std::lock_guard lock(shared_->mutex);
    for (auto it = shared_->connections.rbegin(); it != shared_->connections.rend(); ++it) {
        if ((*it)->browser() && (*it)->browser()->applicationName() == name)
            return (*it)->browser();
    }
    return nullptr;
}

void BrowserBridgeServer::run() {
    Shared& shared = *shared_;
    while (!shared.stopping) {
        std::vector<pollfd> fds = {{shared.listener, POLLIN, 0}, {shared.wake, POLLIN, 0}};
        {
            std::lock_guard lock(shared.mutex);
            for (const auto& c : shared.connections)
                fds.push_back(
                    {c->fd(), static_cast<short>(POLLIN | (c->wantsToWrite() ? POLLOUT : 0)), 0});
        }
        if (::poll(fds.data(), fds.size(), -1) < 0 && errno != EINTR)
            return;
        if (fds[1].revents) {
            std::uint64_t count = 0;
            [[maybe_unused]] auto ignored = ::read(shared.wake, &count, sizeof(count));
        }
        std::lock_guard lock(shared.mutex);
        for (std::size_t i = 2; i < fds.size(); ++i) {
            auto connection = shared.connections[i - 2];
            bool alive = true;
            if (fds[i].revents & (POLLIN | POLLHUP | POLLERR))
                alive = connection->readable();
            if (alive)
                alive = connection->writable();
            if (alive)
                continue;
            connection->markClosed();
            if (auto browser = connection->browser()) {
                shared.log(browser->applicationName() + " (pid " + std::to_string(browser->pid()) +
                           ") disconnected");
                shared.options.registry->remove(browser->applicationName());
                if (shared.browsersChangedHandler)
                    shared.browsersChangedHandler();
            }
        }
        std::erase_if(shared.connections, [](const auto& c) { return c->closed(); });
        // Another copy of the same browser (a second profile) takes over the name.
        for (const auto& c : shared.connections) {
            if (c->browser() && !shared.options.registry->find(c->browser()->applicationName()))
                shared.options.registry->add(c->browser()->applicationName(), c->browser());
        }
        if (fds[0].revents & POLLIN) {
            int fd = ::accept4(shared.listener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
            if (fd < 0)
                continue;
            ucred peer{};
            socklen_t length = sizeof(peer);
            if (::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &length) != 0 ||
                peer.uid != ::getuid()) {
                shared.log("refused a connection from another user");
                ::close(fd);
                continue;
            }
            shared.connections.push_back(std::make_shared<Connection>(shared_, fd, peer.pid));
        }
    }
}

}  // namespace vantlo
