#include "platform/posix/RegularFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

namespace vantlo {
namespace {

std::string kindOf(mode_t mode) {
    if (S_ISFIFO(mode))
        return "a FIFO";
    if (S_ISCHR(mode))
        return "a character device";
    if (S_ISBLK(mode))
        return "a block device";
    if (S_ISSOCK(mode))
        return "a socket";
    if (S_ISDIR(mode))
        return "a folder";
    return "not a plain file";
}

std::string sizeText(std::size_t bytes) {
    if (bytes >= (1u << 20) && bytes % (1u << 20) == 0)
        return std::to_string(bytes >> 20) + " MiB";
    if (bytes >= (1u << 10) && bytes % (1u << 10) == 0)
        return std::to_string(bytes >> 10) + " KiB";
    return std::to_string(bytes) + " bytes";
}

}  // namespace

std::string RegularFile::failure() const {
    switch (status) {
        case Status::read:
            return {};
        case Status::missing:
            return "does not exist";
        case Status::notRegular:
            return "is " + kind_ + ", not a regular file";
        case Status::tooLarge:
            return "is larger than " + sizeText(maxBytes_);
        case Status::unreadable:
            break;
    }
    return "cannot be read (" + std::string(std::strerror(error)) + ")";
}

RegularFile RegularFile::read(const std::string& path, std::size_t maxBytes) {
    RegularFile file;
    file.maxBytes_ = maxBytes;
    auto fail = [&](Status status, int error) {
        file.status = status;
        file.error = error;
        file.contents.clear();
        return file;
    };
    auto refuse = [&](mode_t mode) {
        file.kind_ = kindOf(mode);
        return fail(Status::notRegular, 0);
    };
    // Looking first keeps devices from being opened at all (opening some has effects); the check
    // of the opened descriptor below is the one that counts.
    struct stat info;
    if (::stat(path.c_str(), &info) != 0)
        return fail(errno == ENOENT ? Status::missing : Status::unreadable, errno);
    if (!S_ISREG(info.st_mode))
        return refuse(info.st_mode);
    // O_NONBLOCK: a FIFO swapped in after the check opens at once instead of waiting for a writer.
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return fail(errno == ENOENT ? Status::missing : Status::unreadable, errno);
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    if (::fstat(fd, &info) != 0)
        return fail(Status::unreadable, errno);
    if (!S_ISREG(info.st_mode))
        return refuse(info.st_mode);
    if (info.st_size > 0 && static_cast<std::uintmax_t>(info.st_size) > maxBytes)
        return fail(Status::tooLarge, EFBIG);
    // Files under /proc report no size, and a file may grow while it is read: the limit is
    // enforced on what is read, not on what fstat said.
    if (info.st_size > 0)
        file.contents.reserve(static_cast<std::size_t>(info.st_size));
    char buffer[16384];
    for (;;) {
        ssize_t count = ::read(fd, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            return fail(Status::unreadable, errno);
        if (count == 0)
            break;
        if (file.contents.size() + static_cast<std::size_t>(count) > maxBytes)
            return fail(Status::tooLarge, EFBIG);
        file.contents.append(buffer, static_cast<std::size_t>(count));
    }
    file.status = Status::read;
    return file;
}

}  // namespace vantlo
