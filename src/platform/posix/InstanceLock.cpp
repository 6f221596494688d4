#include "platform/posix/InstanceLock.h"
#include "platform/posix/PrivateFolder.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <thread>

namespace vantlo {
namespace {

std::string systemError(const std::string& what) {
    return PrivateFolder::systemError(what);
}

// Owned by this user and writable by nobody else.
bool isPrivate(const struct stat& info) {
    return info.st_uid == ::geteuid() && (info.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

bool prepareFolder(const std::string& folder, std::string& error) {
    return PrivateFolder::prepare(folder, PrivateFolder::Rule::noWritesByOthers, error);
}

std::string fileSafe(std::string_view text) {
    std::string safe;
    for (char c : text) {
        bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                     c == '-' || c == '.';
        safe += plain ? c : '_';
    }
    return safe;
}

// ":0.1" and ":0" are one display; only the screen number differs.
std::string displayPart(const char* display) {
    if (display == nullptr || display[0] == '\0')
        return "nodisplay";
    std::string_view name(display);
    auto colon = name.rfind(':');
    if (colon != std::string_view::npos) {
        auto dot = name.find('.', colon);
        if (dot != std::string_view::npos)
            name = name.substr(0, dot);
    }
    // The local display ":0" reads "0"; a remote one keeps its host: "localhost_10".
    if (name.starts_with(':'))
        name.remove_prefix(1);
    return fileSafe(name);
}

}  // namespace

InstanceLock::InstanceLock(std::string path) : path_(std::move(path)) {}

InstanceLock::~InstanceLock() {
    if (fd_ >= 0)
        ::close(fd_);
}

std::string InstanceLock::pathFor(const char* runtimeDirectory, const char* display, unsigned uid) {
    std::string folder = (runtimeDirectory != nullptr && runtimeDirectory[0] == '/')
                             ? std::string(runtimeDirectory)
                             : "/tmp/vantlo-" + std::to_string(uid);
    return folder + "/vantlo-" + displayPart(display) + ".lock";
}

std::string InstanceLock::defaultPath() {
    return pathFor(std::getenv("XDG_RUNTIME_DIR"), std::getenv("DISPLAY"), ::geteuid());
}

bool InstanceLock::openFile() {
    if (fd_ >= 0)
        return true;
    std::string folder = std::filesystem::path(path_).parent_path().string();
    if (!prepareFolder(folder, lastError_))
        return false;
    int fd = ::open(path_.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        lastError_ = systemError("cannot open " + path_);
        return false;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || !isPrivate(info)) {
        lastError_ = path_ + " is not a private file of this user";
        ::close(fd);
        return false;
    }
    fd_ = fd;
    lastError_.clear();
    return true;
}

bool InstanceLock::tryAcquire(const Holder& self) {
    if (held_)
        return true;
    if (!openFile())
        return false;
    while (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EINTR)
            return false;
    }
    held_ = true;
    std::string record = std::to_string(self.pid) + "\n" + self.executablePath + "\n";
    // A record that cannot be written only leaves newcomers unable to tell who holds the lock.
    if (::ftruncate(fd_, 0) == 0 && ::pwrite(fd_, record.data(), record.size(), 0) >= 0)
        ::fsync(fd_);
    return true;
}

bool InstanceLock::acquireWithin(double seconds, const Holder& self) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    for (;;) {
        if (tryAcquire(self))
            return true;
        if (fd_ < 0 || std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

void InstanceLock::release() {
    if (!held_)
        return;
    ::flock(fd_, LOCK_UN);
    held_ = false;
}

std::optional<InstanceLock::Holder> InstanceLock::readHolder() const {
    int fd = ::open(path_.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    char buffer[4096 + 32];
    ssize_t size = ::pread(fd, buffer, sizeof buffer, 0);
    ::close(fd);
    if (size <= 0)
        return std::nullopt;
    std::string_view text(buffer, static_cast<std::size_t>(size));
    auto firstEnd = text.find('\n');
    if (firstEnd == std::string_view::npos)
        return std::nullopt;
    Holder holder;
    auto [end, error] = std::from_chars(text.data(), text.data() + firstEnd, holder.pid);
    if (error != std::errc() || end != text.data() + firstEnd || holder.pid <= 0)
        return std::nullopt;
    auto rest = text.substr(firstEnd + 1);
    auto secondEnd = rest.find('\n');
    if (secondEnd == std::string_view::npos)
        return std::nullopt;
    holder.executablePath = std::string(rest.substr(0, secondEnd));
    return holder;
}

}  // namespace vantlo
