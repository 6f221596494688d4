#include "platform/posix/PosixFileSystem.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <utility>
#include <vector>

#include "platform/posix/InotifyWatcher.h"

namespace vantlo {
namespace {

namespace fs = std::filesystem;

// Symbolic links may lead back up the tree; a folder reached twice is not entered again.
constexpr int kMaxDepth = 32;

std::vector<fs::path> sortedChildren(const fs::path& folder, bool& listed) {
    std::vector<fs::path> children;
    std::error_code error;
    fs::directory_iterator it(folder, error);
    listed = !error;
    for (; !error && it != fs::directory_iterator(); it.increment(error)) {
        std::string name = it->path().filename().string();
        if (!name.empty() && name[0] != '.')
            children.push_back(it->path());
    }
    std::sort(children.begin(), children.end());
    return children;
}

bool visitFolder(const fs::path& folder, const FileSystem::Visitor& visit,
                 std::set<std::pair<dev_t, ino_t>>& seen, int depth) {
    bool listed = false;
    auto children = sortedChildren(folder, listed);
    if (!listed)
        return false;
    for (const auto& child : children) {
        std::error_code error;
        bool isDir = fs::is_directory(child, error);
        DirectoryEntry entry{child.string(), isDir, false};
        if (!visit(entry) || !isDir || depth >= kMaxDepth)
            continue;
        struct stat info {};
        if (::stat(child.c_str(), &info) != 0 || !seen.insert({info.st_dev, info.st_ino}).second)
            continue;
        visitFolder(child, visit, seen, depth + 1);
    }
    return true;
}

}  // namespace

PosixFileSystem::PosixFileSystem() : watcher_(InotifyWatcher::create()) {}

PosixFileSystem::~PosixFileSystem() = default;

bool PosixFileSystem::exists(const std::string& path) {
    std::error_code error;
    return fs::exists(path, error);
}

bool PosixFileSystem::isDirectory(const std::string& path) {
    std::error_code error;
    return fs::is_directory(path, error);
}

std::string PosixFileSystem::homeDirectory() {
    if (const char* home = std::getenv("HOME"); home != nullptr && home[0] != '\0')
        return home;
    if (const passwd* entry = ::getpwuid(::getuid()); entry != nullptr && entry->pw_dir != nullptr)
        return entry->pw_dir;
    return "/";
}

bool PosixFileSystem::enumerate(const std::string& root, const Visitor& visit) {
    std::set<std::pair<dev_t, ino_t>> seen;
    struct stat info {};
    if (::stat(root.c_str(), &info) == 0)
        seen.insert({info.st_dev, info.st_ino});
    return visitFolder(root, visit, seen, 0);
}

Subscription PosixFileSystem::watchFolder(const std::string& path, ChangeHandler onChange) {
    return watcher_->add(path, std::move(onChange));
}

}  // namespace vantlo
