#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <filesystem>

#include "platform/posix/RegularFile.h"
#include "support/TemporaryFolder.h"

namespace vantlo {
namespace {

using testing::TemporaryFolder;
namespace fs = std::filesystem;
using Status = RegularFile::Status;

TEST(RegularFile, ReadsPlainFilesThroughLinksUpToTheLimit) {
    TemporaryFolder folder;
    auto path = folder.file("entry");
    TemporaryFolder::write(path, "exactly 16 bytes");
    fs::create_symlink(path, folder.file("link"));

    for (const char* name : {"entry", "link"}) {
        auto file = RegularFile::read(folder.file(name), 16);
        EXPECT_TRUE(file.ok()) << name << ": " << file.failure();
        EXPECT_EQ(file.contents, "exactly 16 bytes") << name;
    }
    auto tooLarge = RegularFile::read(path, 15);
    EXPECT_EQ(tooLarge.status, Status::tooLarge);
    EXPECT_EQ(tooLarge.contents, "") << "never cut short";
    EXPECT_EQ(tooLarge.failure(), "is larger than 15 bytes");
    EXPECT_EQ(RegularFile::read(path, 2u << 20).contents.size(), 16u);
    EXPECT_EQ(RegularFile::read(folder.file("absent"), 1).status, Status::missing);
}

TEST(RegularFile, RefusesSpecialFilesWithoutBlockingOrReadingForever) {
    TemporaryFolder folder;
    auto fifo = folder.file("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    fs::create_symlink(fifo, folder.file("to-fifo"));
    fs::create_symlink("/dev/zero", folder.file("to-zero"));
    fs::create_symlink("/dev/urandom", folder.file("to-urandom"));
    fs::create_directory(folder.file("folder"));

    struct Case {
        std::string name;
        std::string failure;
    };
    for (const auto& [name, failure] : std::vector<Case>{
             {"fifo", "is a FIFO, not a regular file"},
             {"to-fifo", "is a FIFO, not a regular file"},
             {"to-zero", "is a character device, not a regular file"},
             {"to-urandom", "is a character device, not a regular file"},
             {"folder", "is a folder, not a regular file"},
         }) {
        auto file = RegularFile::read(folder.file(name), 1u << 20);
        EXPECT_EQ(file.status, Status::notRegular) << name;
        EXPECT_EQ(file.failure(), failure) << name;
    }
}

TEST(RegularFile, RefusesSocketsAndReportsTheRealError) {
    TemporaryFolder folder;
    auto socketPath = folder.file("socket");
    int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    socketPath.copy(address.sun_path, sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    EXPECT_EQ(RegularFile::read(socketPath, 100).failure(), "is a socket, not a regular file");
    ::close(fd);

    // A path through a file (works for root too, unlike permission errors).
    TemporaryFolder::write(folder.file("plain"), "x");
    auto through = RegularFile::read(folder.file("plain") + "/below", 100);
    EXPECT_EQ(through.status, Status::unreadable);
    EXPECT_EQ(through.error, ENOTDIR);
    EXPECT_EQ(through.failure(), "cannot be read (Not a directory)");

    fs::create_symlink(folder.file("nowhere"), folder.file("dangling"));
    EXPECT_EQ(RegularFile::read(folder.file("dangling"), 100).status, Status::missing);
}

TEST(RegularFile, ReadsProcFilesThatReportNoSize) {
    auto stat = RegularFile::read("/proc/self/stat", RegularFile::kSmallSystemFileLimit);
    ASSERT_TRUE(stat.ok()) << stat.failure();
    EXPECT_EQ(stat.contents.substr(0, std::to_string(::getpid()).size()),
              std::to_string(::getpid()));
    EXPECT_EQ(RegularFile::read("/proc/self/stat", 4).status, Status::tooLarge)
        << "the limit holds for files whose size is unknown beforehand";
}

}  // namespace
}  // namespace vantlo
