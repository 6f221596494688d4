#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "platform/posix/InstanceLock.h"
#include "support/TemporaryFolder.h"

namespace vantlo {
namespace {

using testing::TemporaryFolder;

TEST(InstanceLock, PathNamesTheRuntimeFolderAndTheDisplay) {
    EXPECT_EQ(InstanceLock::pathFor("/run/user/1000", ":0", 1000), "/run/user/1000/vantlo-0.lock");
    EXPECT_EQ(InstanceLock::pathFor("/run/user/1000", ":0.1", 1000), "/run/user/1000/vantlo-0.lock")
        << "a screen number names the same display";
    EXPECT_EQ(InstanceLock::pathFor("/run/user/7", "localhost:10.0", 7),
              "/run/user/7/vantlo-localhost_10.lock");
    EXPECT_EQ(InstanceLock::pathFor("/run/user/7", "/tmp/../x:1", 7),
              "/run/user/7/vantlo-_tmp_.._x_1.lock")
        << "slashes never leave the folder";
    EXPECT_EQ(InstanceLock::pathFor(nullptr, ":1", 1000), "/tmp/vantlo-1000/vantlo-1.lock");
    EXPECT_EQ(InstanceLock::pathFor("relative/run", ":1", 1000), "/tmp/vantlo-1000/vantlo-1.lock");
    EXPECT_EQ(InstanceLock::pathFor("/run/user/1000", nullptr, 1000),
              "/run/user/1000/vantlo-nodisplay.lock");
}

TEST(InstanceLock, OneHolderAtATimeAndTheRecordNamesIt) {
    TemporaryFolder folder;
    std::string path = folder.file("run/vantlo-0.lock");
    InstanceLock first(path);
    InstanceLock second(path);

    ASSERT_TRUE(first.tryAcquire({4242, "/opt/vantlo/bin/vantlo"})) << first.lastError();
    EXPECT_EQ(
        std::filesystem::status(folder.file("run")).permissions() & std::filesystem::perms::all,
        std::filesystem::perms::owner_all)
        << "the missing folder is created private";
    EXPECT_FALSE(second.tryAcquire({4343, "/usr/bin/vantlo"}));
    EXPECT_TRUE(second.lastError().empty()) << "held, not broken";
    auto holder = second.readHolder();
    ASSERT_TRUE(holder);
    EXPECT_EQ(holder->pid, 4242);
    EXPECT_EQ(holder->executablePath, "/opt/vantlo/bin/vantlo");

    first.release();
    EXPECT_TRUE(second.acquireWithin(0, {4343, "/usr/bin/vantlo"}));
    EXPECT_EQ(TemporaryFolder::read(path), "4343\n/usr/bin/vantlo\n");
    EXPECT_FALSE(first.tryAcquire({4242, "/opt/vantlo/bin/vantlo"}));
}

TEST(InstanceLock, ClosingTheFileLetsGo) {
    TemporaryFolder folder;
    std::string path = folder.file("vantlo-0.lock");
    {
        InstanceLock gone(path);
        ASSERT_TRUE(gone.tryAcquire({10, "/a"}));
    }
    InstanceLock next(path);
    EXPECT_TRUE(next.tryAcquire({11, "/b"}));
}

TEST(InstanceLock, AStaleRecordWithoutAHolderIsReplaced) {
    TemporaryFolder folder;
    std::string path = folder.file("vantlo-0.lock");
    TemporaryFolder::write(path, "999999\n/home/user/build/vantlo-with-a-much-longer-path\n");
    ::chmod(path.c_str(), 0600);
    InstanceLock lock(path);
    ASSERT_TRUE(lock.tryAcquire({12, "/usr/bin/vantlo"}));
    EXPECT_EQ(TemporaryFolder::read(path), "12\n/usr/bin/vantlo\n");
}

TEST(InstanceLock, AKilledHolderReleasesTheLock) {
    TemporaryFolder folder;
    std::string path = folder.file("vantlo-0.lock");
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Only system calls in the child: it plays a copy that crashes while holding the lock.
        int fd = ::open(path.c_str(), O_RDWR | O_CREAT, 0600);
        if (fd < 0 || ::flock(fd, LOCK_EX) != 0)
            ::_exit(1);
        char byte = 1;
        if (::write(ready[1], &byte, 1) != 1)
            ::_exit(1);
        ::pause();
        ::_exit(0);
    }
    ::close(ready[1]);
    char byte = 0;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1) << "the child could not lock";
    ::close(ready[0]);

    InstanceLock lock(path);
    EXPECT_FALSE(lock.tryAcquire({20, "/usr/bin/vantlo"})) << "held by the child";
    EXPECT_FALSE(lock.readHolder()) << "the child wrote no record";
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(lock.tryAcquire({20, "/usr/bin/vantlo"})) << "the kernel let go of the lock";
}

TEST(InstanceLock, RefusesFoldersAndFilesOthersCouldControl) {
    TemporaryFolder folder;
    std::string open = folder.file("open");
    ASSERT_EQ(::mkdir(open.c_str(), 0700), 0);
    ::chmod(open.c_str(), 0777);
    InstanceLock inOpenFolder(open + "/vantlo-0.lock");
    EXPECT_FALSE(inOpenFolder.tryAcquire({30, "/a"}));
    EXPECT_NE(inOpenFolder.lastError(), "") << "a world-writable folder";

    std::string target = folder.file("elsewhere");
    TemporaryFolder::write(target, "keep me");
    std::string link = folder.file("vantlo-0.lock");
    ASSERT_EQ(::symlink(target.c_str(), link.c_str()), 0);
    InstanceLock throughLink(link);
    EXPECT_FALSE(throughLink.tryAcquire({31, "/a"}));
    EXPECT_NE(throughLink.lastError(), "") << "a symbolic link";
    EXPECT_EQ(TemporaryFolder::read(target), "keep me");

    std::string shared = folder.file("vantlo-1.lock");
    TemporaryFolder::write(shared, "");
    ::chmod(shared.c_str(), 0666);
    InstanceLock sharedFile(shared);
    EXPECT_FALSE(sharedFile.tryAcquire({32, "/a"})) << "a file others may write";
}

TEST(InstanceLock, MalformedRecordsNameNoHolder) {
    TemporaryFolder folder;
    std::string path = folder.file("vantlo-0.lock");
    InstanceLock lock(path);
    EXPECT_FALSE(lock.readHolder()) << "missing file";
    for (const char* record : {"", "12", "12\n", "x\n/a\n", "-3\n/a\n", "0\n/a\n", "12x\n/a\n"}) {
        TemporaryFolder::write(path, record);
        EXPECT_FALSE(lock.readHolder()) << "record " << record;
    }
    TemporaryFolder::write(path, "12\n\n");
    ASSERT_TRUE(lock.readHolder());
    EXPECT_EQ(lock.readHolder()->executablePath, "");
}

}  // namespace
}  // namespace vantlo
