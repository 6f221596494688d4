#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <thread>

#include "platform/posix/ControlSocket.h"
#include "support/TemporaryFolder.h"

namespace vantlo {
namespace {

using testing::TemporaryFolder;

mode_t modeOf(const std::string& path) {
    struct stat info {};
    ::lstat(path.c_str(), &info);
    return info.st_mode & 0777;
}

// A listening socket at `path` that answers one connection with `reply` and records the request
// and the peer's user id.
class OneShotServer {
  public:
    OneShotServer(const std::string& path, std::string reply) {
        fd_ = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path.c_str(), sizeof(address.sun_path) - 1);
        listening_ = ::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0 &&
                     ::listen(fd_, 1) == 0;
        thread_ = std::thread([this, reply] {
            int client = ::accept(fd_, nullptr, nullptr);
            if (client < 0)
                return;
            peer_ = ControlSocket::peerUid(client);
            char buffer[256] = {};
            ssize_t n = ::recv(client, buffer, sizeof(buffer) - 1, 0);
            request_ = std::string(buffer, n > 0 ? static_cast<std::size_t>(n) : 0);
            ::send(client, reply.data(), reply.size(), MSG_NOSIGNAL);
            ::close(client);
        });
    }
    ~OneShotServer() {
        ::shutdown(fd_, SHUT_RDWR);
        if (thread_.joinable())
            thread_.join();
        ::close(fd_);
    }
    bool listening() const { return listening_; }
    void join() { thread_.join(); }
    std::string request_;
    std::optional<unsigned> peer_;

  private:
    int fd_ = -1;
    bool listening_ = false;
    std::thread thread_;
};

TEST(ControlSocket, LivesInAPrivateFolderOfTheRuntimeFolderNamedAfterTheDisplay) {
    EXPECT_EQ(ControlSocket::pathFor("/run/user/1000", ":0.0", 1000),
              "/run/user/1000/vantlo/0.sock");
    EXPECT_EQ(ControlSocket::pathFor("/run/user/1000", "localhost:10.0", 1000),
              "/run/user/1000/vantlo/localhost_10.sock");
    EXPECT_EQ(ControlSocket::pathFor(nullptr, ":1", 1000), "/tmp/vantlo-1000/vantlo/1.sock");
    EXPECT_EQ(ControlSocket::pathFor("relative", nullptr, 7),
              "/tmp/vantlo-7/vantlo/nodisplay.sock");
}

TEST(ControlSocket, PreparedFolderIsPrivateAndAnOpenFolderIsRefused) {
    TemporaryFolder runtime;
    std::string socket = runtime.file("vantlo/0.sock");
    std::string error;
    ASSERT_TRUE(ControlSocket::prepareFolder(socket, error)) << error;
    EXPECT_EQ(modeOf(runtime.file("vantlo")), 0700u);
    ::chmod(runtime.file("vantlo").c_str(), 0755);
    EXPECT_FALSE(ControlSocket::prepareFolder(socket, error));
    EXPECT_NE(error.find("not a private folder"), std::string::npos) << error;
}

TEST(ControlSocket, ExchangesOneLineAndNamesThePeer) {
    TemporaryFolder runtime;
    std::string path = runtime.file("vantlo/0.sock");
    std::string error;
    ASSERT_TRUE(ControlSocket::prepareFolder(path, error)) << error;
    OneShotServer server(path, "ok\n");
    ASSERT_TRUE(server.listening());
    ASSERT_TRUE(ControlSocket::restrictSocket(path, error)) << error;
    EXPECT_EQ(modeOf(path), 0600u);

    auto exchange = ControlSocket::send(path, "preferences feedback");
    server.join();
    EXPECT_TRUE(exchange.reached);
    EXPECT_EQ(exchange.reply, std::optional<std::string>("ok")) << exchange.error;
    EXPECT_EQ(server.request_, "preferences feedback\n");
    EXPECT_EQ(server.peer_, std::optional<unsigned>(ControlSocket::currentUid()));
}

TEST(ControlSocket, NothingListeningIsNotReached) {
    TemporaryFolder runtime;
    auto exchange = ControlSocket::send(runtime.file("vantlo/0.sock"), "preferences");
    EXPECT_FALSE(exchange.reached);
    EXPECT_FALSE(exchange.reply);
    EXPECT_FALSE(exchange.error.empty());
}

}  // namespace
}  // namespace vantlo
