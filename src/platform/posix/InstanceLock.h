#pragma once
// The lock that lets one copy of the program run per user and display: an advisory lock (flock)
// on a file in the user's runtime folder. The kernel releases it when the holder's process ends
// in any way, so a crash never blocks the next start. The holder writes its process id and
// executable path into the file, so a newcomer can tell which copy holds it.
//
// flock locks belong to an open file description: two InstanceLock objects on the same path
// exclude each other even inside one process, exactly as two processes would. The file is never
// removed or replaced: a newcomer locking a fresh file while the holder still locks the old one
// would make two holders.
//
// The folder is created (mode 0700) when missing; a folder or file that another user owns or
// others may write to is not trusted, and the lock then cannot be taken.

#include <optional>
#include <string>

#include "platform/RunningApplication.h"

namespace vantlo {

class InstanceLock {
  public:
    struct Holder {
        Pid pid = 0;
        std::string executablePath;
    };

    explicit InstanceLock(std::string path);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // Takes the lock without waiting and records `self` in the file. False when another open
    // file holds it, or when the file cannot be opened (see `lastError`).
    bool tryAcquire(const Holder& self);
    // Tries until the lock is taken or `seconds` have passed (polling every 50 ms; one try when
    // `seconds` is zero).
    bool acquireWithin(double seconds, const Holder& self);
    bool isHeld() const { return held_; }
    void release();

    // The holder the file names; nothing when the file is missing, empty or malformed (a holder
    // may be writing it at this moment).
    std::optional<Holder> readHolder() const;

    const std::string& path() const { return path_; }
    // Why the file could not be opened; empty when it could.
    const std::string& lastError() const { return lastError_; }

    // "<runtime folder>/vantlo-<display>.lock". The runtime folder is $XDG_RUNTIME_DIR when it
    // is an absolute path, else "/tmp/vantlo-<uid>"; the display is $DISPLAY without its screen
    // number and with characters unsafe in a file name replaced (":0.0" -> "0",
    // "localhost:10.0" -> "localhost_10"), or "nodisplay".
    static std::string pathFor(const char* runtimeDirectory, const char* display, unsigned uid);
    static std::string defaultPath();

  private:
    bool openFile();

    std::string path_;
    int fd_ = -1;
    bool held_ = false;
    std::string lastError_;
};

}  // namespace vantlo
