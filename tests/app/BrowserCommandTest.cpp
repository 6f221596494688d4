#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <thread>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <nlohmann/json.hpp>

#include "app/BrowserCommand.h"
#include "protocol/Frame.h"
#include "support/TemporaryFolder.h"

namespace vantlo {
namespace {

using nlohmann::json;
using testing::TemporaryFolder;
namespace fs = std::filesystem;

class BrowserCommandTest : public ::testing::Test {
  protected:
    BrowserCommandTest() {
        fs::create_directories(shipped.path() / "extension");
        TemporaryFolder::write(shipped.file("extension/manifest.json"), "{}");
        TemporaryFolder::write(shipped.file("vantlo-tabs.xpi"), "PK");
        TemporaryFolder::write(shipped.file("host"), "#!/bin/sh\n");
        fs::permissions(shipped.file("host"), fs::perms::owner_all);
        environment.home = home.path().string();
        environment.configHome = home.file(".config");
        environment.dataHome = home.file(".local/share");
        environment.hostPath = shipped.file("host");
        environment.extensionSource = shipped.file("extension");
        environment.xpiSource = shipped.file("vantlo-tabs.xpi");
        environment.socketPath = home.file("bridge.sock");
        environment.systemRoot = shipped.file("root");
        environment.isInstalled = [this](const BrowserHostTarget& target) {
            return installed.count(target.applicationName) > 0;
        };
    }

    json manifestAt(const std::string& relative) {
        return json::parse(TemporaryFolder::read(home.file(relative)), nullptr, false);
    }

    TemporaryFolder home;
    TemporaryFolder shipped;
    BrowserCommand::Environment environment;
    std::set<std::string> installed;
    std::ostringstream out, err;
};

TEST_F(BrowserCommandTest, InstallWritesManifestsForInstalledBrowsersAndSaysHowToAddTheExtension) {
    installed = {"Chromium", "Firefox ESR", "Firefox"};
    // A copy left from an older version loses the files the new one does not have.
    fs::create_directories(home.path() / ".local/share/vantlo/browser-extension");
    TemporaryFolder::write(home.file(".local/share/vantlo/browser-extension/old.js"), "");

    ASSERT_EQ(BrowserCommand::install(environment, out, err), 0) << err.str();

    json chromium = manifestAt(
        ".config/chromium/NativeMessagingHosts/"
        "com.local.vantlo.browser_host.json");
    EXPECT_EQ(chromium["path"], shipped.file("host"));
    EXPECT_EQ(chromium["type"], "stdio");
    EXPECT_EQ(chromium["allowed_origins"],
              json::array({"chrome-extension://nopojmpdbjgdodmmepmgofihahpnffdb/"}));
    json firefox = manifestAt(".mozilla/native-messaging-hosts/com.local.vantlo.browser_host.json");
    EXPECT_EQ(firefox["allowed_extensions"], json::array({"tabs@vantlo.local"}));
    EXPECT_FALSE(firefox.contains("allowed_origins"));
    EXPECT_FALSE(fs::exists(home.path() / ".config/google-chrome")) << "not installed";

    EXPECT_TRUE(fs::exists(home.path() / ".local/share/vantlo/browser-extension/manifest.json"));
    EXPECT_FALSE(fs::exists(home.path() / ".local/share/vantlo/browser-extension/old.js"));
    EXPECT_TRUE(fs::exists(home.path() / ".local/share/vantlo/vantlo-tabs.xpi"));

    std::string text = out.str();
    EXPECT_NE(text.find("Chromium: open chrome://extensions"), std::string::npos) << text;
    EXPECT_NE(text.find("\"Load unpacked\""), std::string::npos) << text;
    EXPECT_NE(text.find(home.file(".local/share/vantlo/vantlo-tabs.xpi")), std::string::npos);
    EXPECT_NE(text.find("Firefox: this Firefox accepts signed add-ons only"), std::string::npos)
        << text;
    EXPECT_EQ(text.find("Google Chrome"), std::string::npos) << text;
}

TEST_F(BrowserCommandTest, APerUserInstallKeepsTheExtensionItAlreadyPutInPlace) {
    // Installed under ~/.local, the shipped extension is the very folder the browsers are sent
    // to: installing must neither delete it nor fail.
    installed = {"Chromium"};
    const auto inPlace = home.path() / ".local/share/vantlo";
    fs::create_directories(inPlace / "browser-extension");
    TemporaryFolder::write((inPlace / "browser-extension/manifest.json").string(), "{}");
    TemporaryFolder::write((inPlace / "vantlo-tabs.xpi").string(), "PK");
    environment.extensionSource = (inPlace / "browser-extension").string();
    environment.xpiSource = (inPlace / "vantlo-tabs.xpi").string();

    EXPECT_EQ(BrowserCommand::install(environment, out, err), 0) << err.str();
    EXPECT_TRUE(fs::exists(inPlace / "browser-extension/manifest.json"));
    EXPECT_EQ(TemporaryFolder::read((inPlace / "vantlo-tabs.xpi").string()), "PK");
}

TEST_F(BrowserCommandTest, InstallRefusesWithoutTheHostAndNamesWhatIsMissing) {
    installed = {"Chromium"};
    environment.hostPath = shipped.file("no-such-host");
    EXPECT_EQ(BrowserCommand::install(environment, out, err), 1);
    EXPECT_NE(err.str().find("no-such-host"), std::string::npos) << err.str();
    EXPECT_FALSE(fs::exists(home.path() / ".config/chromium"));

    installed.clear();
    environment.hostPath = shipped.file("host");
    std::ostringstream none;
    EXPECT_EQ(BrowserCommand::install(environment, none, err), 0);
    EXPECT_NE(none.str().find("No supported browser is installed"), std::string::npos);
}

// A server that answers one status query the way the running program does.
void answerStatusOnce(int listener, const json& answer) {
    int fd = ::accept(listener, nullptr, nullptr);
    char buffer[256];
    [[maybe_unused]] auto got = ::recv(fd, buffer, sizeof(buffer), 0);
    std::string frame = bridge::encodeFrame(answer.dump());
    [[maybe_unused]] auto sent = ::send(fd, frame.data(), frame.size(), MSG_NOSIGNAL);
    ::close(fd);
}

TEST_F(BrowserCommandTest, StatusReportsManifestsAndConnectedExtensions) {
    installed = {"Chromium", "Firefox ESR"};
    ASSERT_EQ(BrowserCommand::install(environment, out, err), 0);
    fs::remove(home.file(".mozilla/native-messaging-hosts/com.local.vantlo.browser_host.json"));

    std::ostringstream idle;
    BrowserCommand::status(environment, idle);
    EXPECT_NE(idle.str().find("Vantlo is not running"), std::string::npos) << idle.str();
    EXPECT_NE(idle.str().find("Chromium: host manifest in place; extension unknown"),
              std::string::npos)
        << idle.str();

    int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof(address.sun_path), "%s", environment.socketPath.c_str());
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    ASSERT_EQ(::listen(listener, 1), 0);
    std::thread server(answerStatusOnce, listener,
                       json{{"connected", {{{"browser", "Chromium"}, {"pid", 4242}}}}});
    std::ostringstream running;
    BrowserCommand::status(environment, running);
    server.join();
    ::close(listener);
    EXPECT_NE(
        running.str().find("Chromium: host manifest in place; extension connected (pid 4242)"),
        std::string::npos)
        << running.str();
    EXPECT_NE(
        running.str().find("Firefox ESR: host manifest missing (run: vantlo browser install); "
                           "extension not connected"),
        std::string::npos)
        << running.str();
    EXPECT_EQ(running.str().find("Opera"), std::string::npos) << "not installed, nothing to say";
}

TEST_F(BrowserCommandTest, AManifestInASystemFolderTheBrowserReadsCountsAsInPlace) {
    installed = {"Brave Browser", "Firefox ESR", "Chromium"};
    auto place = [&](const std::string& folder) {
        fs::create_directories(shipped.file("root") + folder);
        TemporaryFolder::write(
            shipped.file("root") + folder + "/com.local.vantlo.browser_host.json", "{}");
    };
    // Brave reads Google Chrome's system folder, Firefox the Mozilla one; Chromium's is empty.
    place("/etc/opt/chrome/native-messaging-hosts");
    place("/usr/lib/mozilla/native-messaging-hosts");
    auto browsers = BrowserCommand::statuses(environment, {{"Firefox ESR", 77}});
    std::map<std::string, BrowserAccess> by;
    for (const auto& browser : browsers)
        by[browser.applicationName] = browser;
    ASSERT_EQ(browsers.size(), 3u);
    EXPECT_TRUE(by["Brave Browser"].hostManifestInPlace);
    EXPECT_TRUE(by["Firefox ESR"].hostManifestInPlace);
    EXPECT_EQ(by["Firefox ESR"].connectedPids, std::vector<int>{77});
    EXPECT_FALSE(by["Chromium"].hostManifestInPlace);
    EXPECT_FALSE(by["Chromium"].extensionConnected());
}

TEST_F(BrowserCommandTest, ThePackagesSystemManifestsSayWhatThePerUserOnesSay) {
    auto packaged = [](const std::string& name) {
        std::string text =
            TemporaryFolder::read(VANTLO_SOURCE_DIR "/browser/native-messaging/" + name);
        for (auto [key, value] :
             {std::pair<std::string, std::string>{"@VANTLO_BROWSER_HOST_PATH@", "/x/host"},
              {"@VANTLO_CHROMIUM_EXTENSION_ID@", BrowserCommand::kChromiumExtensionID},
              {"@VANTLO_FIREFOX_EXTENSION_ID@", BrowserCommand::kFirefoxExtensionID}}) {
            for (auto at = text.find(key); at != std::string::npos; at = text.find(key))
                text.replace(at, key.size(), value);
        }
        return json::parse(text, nullptr, false);
    };
    const auto& targets = BrowserHostTarget::all();
    EXPECT_EQ(packaged("chromium.json.in"),
              json::parse(BrowserCommand::manifestText(targets.front(), "/x/host")));
    EXPECT_EQ(packaged("firefox.json.in"),
              json::parse(BrowserCommand::manifestText(targets.back(), "/x/host")));
}

}  // namespace
}  // namespace vantlo
