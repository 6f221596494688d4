#include "platform/linux/ProcessTable.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <sstream>

#include "platform/posix/RegularFile.h"

namespace vantlo {
namespace {

// Plain reads: a scan reads several small files per process, and a stream's set-up cost more
// than the reading.
std::string readAll(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return {};
    std::string text;
    char buffer[4096];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        text.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(fd);
    return text;
}

std::vector<std::string> splitNul(const std::string& text) {
    std::vector<std::string> parts;
    std::string current;
    for (char c : text) {
        if (c == '\0') {
            parts.push_back(current);
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.empty())
        parts.push_back(current);
    return parts;
}

std::string symlinkTarget(const std::string& path) {
    char target[PATH_MAX];
    const ssize_t length = ::readlink(path.c_str(), target, sizeof target);
    return length > 0 ? std::string(target, static_cast<std::size_t>(length)) : std::string();
}

bool isPid(const char* name) {
    if (*name < '1' || *name > '9')
        return false;
    for (const char* c = name; *c != '\0'; ++c) {
        if (*c < '0' || *c > '9')
            return false;
    }
    return true;
}

std::string baseName(const std::string& path) {
    auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

Pid parentOf(const std::string& stat) {
    auto close = stat.rfind(')');
    if (close == std::string::npos)
        return 0;
    std::istringstream rest(stat.substr(close + 1));
    std::string state;
    Pid parent = 0;
    rest >> state >> parent;
    return parent;
}

}  // namespace

std::string ProcessFacts::programName() const {
    if (!argv.empty() && !argv[0].empty()) {
        // Some programs rewrite argv[0] to "name --switches" in one string.
        std::string first = argv[0].substr(0, argv[0].find(' '));
        return baseName(first);
    }
    return baseName(executable);
}

namespace ProcessTable {

std::vector<Pid> pids() {
    std::vector<Pid> found;
    DIR* proc = ::opendir("/proc");
    if (proc == nullptr)
        return found;
    while (const dirent* entry = ::readdir(proc)) {
        if (isPid(entry->d_name))
            found.push_back(static_cast<Pid>(std::atol(entry->d_name)));
    }
    ::closedir(proc);
    std::sort(found.begin(), found.end());
    return found;
}

std::optional<ProcessIdentity> identity(Pid pid) {
    if (pid <= 0)
        return std::nullopt;
    const std::string base = "/proc/" + std::to_string(pid);
    struct stat info {};
    if (::stat(base.c_str(), &info) != 0)
        return std::nullopt;
    return ProcessIdentity{info.st_uid, static_cast<std::uint64_t>(info.st_ino),
                           symlinkTarget(base + "/exe")};
}

std::optional<ProcessFacts> read(Pid pid) {
    std::string base = "/proc/" + std::to_string(pid);
    std::string stat = readAll(base + "/stat");
    if (stat.empty())
        return std::nullopt;
    ProcessFacts facts;
    facts.pid = pid;
    facts.parent = parentOf(stat);
    facts.argv = splitNul(readAll(base + "/cmdline"));
    return facts;
}

std::optional<std::string> launchedDesktopFile(Pid pid) {
    std::string file, launchedPid;
    for (const auto& variable : splitNul(readAll("/proc/" + std::to_string(pid) + "/environ"))) {
        if (variable.starts_with("GIO_LAUNCHED_DESKTOP_FILE="))
            file = variable.substr(26);
        else if (variable.starts_with("GIO_LAUNCHED_DESKTOP_FILE_PID="))
            launchedPid = variable.substr(30);
    }
    if (file.empty() || launchedPid != std::to_string(pid))
        return std::nullopt;
    return file;
}

std::optional<std::string> flatpakAppId(Pid pid) {
    // Unlike the kernel's own files above, this one lies in a file system the process controls,
    // where a FIFO or a device could stand in its place.
    auto info = RegularFile::read("/proc/" + std::to_string(pid) + "/root/.flatpak-info",
                                  RegularFile::kSmallSystemFileLimit);
    std::istringstream lines(info.contents);
    std::string line;
    bool inApplication = false;
    while (std::getline(lines, line)) {
        if (!line.empty() && line[0] == '[')
            inApplication = line == "[Application]";
        else if (inApplication && line.starts_with("name="))
            return line.substr(5);
    }
    return std::nullopt;
}

std::optional<std::string> snapName(Pid pid) {
    std::istringstream lines(readAll("/proc/" + std::to_string(pid) + "/cgroup"));
    std::string line;
    while (std::getline(lines, line)) {
        auto at = line.find("/snap.");
        if (at == std::string::npos)
            continue;
        std::string rest = line.substr(at + 6);
        auto dot = rest.find('.');
        if (dot != std::string::npos && dot > 0)
            return rest.substr(0, dot);
    }
    return std::nullopt;
}

}  // namespace ProcessTable
}  // namespace vantlo
