#pragma once
// The file system on a POSIX system: std::filesystem for tests and listings, inotify for folder
// events. Linux has no packages: every folder is entered.

#include <memory>

#include "platform/FileSystem.h"

namespace vantlo {

class InotifyWatcher;

class PosixFileSystem : public FileSystem {
  public:
    PosixFileSystem();
    ~PosixFileSystem() override;

    bool exists(const std::string& path) override;
    bool isDirectory(const std::string& path) override;
    std::string homeDirectory() override;
    bool enumerate(const std::string& root, const Visitor& visit) override;
    Subscription watchFolder(const std::string& path, ChangeHandler onChange) override;

  private:
    std::shared_ptr<InotifyWatcher> watcher_;
};

}  // namespace vantlo
