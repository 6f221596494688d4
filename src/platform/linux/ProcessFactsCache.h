#pragma once
// One user's processes with the facts ApplicationMatcher needs, kept from one reading to the
// next. A reading lists /proc and checks each process's identity (two cheap calls); the command
// line, the parent and the launch facts are read only for a process not seen before or one
// that has since run another program. A summon of the switcher reads the table, so it must not
// cost a walk through every process's files.
// The parent is the one a process had when first read: one whose parent ends is adopted, and
// the old parent's pid is then simply not in the table, as the adopter would not be either.

#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/linux/ApplicationMatcher.h"
#include "platform/linux/ProcessTable.h"

namespace vantlo {

class ProcessFactsCache {
  public:
    // Where the facts come from (tests answer from tables).
    struct Source {
        std::function<std::vector<Pid>()> pids = ProcessTable::pids;  // in increasing order
        std::function<std::optional<ProcessIdentity>(Pid)> identity = ProcessTable::identity;
        std::function<std::optional<ProcessFacts>(Pid)> read = ProcessTable::read;
        ApplicationMatcher::Lookups lookups;
    };

    explicit ProcessFactsCache(std::uint32_t uid);
    ProcessFactsCache(std::uint32_t uid, Source source);

    // Every process of the user that runs a program, in pid order. Kernel threads and zombies
    // have no command line and are left out.
    std::vector<ProcessFacts> processes();
    // One process, checked the same way, without listing the others.
    std::optional<ProcessFacts> process(Pid pid);
    // The launch facts as ApplicationMatcher asks for them, each read once per process.
    ApplicationMatcher::Lookups lookups();

  private:
    struct Known {
        ProcessIdentity identity;
        ProcessFacts facts;
        std::optional<std::optional<std::string>> launchedDesktopFile;
        std::optional<std::optional<std::string>> flatpakAppId;
        std::optional<std::optional<std::string>> snapName;
    };
    using Lookup = std::function<std::optional<std::string>(Pid)>;
    using Memo = std::optional<std::optional<std::string>> Known::*;

    // The process's entry, read again unless its identity is unchanged; null (and forgotten)
    // when it is gone or another user's.
    const Known* refresh(Pid pid);
    std::optional<std::string> remembered(Pid pid, Memo memo, const Lookup& lookup);

    std::uint32_t uid_;
    Source source_;
    std::mutex mutex_;
    std::map<Pid, Known> known_;
};

}  // namespace vantlo
