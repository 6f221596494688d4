// The bridge server over a real socket, with this test standing in for a browser host.

#include "platform/linux/BrowserBridgeServer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <climits>
#include <cstdlib>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include "platform/linux/BridgeBrowser.h"
#include "platform/posix/SystemClock.h"
#include "protocol/Frame.h"
#include "protocol/FrameReader.h"

namespace vantlo {
namespace {

using nlohmann::json;

std::string parentProgramName() {
    char target[PATH_MAX];
    std::string link = "/proc/" + std::to_string(::getppid()) + "/exe";
    ssize_t length = ::readlink(link.c_str(), target, sizeof(target) - 1);
    std::string path(target, length > 0 ? static_cast<std::size_t>(length) : 0);
    return path.substr(path.rfind('/') + 1);
}

class BrowserBridgeServerTest : public ::testing::Test {
  protected:
    BrowserBridgeServerTest() {
        char pattern[] = "/tmp/vantlo-bridge-test-XXXXXX";
        root = ::mkdtemp(pattern);
        // The host's parent stands for the browser: here, this test's parent process.
        BrowserIdentity row;
        row.applicationName = "Chromium";
        row.executableNames = {parentProgramName()};
        server = std::make_unique<BrowserBridgeServer>(BrowserBridgeServer::Options{
            root + "/vantlo/browser-bridge.sock", {row}, registry, nullptr, nullptr});
    }
    ~BrowserBridgeServerTest() override {
        server.reset();
        ::rmdir((root + "/vantlo").c_str());
        ::rmdir(root.c_str());
    }

    int connectAsHost() {
        int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::snprintf(address.sun_path, sizeof(address.sun_path), "%s",
                      (root + "/vantlo/browser-bridge.sock").c_str());
        EXPECT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
        return fd;
    }
    static void send(int fd, const json& message) {
        std::string frame = bridge::encodeFrame(message.dump());
        EXPECT_EQ(::write(fd, frame.data(), frame.size()), static_cast<ssize_t>(frame.size()));
    }
    static json receive(int fd, bridge::FrameReader& reader) {
        for (;;) {
            if (auto payload = reader.next())
                return json::parse(*payload);
            char chunk[4096];
            ssize_t n = ::read(fd, chunk, sizeof(chunk));
            if (n <= 0)
                return nullptr;
            reader.append({chunk, static_cast<std::size_t>(n)});
        }
    }
    std::shared_ptr<ScriptableApplication> waitForRegistration(bool present) {
        // The server registers on its own thread; ask until it has (bounded by the test's
        // own time-out, never asserted on timing).
        for (;;) {
            auto app = registry->find("Chromium");
            if (static_cast<bool>(app) == present)
                return app;
            ::usleep(1000);
        }
    }

    std::string root;
    std::shared_ptr<ScriptApplicationRegistry> registry =
        std::make_shared<ScriptApplicationRegistry>();
    std::unique_ptr<BrowserBridgeServer> server;
    SystemClock clock;
};

TEST_F(BrowserBridgeServerTest, AHostRegistersItsBrowserWhoseScriptsAreAnsweredOverTheSocket) {
    std::atomic<int> changes{0};
    server->setBrowsersChangedHandler([&changes] { ++changes; });
    ASSERT_TRUE(server->start());
    struct stat info {};
    ASSERT_EQ(::stat((root + "/vantlo").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    ASSERT_EQ(::stat((root + "/vantlo/browser-bridge.sock").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);

    int host = connectAsHost();
    send(host, {{"type", "host"}, {"browserPid", 1}, {"browserExecutable", "/x"}});
    auto app = waitForRegistration(true);
    ASSERT_TRUE(app);
    EXPECT_EQ(server->connected().size(), 1u);
    EXPECT_EQ(server->connected()[0].pid, ::getppid()) << "the kernel's parent, not the claim";
    // The program is told (right after the registration), so it lists the new browser's tabs.
    while (changes < 1)
        ::usleep(1000);
    EXPECT_EQ(changes, 1);

    // The "extension" answers the list request the script's first call sends.
    std::thread extension([host] {
        bridge::FrameReader reader(1 << 20);
        json request = receive(host, reader);
        EXPECT_EQ(request["command"], "list");
        send(host, {{"type", "event"}, {"event", "changed"}});
        json tab = {{"id", 5}, {"title", "T"}, {"active", true}};
        json window = {{"id", 1}, {"tabs", json::array({tab})}};
        json result = {{"windows", json::array({window})}};
        send(host, {{"type", "reply"}, {"id", request["id"]}, {"ok", true}, {"result", result}});
    });
    ScriptDeadline deadline(clock, clock.now() + 30);
    auto count = app->countElements({"Chromium", {}}, "window", deadline);
    extension.join();
    ASSERT_TRUE(count.isOk()) << count.message;
    EXPECT_EQ(*count.value.get<std::int64_t>(), 1);

    // The status query of `vantlo browser status` sees the connected browser.
    int status = connectAsHost();
    send(status, {{"type", "status"}});
    bridge::FrameReader reader(1 << 20);
    json answer = receive(status, reader);
    ASSERT_TRUE(answer.is_object());
    EXPECT_EQ(answer["connected"][0]["browser"], "Chromium");
    ::close(status);

    // The host goes away: so does the browser, and a waiting script is told at once.
    ::close(host);
    waitForRegistration(false);
    EXPECT_TRUE(server->connected().empty());
    // Told again (right after the removal, on the server's thread), so the tabs of a browser
    // that quit leave the list.
    while (changes < 2)
        ::usleep(1000);
    EXPECT_EQ(changes, 2);
    auto after = app->countElements({"Chromium", {}}, "window", deadline);
    EXPECT_FALSE(after.isOk());
}

TEST_F(BrowserBridgeServerTest, AHostForAnUnknownBrowserIsIgnored) {
    BrowserIdentity other;
    other.applicationName = "Opera";
    other.executableNames = {"opera"};
    server = std::make_unique<BrowserBridgeServer>(BrowserBridgeServer::Options{
        root + "/vantlo/browser-bridge.sock", {other}, registry, nullptr, nullptr});
    ASSERT_TRUE(server->start());
    int host = connectAsHost();
    send(host, {{"type", "host"}});
    char byte;
    EXPECT_EQ(::read(host, &byte, 1), 0) << "the server closes the connection";
    EXPECT_TRUE(registry->names().empty());
    ::close(host);
}

}  // namespace
}  // namespace vantlo
