#pragma once
// Reads a whole file only when it is a regular file of bounded size, so that a FIFO, a device,
// a socket or a folder put where a file is expected (by accident or on purpose) can neither block
// the reader nor make it read without end. Links are followed. The opened descriptor itself is
// checked, so a file swapped for something else between the check and the open is refused too.

#include <cstddef>
#include <string>

namespace vantlo {

struct RegularFile {
    enum class Status {
        read,        // `contents` holds the whole file
        missing,     // nothing at the path (or a dangling link)
        notRegular,  // a FIFO, device, socket or folder
        tooLarge,    // more than the caller's limit
        unreadable,  // any other error (permissions, I/O); `error` says which
    };

    Status status = Status::missing;
    std::string contents;
    int error = 0;  // errno of the failure, 0 when read

    bool ok() const { return status == Status::read; }
    // Why the file was not read, for a log line: "is a FIFO, not a regular file",
    // "is larger than 1 MiB", "cannot be read (Permission denied)". Empty when read.
    std::string failure() const;

    // Reads at most `maxBytes`; a longer file is refused (never cut short). Never blocks on
    // anything but the disk.
    static RegularFile read(const std::string& path, std::size_t maxBytes);

    // Limits for what Vantlo reads.
    static constexpr std::size_t kSettingsLimit = 8u << 20;
    static constexpr std::size_t kDesktopEntryLimit = 1u << 20;
    static constexpr std::size_t kIconLimit = 16u << 20;
    static constexpr std::size_t kTranslationLimit = 4u << 20;
    static constexpr std::size_t kSmallSystemFileLimit = 1u << 20;

  private:
    std::string kind_;          // what a refused file is ("a FIFO")
    std::size_t maxBytes_ = 0;  // for the "too large" text
};

}  // namespace vantlo
