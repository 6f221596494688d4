#include "testing/FakeFileSystem.h"

#include <algorithm>

namespace vantlo {

class FakeFileSystem::Watch {
  public:
    Watch(std::string path, ChangeHandler handler)
        : path(std::move(path)), handler(std::move(handler)) {}
    std::string path;
    ChangeHandler handler;
};

namespace {
std::string normalized(std::string path) {
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

std::string parentOf(const std::string& path) {
    auto slash = path.find_last_of('/');
    if (slash == std::string::npos || slash == 0)
        return "/";
    return path.substr(0, slash);
}

std::string nameOf(const std::string& path) {
    auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}
}  // namespace

FakeFileSystem::FakeFileSystem(Dispatch& dispatch, std::string homeDirectory)
    : dispatch_(dispatch), home_(std::move(homeDirectory)) {
    addDirectory(home_);
}

bool FakeFileSystem::exists(const std::string& path) {
    std::lock_guard lock(mutex_);
    return entries_.count(normalized(path)) > 0;
}

bool FakeFileSystem::isDirectory(const std::string& path) {
    std::lock_guard lock(mutex_);
    auto it = entries_.find(normalized(path));
    return it != entries_.end() && it->second.isDirectory;
}

std::string FakeFileSystem::homeDirectory() {
    std::lock_guard lock(mutex_);
    return home_;
}

void FakeFileSystem::addEntry(const std::string& rawPath, Entry entry) {
    std::lock_guard lock(mutex_);
    auto path = normalized(rawPath);
    for (auto parent = parentOf(path); parent != "/"; parent = parentOf(parent)) {
        auto& existing = entries_[parent];
        existing.isDirectory = true;
    }
    entries_["/"].isDirectory = true;
    entries_[path] = entry;
}

void FakeFileSystem::addDirectory(const std::string& path) {
    addEntry(path, {true, false});
}

void FakeFileSystem::addFile(const std::string& path) {
    addEntry(path, {false, false});
}

void FakeFileSystem::addPackage(const std::string& path) {
    addEntry(path, {true, true});
}

void FakeFileSystem::remove(const std::string& rawPath) {
    std::lock_guard lock(mutex_);
    auto path = normalized(rawPath);
    std::erase_if(entries_, [&](const auto& entry) {
        return entry.first == path || entry.first.rfind(path + "/", 0) == 0;
    });
}

void FakeFileSystem::setUnreadable(const std::string& path, bool unreadable) {
    std::lock_guard lock(mutex_);
    if (unreadable)
        unreadable_.insert(normalized(path));
    else
        unreadable_.erase(normalized(path));
}

std::vector<std::string> FakeFileSystem::childrenLocked(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& [path, entry] : entries_) {
        if (path != "/" && parentOf(path) == folder)
            names.push_back(nameOf(path));
    }
    std::sort(names.begin(), names.end());
    return names;
}

bool FakeFileSystem::enumerate(const std::string& root, const Visitor& visit) {
    {
        std::lock_guard lock(mutex_);
        auto path = normalized(root);
        auto it = entries_.find(path);
        if (it == entries_.end() || !it->second.isDirectory || unreadable_.count(path))
            return false;
    }
    return walk(normalized(root), visit);
}

bool FakeFileSystem::walk(const std::string& folder, const Visitor& visit) {
    std::vector<DirectoryEntry> listing;
    {
        std::lock_guard lock(mutex_);
        if (unreadable_.count(folder))
            return false;
        for (const auto& name : childrenLocked(folder)) {
            if (name.starts_with("."))
                continue;
            auto path = folder == "/" ? "/" + name : folder + "/" + name;
            const auto& entry = entries_[path];
            listing.push_back({path, entry.isDirectory, entry.isPackage});
        }
    }
    // The visitor runs without the lock, so it may look at the tree itself.
    for (const auto& entry : listing) {
        bool descend = visit(entry);
        if (descend && entry.isDirectory && !entry.isPackage)
            walk(entry.path, visit);
    }
    return true;
}

Subscription FakeFileSystem::watchFolder(const std::string& rawPath, ChangeHandler onChange) {
    std::lock_guard lock(mutex_);
    auto path = normalized(rawPath);
    auto it = entries_.find(path);
    if (it == entries_.end() || !it->second.isDirectory || unreadable_.count(path))
        return {};
    auto watch = std::make_shared<Watch>(path, std::move(onChange));
    watches_.push_back(watch);
    // The watch lives as long as the Subscription does; emitChange finds only live ones.
    return Subscription([watch]() mutable { watch.reset(); });
}

void FakeFileSystem::emitChange(const std::string& folder) {
    std::vector<std::shared_ptr<Watch>> live;
    {
        std::lock_guard lock(mutex_);
        auto path = normalized(folder);
        std::erase_if(watches_, [](const auto& weak) { return weak.expired(); });
        for (const auto& weak : watches_) {
            auto watch = weak.lock();
            if (watch && watch->path == path)
                live.push_back(watch);
        }
    }
    for (const auto& watch : live) {
        std::weak_ptr<Watch> weak = watch;
        dispatch_.global(QualityOfService::utility, [weak] {
            if (auto watch = weak.lock(); watch && watch->handler)
                watch->handler();
        });
    }
}

std::vector<std::string> FakeFileSystem::watchedFolders() {
    std::lock_guard lock(mutex_);
    std::vector<std::string> result;
    for (const auto& weak : watches_) {
        if (auto watch = weak.lock())
            result.push_back(watch->path);
    }
    std::sort(result.begin(), result.end());
    return result;
}

}  // namespace vantlo
