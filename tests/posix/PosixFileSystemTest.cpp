#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <vector>

#include "platform/posix/PosixFileSystem.h"

namespace vantlo {
namespace {

namespace fs = std::filesystem;

class ScratchFolder {
  public:
    ScratchFolder() {
        char pattern[] = "/tmp/vantlo-fs-test.XXXXXX";
        path = ::mkdtemp(pattern);
    }
    ~ScratchFolder() {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
    void touch(const std::string& relative) const {
        fs::create_directories((fs::path(path) / relative).parent_path());
        std::ofstream(fs::path(path) / relative) << "x";
    }
    std::string path;
};

// Waits (bounded) for a background delivery; the watch thread is real, so time is real here.
class Signal {
  public:
    void notify() {
        std::lock_guard lock(mutex_);
        ++count_;
        changed_.notify_all();
    }
    bool waitFor(int count) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::seconds(5), [&] { return count_ >= count; });
    }

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    int count_ = 0;
};

TEST(PosixFileSystem, EnumeratesInNameOrderSkippingHiddenAndPrunedFolders) {
    ScratchFolder scratch;
    scratch.touch("b.desktop");
    scratch.touch("a/inner.desktop");
    scratch.touch(".hidden/secret.desktop");
    scratch.touch(".dotfile");
    scratch.touch("pruned/never.desktop");
    fs::create_directory_symlink(scratch.path, fs::path(scratch.path) / "loop");

    PosixFileSystem files;
    std::vector<std::string> seen;
    bool listed = files.enumerate(scratch.path, [&](const DirectoryEntry& entry) {
        std::string relative = fs::path(entry.path).lexically_relative(scratch.path).string();
        seen.push_back(relative + (entry.isDirectory ? "/" : ""));
        EXPECT_FALSE(entry.isPackage) << relative;
        return relative != "pruned";
    });
    EXPECT_TRUE(listed);
    EXPECT_EQ(seen,
              (std::vector<std::string>{"a/", "a/inner.desktop", "b.desktop", "loop/", "pruned/"}))
        << "the link back to the root is listed but not entered";
    EXPECT_FALSE(files.enumerate(scratch.path + "/missing", [](const auto&) { return true; }));
}

TEST(PosixFileSystem, WatchReportsChangesUntilDropped) {
    ScratchFolder scratch;
    PosixFileSystem files;
    Signal changes;
    auto watch = files.watchFolder(scratch.path, [&] { changes.notify(); });
    ASSERT_TRUE(watch);
    scratch.touch("new.desktop");
    EXPECT_TRUE(changes.waitFor(1)) << "creating a file";
    fs::rename(fs::path(scratch.path) / "new.desktop", fs::path(scratch.path) / "moved.desktop");
    EXPECT_TRUE(changes.waitFor(2)) << "renaming a file";

    // A second watch on the same folder shares the kernel's watch; dropping one keeps the other.
    Signal other;
    auto second = files.watchFolder(scratch.path, [&] { other.notify(); });
    watch.reset();
    fs::remove(fs::path(scratch.path) / "moved.desktop");
    EXPECT_TRUE(other.waitFor(1)) << "deleting a file";

    EXPECT_FALSE(files.watchFolder(scratch.path + "/missing", [] {}));
}

TEST(PosixFileSystem, HomeComesFromTheEnvironment) {
    PosixFileSystem files;
    const char* home = std::getenv("HOME");
    if (home != nullptr && *home != '\0') {
        EXPECT_EQ(files.homeDirectory(), home);
    }
    EXPECT_TRUE(files.isDirectory(files.homeDirectory()));
}

}  // namespace
}  // namespace vantlo
