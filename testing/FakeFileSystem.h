#pragma once
// A file tree held in memory. Tests add folders, files and packages (folders shown as one file,
// like application bundles); parents are created on the way. Folder watches report a change
// only when the test says one happened (`emitChange`), on a background queue of the fake
// dispatch, as a real watch would.

#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "platform/Dispatch.h"
#include "platform/FileSystem.h"

namespace vantlo {

class FakeFileSystem : public FileSystem {
  public:
    FakeFileSystem(Dispatch& dispatch, std::string homeDirectory);

    bool exists(const std::string& path) override;
    bool isDirectory(const std::string& path) override;
    std::string homeDirectory() override;
    bool enumerate(const std::string& root, const Visitor& visit) override;
    Subscription watchFolder(const std::string& path, ChangeHandler onChange) override;

    void addDirectory(const std::string& path);
    void addFile(const std::string& path);
    void addPackage(const std::string& path);
    // Removes the entry and everything below it.
    void remove(const std::string& path);
    // Listing this folder fails (it and what is below it are skipped).
    void setUnreadable(const std::string& path, bool unreadable = true);
    // Something changed in `folder`: every live watch on it is told, on a background queue.
    void emitChange(const std::string& folder);
    // The folders with a live watch, in path order, one entry per watch.
    std::vector<std::string> watchedFolders();

  private:
    struct Entry {
        bool isDirectory = false;
        bool isPackage = false;
    };
    class Watch;

    void addEntry(const std::string& path, Entry entry);
    std::vector<std::string> childrenLocked(const std::string& folder);
    bool walk(const std::string& folder, const Visitor& visit);

    Dispatch& dispatch_;
    std::string home_;
    std::mutex mutex_;
    std::map<std::string, Entry> entries_;
    std::set<std::string> unreadable_;
    std::vector<std::weak_ptr<Watch>> watches_;
};

}  // namespace vantlo
