#pragma once
// Stands in for the file system: existence tests, recursive listing of application folders and
// change events on folders.

#include <functional>
#include <memory>
#include <string>

#include "platform/Subscription.h"

namespace vantlo {

struct DirectoryEntry {
    std::string path;
    bool isDirectory = false;
    // A folder the file manager presents as one file (an application bundle); never entered.
    bool isPackage = false;
};

class FileSystem {
  public:
    // Return false to skip the entry's descendants.
    using Visitor = std::function<bool(const DirectoryEntry&)>;
    // Called on a background thread when something in the folder was written, extended,
    // renamed, deleted or linked.
    using ChangeHandler = std::function<void()>;

    virtual ~FileSystem() = default;

    virtual bool exists(const std::string& path) = 0;
    virtual bool isDirectory(const std::string& path) = 0;
    virtual std::string homeDirectory() = 0;
    // Visits every entry below `root` (not the root itself), entering sub-folders that are not
    // packages, skipping hidden files (names starting with "."). Entries of one folder are visited
    // in name order. False when the root cannot be listed; unreadable sub-folders are skipped.
    virtual bool enumerate(const std::string& root, const Visitor& visit) = 0;
    // Watches one folder (not its sub-folders) while the Subscription lives; an empty
    // Subscription when the folder cannot be watched.
    virtual Subscription watchFolder(const std::string& path, ChangeHandler onChange) = 0;
};

}  // namespace vantlo
