#include "app/BrowserCommand.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <sstream>

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <nlohmann/json.hpp>

#include "platform/posix/ExecutableBundle.h"
#include "protocol/BridgeSocketPath.h"
#include "protocol/Frame.h"
#include "protocol/FrameReader.h"

namespace vantlo {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

constexpr int kStatusTimeoutMs = 1000;

// Debian's firefox-esr puts a "firefox" script on PATH that starts Firefox ESR: it does not mean
// that a release Firefox is installed.
bool startsFirefoxEsr(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    std::string head(512, '\0');
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(in.gcount()));
    return head.starts_with("#!") && head.find("exec firefox-esr") != std::string::npos;
}

bool onPath(const std::string& executable) {
    const char* path = std::getenv("PATH");
    std::stringstream folders(path ? path : "/usr/local/bin:/usr/bin:/bin");
    std::string folder;
    while (std::getline(folders, folder, ':')) {
        std::string file = folder + "/" + executable;
        if (!folder.empty() && ::access(file.c_str(), X_OK) == 0)
            return executable != "firefox" || !startsFirefoxEsr(file);
    }
    return false;
}

bool installedOnPath(const BrowserHostTarget& target) {
    for (const auto& executable : target.executables) {
        if (onPath(executable))
            return true;
    }
    return false;
}

std::string manifestPath(const BrowserCommand::Environment& environment,
                         const BrowserHostTarget& target) {
    const std::string& base = target.underConfigHome ? environment.configHome : environment.home;
    return base + "/" + target.manifestFolder + "/" + BrowserCommand::kHostName + ".json";
}

// A manifest a package put in a system-wide folder the browser reads.
bool hasSystemManifest(const BrowserCommand::Environment& environment,
                       const BrowserHostTarget& target) {
    std::error_code code;
    for (const auto& folder : target.systemManifestFolders) {
        std::string path =
            environment.systemRoot + folder + "/" + BrowserCommand::kHostName + ".json";
        if (fs::exists(path, code))
            return true;
    }
    return false;
}

bool writeFile(const std::string& path, const std::string& text, std::string& error) {
    std::error_code code;
    fs::create_directories(fs::path(path).parent_path(), code);
    std::string temporary = path + ".new";
    {
        std::ofstream file(temporary, std::ios::trunc);
        file << text;
        if (!file) {
            error = "cannot write " + temporary;
            return false;
        }
    }
    fs::rename(temporary, path, code);
    if (code)
        error = "cannot replace " + path + ": " + code.message();
    return !code;
}

// Replaces the previous copy as a whole, so files the extension no longer has do not linger.
bool copyExtension(const std::string& from, const std::string& to, std::string& error) {
    std::error_code code;
    if (!fs::is_directory(from, code)) {
        error = "the extension is missing from this installation (" + from + ")";
        return false;
    }
    // A per-user install already put the extension where the browsers are told to look.
    if (fs::equivalent(from, to, code))
        return true;
    fs::remove_all(to, code);
    fs::create_directories(to, code);
    fs::copy(from, to, fs::copy_options::recursive | fs::copy_options::overwrite_existing, code);
    if (code)
        error = "cannot copy the extension to " + to + ": " + code.message();
    return !code;
}

void explainAdding(const BrowserHostTarget& target, const std::string& extensionFolder,
                   const std::string& xpi, std::ostream& out) {
    using K = BrowserHostTarget::Kind;
    out << target.applicationName << ": ";
    switch (target.kind) {
        case K::chromium:
            out << "open " << target.extensionsPage
                << ", switch on Developer mode, choose \"Load unpacked\" and select\n    "
                << extensionFolder << "\n";
            break;
        case K::firefoxUnsigned:
            out << "in about:config set xpinstall.signatures.required to false, then open "
                << target.extensionsPage << ", choose \"Install Add-on From File\" and select\n    "
                << xpi << "\n";
            break;
        case K::firefoxRelease:
            out << "this Firefox accepts signed add-ons only and this build of the extension is "
                   "unsigned;\n    use Firefox ESR or Developer Edition, or a signed build of "
                   "Vantlo Tabs\n";
            break;
    }
}

bool sendAll(int fd, const std::string& bytes) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

std::optional<std::string> readOneFrame(int fd) {
    bridge::FrameReader reader(bridge::kMaxMessageToBrowser);
    char chunk[4096];
    for (;;) {
        pollfd waiting{fd, POLLIN, 0};
        if (::poll(&waiting, 1, kStatusTimeoutMs) <= 0)
            return std::nullopt;
        ssize_t got = ::recv(fd, chunk, sizeof(chunk), 0);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return std::nullopt;
        reader.append({chunk, static_cast<std::size_t>(got)});
        if (auto payload = reader.next())
            return payload;
        if (reader.failed())
            return std::nullopt;
    }
}

}  // namespace

BrowserCommand::Environment BrowserCommand::Environment::current() {
    Environment environment;
    const char* home = std::getenv("HOME");
    environment.home = home ? home : "";
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    environment.configHome = configHome && configHome[0] == '/' ? std::string(configHome)
                                                                : environment.home + "/.config";
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    environment.dataHome =
        dataHome && dataHome[0] == '/' ? std::string(dataHome) : environment.home + "/.local/share";
    fs::path executable = ExecutableBundle::currentExecutablePath();
    fs::path prefix = executable.parent_path().parent_path();
    environment.hostPath = (prefix / "libexec" / "vantlo" / "vantlo-browser-host").string();
    environment.extensionSource = (prefix / "share" / "vantlo" / "browser-extension").string();
    environment.xpiSource = (prefix / "share" / "vantlo" / "vantlo-tabs.xpi").string();
    environment.socketPath = bridge::bridgeSocketPath();
    environment.isInstalled = installedOnPath;
    return environment;
}

std::string BrowserCommand::manifestText(const BrowserHostTarget& target,
                                         const std::string& hostPath) {
    json manifest = {{"name", kHostName},
                     {"description", "Vantlo switcher: lists, selects and closes your tabs"},
                     {"path", hostPath},
                     {"type", "stdio"}};
    if (target.kind == BrowserHostTarget::Kind::chromium)
        manifest["allowed_origins"] = {std::string("chrome-extension://") + kChromiumExtensionID +
                                       "/"};
    else
        manifest["allowed_extensions"] = {kFirefoxExtensionID};
    return manifest.dump(2) + "\n";
}

int BrowserCommand::run(const std::vector<std::string>& arguments, const Environment& environment,
                        std::ostream& out, std::ostream& err) {
    if (arguments.size() == 1 && arguments[0] == "install")
        return install(environment, out, err);
    if (arguments.size() == 1 && arguments[0] == "status")
        return status(environment, out);
    err << "Usage: vantlo browser install | status\n";
    return 2;
}

int BrowserCommand::install(const Environment& environment, std::ostream& out, std::ostream& err) {
    if (environment.home.empty()) {
        err << "vantlo browser install: HOME is not set\n";
        return 1;
    }
    if (::access(environment.hostPath.c_str(), X_OK) != 0) {
        err << "vantlo browser install: the browser host is missing from this installation ("
            << environment.hostPath << ")\n";
        return 1;
    }
    std::string extensionFolder = environment.dataHome + "/vantlo/browser-extension";
    std::string xpi = environment.dataHome + "/vantlo/vantlo-tabs.xpi";
    std::string error;
    if (!copyExtension(environment.extensionSource, extensionFolder, error)) {
        err << "vantlo browser install: " << error << "\n";
        return 1;
    }
    std::error_code code;
    if (fs::exists(environment.xpiSource, code) &&
        !fs::equivalent(environment.xpiSource, xpi, code))
        fs::copy_file(environment.xpiSource, xpi, fs::copy_options::overwrite_existing, code);

    std::vector<const BrowserHostTarget*> installed;
    int failures = 0;
    for (const auto& target : BrowserHostTarget::all()) {
        if (!environment.isInstalled(target))
            continue;
        installed.push_back(&target);
        std::string path = manifestPath(environment, target);
        if (!writeFile(path, manifestText(target, environment.hostPath), error)) {
            err << "vantlo browser install: " << target.applicationName << ": " << error << "\n";
            ++failures;
            continue;
        }
        out << target.applicationName << ": host manifest written to " << path << "\n";
    }
    if (installed.empty()) {
        out << "No supported browser is installed. Run this again after installing one.\n";
        return failures ? 1 : 0;
    }
    out << "\nTo let Vantlo list your tabs, add the Vantlo Tabs extension once:\n";
    for (const auto* target : installed)
        explainAdding(*target, extensionFolder, xpi, out);
    return failures ? 1 : 0;
}

std::optional<std::vector<BrowserCommand::Connected>> BrowserCommand::askConnected(
    const std::string& socketPath) {
    int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return std::nullopt;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof(address.sun_path), "%s", socketPath.c_str());
    std::optional<std::string> answer;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0 &&
        sendAll(fd, bridge::encodeFrame(json{{"type", "status"}}.dump())))
        answer = readOneFrame(fd);
    ::close(fd);
    if (!answer)
        return std::nullopt;
    json value = json::parse(*answer, nullptr, false);
    if (!value.is_object() || !value.contains("connected") || !value["connected"].is_array())
        return std::nullopt;
    std::vector<Connected> connected;
    for (const auto& entry : value["connected"]) {
        if (entry.is_object() && entry.value("browser", json()).is_string())
            connected.push_back({entry["browser"].get<std::string>(), entry.value("pid", 0)});
    }
    return connected;
}

std::vector<BrowserAccess> BrowserCommand::statuses(const Environment& environment,
                                                    const std::vector<Connected>& connected) {
    std::vector<BrowserAccess> result;
    for (const auto& target : BrowserHostTarget::all()) {
        BrowserAccess browser;
        browser.applicationName = target.applicationName;
        std::error_code code;
        bool userManifest = fs::exists(manifestPath(environment, target), code);
        for (const auto& c : connected) {
            if (c.applicationName == target.applicationName)
                browser.connectedPids.push_back(c.pid);
        }
        // The package sets every browser up system-wide: that alone does not make one worth
        // mentioning, while a user's own manifest or a connection does.
        if (!userManifest && !browser.extensionConnected() && !environment.isInstalled(target))
            continue;
        browser.hostManifestInPlace = userManifest || hasSystemManifest(environment, target);
        result.push_back(std::move(browser));
    }
    return result;
}

int BrowserCommand::status(const Environment& environment, std::ostream& out) {
    auto connected = askConnected(environment.socketPath);
    if (!connected)
        out << "Vantlo is not running: no extension can be connected.\n";
    for (const auto& browser :
         statuses(environment, connected.value_or(std::vector<Connected>{}))) {
        out << browser.applicationName << ": host manifest "
            << (browser.hostManifestInPlace ? "in place" : "missing (run: vantlo browser install)")
            << "; extension ";
        if (!connected)
            out << "unknown\n";
        else if (!browser.extensionConnected())
            out << "not connected\n";
        else {
            out << "connected (pid";
            for (int pid : browser.connectedPids)
                out << " " << pid;
            out << ")\n";
        }
    }
    return 0;
}

}  // namespace vantlo
