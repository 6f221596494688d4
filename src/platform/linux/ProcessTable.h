#pragma once
// The processes /proc shows, with the facts that tie a process to its desktop entry: program,
// command line, parent, and (read on demand) the launcher's environment, the Flatpak application id
// and the snap name.

#include <optional>
#include <string>
#include <vector>

#include "platform/RunningApplication.h"

namespace vantlo {

struct ProcessFacts {
    Pid pid = 0;
    Pid parent = 0;
    std::string executable;           // /proc/PID/exe target (may be empty)
    std::vector<std::string> argv;    // /proc/PID/cmdline
    std::string programName() const;  // basename of argv[0], else of the executable
};

// What tells one process from another under the same pid, read in two cheap calls: a process
// that ends and one that takes its pid get different /proc inodes, and a process that runs
// another program (exec) gets another executable.
struct ProcessIdentity {
    std::uint32_t uid = 0;  // the owner /proc shows
    std::uint64_t inode = 0;
    std::string executable;  // empty for kernel threads, zombies and unreadable processes

    bool operator==(const ProcessIdentity&) const = default;
};

namespace ProcessTable {

// The pids /proc lists, in increasing order.
std::vector<Pid> pids();
std::optional<ProcessIdentity> identity(Pid pid);
// Parent and command line; the executable is left empty, as identity() has read it already.
std::optional<ProcessFacts> read(Pid pid);
// GIO_LAUNCHED_DESKTOP_FILE when GIO_LAUNCHED_DESKTOP_FILE_PID names this very process (the
// variables are inherited by its children, which must not claim the entry).
std::optional<std::string> launchedDesktopFile(Pid pid);
// The [Application] name of /proc/PID/root/.flatpak-info.
std::optional<std::string> flatpakAppId(Pid pid);
// The snap a process belongs to, from its cgroup ("snap.firefox.firefox-1234.scope").
std::optional<std::string> snapName(Pid pid);

}  // namespace ProcessTable
}  // namespace vantlo
