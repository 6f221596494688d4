// The host between a browser (two pipes) and a Vantlo (a listening socket in a private folder).

#include "BrowserHost.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <future>
#include <mutex>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include "protocol/Frame.h"
#include "protocol/FrameReader.h"

namespace vantlo::bridge {
namespace {

void writeAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        ASSERT_GT(n, 0);
        done += static_cast<std::size_t>(n);
    }
}

// The next message on a blocking descriptor; empty with `closed` set when the other side closed.
std::string readFrame(int fd, FrameReader& reader, bool* closed = nullptr) {
    for (;;) {
        if (auto message = reader.next())
            return *message;
        char chunk[4096];
        ssize_t n = ::read(fd, chunk, sizeof(chunk));
        if (n <= 0) {
            if (closed)
                *closed = true;
            return {};
        }
        reader.append({chunk, static_cast<std::size_t>(n)});
    }
}

class BrowserHostTest : public ::testing::Test {
  protected:
    BrowserHostTest() {
        char pattern[] = "/tmp/vantlo-host-test-XXXXXX";
        folder = ::mkdtemp(pattern);
        socketPath = folder + "/browser-bridge.sock";
        int toHost[2];
        int fromHost[2];
        EXPECT_EQ(::pipe(toHost), 0);
        EXPECT_EQ(::pipe(fromHost), 0);
        hostInput = toHost[0];
        browserWrites = toHost[1];
        browserReads = fromHost[0];
        hostOutput = fromHost[1];
    }
    ~BrowserHostTest() override {
        for (int fd : {hostInput, browserWrites, browserReads, hostOutput, listener})
            if (fd >= 0)
                ::close(fd);
        ::unlink(socketPath.c_str());
        ::rmdir(folder.c_str());
    }

    void listen() {
        listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::snprintf(address.sun_path, sizeof(address.sun_path), "%s", socketPath.c_str());
        ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
        ASSERT_EQ(::listen(listener, 4), 0);
    }

    void startHost() {
        BrowserHost::Options options;
        options.browserInput = hostInput;
        options.browserOutput = hostOutput;
        options.socketPath = socketPath;
        options.identity = {{"type", "host"}, {"browserPid", 4242}};
        options.retryInterval = std::chrono::milliseconds(5);
        result = std::async(std::launch::async, [this, options] {
            BrowserHost host(options, [this](const std::string& line) {
                std::lock_guard lock(logMutex);
                log.push_back(line);
            });
            return host.run();
        });
    }

    void browserSends(const std::string& payload) { writeAll(browserWrites, encodeFrame(payload)); }

    int hostExitAfterBrowserCloses() {
        ::close(browserWrites);
        browserWrites = -1;
        return result.get();
    }

    std::vector<std::string> logLines() {
        std::lock_guard lock(logMutex);
        return log;
    }

    std::string folder;
    std::string socketPath;
    int hostInput = -1, browserWrites = -1, browserReads = -1, hostOutput = -1, listener = -1;
    std::future<int> result;
    std::mutex logMutex;
    std::vector<std::string> log;
};

TEST_F(BrowserHostTest, RelaysCheckedMessagesBothWaysAndEndsWithTheBrowser) {
    listen();
    startHost();
    int vantlo = ::accept(listener, nullptr, nullptr);
    ASSERT_GE(vantlo, 0);
    FrameReader fromHost(1 << 20);
    EXPECT_EQ(readFrame(vantlo, fromHost), R"({"browserPid":4242,"type":"host"})");

    browserSends(R"({"type":"event","event":"changed"})");
    browserSends("not json");
    browserSends(R"({"type":"reply","id":1,"ok":true,"result":{"windows":[]}})");
    EXPECT_EQ(readFrame(vantlo, fromHost), R"({"event":"changed","type":"event"})");
    EXPECT_EQ(readFrame(vantlo, fromHost),
              R"({"id":1,"ok":true,"result":{"windows":[]},"type":"reply"})");

    writeAll(vantlo, encodeFrame(R"({"id":9,"command":"nuke"})") +
                         encodeFrame(R"({"id":2,"command":"activate","tabId":5})"));
    FrameReader toBrowser(1 << 20);
    EXPECT_EQ(readFrame(browserReads, toBrowser), R"({"command":"activate","id":2,"tabId":5})");

    EXPECT_EQ(hostExitAfterBrowserCloses(), 0);
    auto lines = logLines();
    EXPECT_NE(std::find(lines.begin(), lines.end(),
                        "refused a message from the browser: message is not valid JSON"),
              lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(),
                        "refused a request from Vantlo: unknown command \"nuke\""),
              lines.end());
    ::close(vantlo);
}

TEST_F(BrowserHostTest, WaitsForVantloAndTellsItTheExtensionsGreetingOnArrival) {
    startHost();
    browserSends(R"({"type":"hello","extensionVersion":"1.0.0"})");
    listen();
    int vantlo = ::accept(listener, nullptr, nullptr);
    ASSERT_GE(vantlo, 0);
    FrameReader fromHost(1 << 20);
    EXPECT_EQ(readFrame(vantlo, fromHost), R"({"browserPid":4242,"type":"host"})");
    EXPECT_EQ(readFrame(vantlo, fromHost), R"({"extensionVersion":"1.0.0","type":"hello"})");

    // Vantlo quits and comes back: the host finds it again and greets it again.
    ::close(vantlo);
    vantlo = ::accept(listener, nullptr, nullptr);
    ASSERT_GE(vantlo, 0);
    fromHost = FrameReader(1 << 20);
    EXPECT_EQ(readFrame(vantlo, fromHost), R"({"browserPid":4242,"type":"host"})");
    EXPECT_EQ(readFrame(vantlo, fromHost), R"({"extensionVersion":"1.0.0","type":"hello"})");
    EXPECT_EQ(hostExitAfterBrowserCloses(), 0);
    ::close(vantlo);
}

TEST_F(BrowserHostTest, OversizedBrowserMessageEndsTheHostWithALogLine) {
    startHost();
    writeAll(browserWrites, std::string("\xff\xff\xff\x7f", 4));
    EXPECT_EQ(result.get(), 1);
    auto lines = logLines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(),
              "refused the browser's stream: message of 2147483647 bytes exceeds the limit of " +
                  std::to_string(kMaxBrowserMessage) + " bytes");
}

TEST_F(BrowserHostTest, SocketInAFolderOthersMayEnterIsNotTrusted) {
    ::chmod(folder.c_str(), 0755);
    listen();
    startHost();
    EXPECT_EQ(hostExitAfterBrowserCloses(), 0);
    auto lines = logLines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), "waiting for Vantlo: no private folder " + folder +
                                 " (owned by this user, mode 0700)");
}

}  // namespace
}  // namespace vantlo::bridge
