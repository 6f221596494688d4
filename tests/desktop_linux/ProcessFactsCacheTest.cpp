#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <map>

#include "platform/linux/ProcessFactsCache.h"

namespace vantlo {
namespace {

constexpr std::uint32_t kUser = 1000;

// A made-up /proc: processes by pid, with counters of how often each fact was read.
class Proc {
  public:
    struct Process {
        ProcessIdentity identity;
        std::vector<std::string> argv;
        Pid parent = 1;
        std::optional<std::string> flatpak;
    };

    void start(Pid pid, const std::string& program, std::uint64_t inode,
               std::uint32_t uid = kUser) {
        Process process;
        process.identity = {uid, inode, "/usr/bin/" + program};
        process.argv = {"/usr/bin/" + program};
        table[pid] = process;
    }

    ProcessFactsCache::Source source() {
        ProcessFactsCache::Source s;
        s.pids = [this] {
            std::vector<Pid> pids;
            for (const auto& [pid, process] : table)
                pids.push_back(pid);
            return pids;
        };
        s.identity = [this](Pid pid) -> std::optional<ProcessIdentity> {
            auto it = table.find(pid);
            if (it == table.end())
                return std::nullopt;
            return it->second.identity;
        };
        s.read = [this](Pid pid) -> std::optional<ProcessFacts> {
            ++reads[pid];
            auto it = table.find(pid);
            if (it == table.end())
                return std::nullopt;
            ProcessFacts facts;
            facts.pid = pid;
            facts.parent = it->second.parent;
            facts.argv = it->second.argv;
            return facts;
        };
        s.lookups.flatpakAppId = [this](Pid pid) {
            ++flatpakReads[pid];
            auto it = table.find(pid);
            return it == table.end() ? std::nullopt : it->second.flatpak;
        };
        return s;
    }

    std::map<Pid, Process> table;
    std::map<Pid, int> reads;
    std::map<Pid, int> flatpakReads;
};

std::vector<std::string> programs(const std::vector<ProcessFacts>& processes) {
    std::vector<std::string> names;
    for (const auto& p : processes)
        names.push_back(std::to_string(p.pid) + ":" + p.programName());
    return names;
}

TEST(ProcessFactsCache, ReadsEachProcessOnceWhileItStaysTheSame) {
    Proc proc;
    proc.start(40, "editor", 7);
    proc.start(12, "shell", 3);
    ProcessFactsCache cache(kUser, proc.source());

    EXPECT_EQ(programs(cache.processes()), (std::vector<std::string>{"12:shell", "40:editor"}));
    EXPECT_EQ(programs(cache.processes()), (std::vector<std::string>{"12:shell", "40:editor"}));
    EXPECT_EQ(proc.reads[12], 1);
    EXPECT_EQ(proc.reads[40], 1);

    // A new process is read; the others are not read again.
    proc.start(55, "player", 9);
    EXPECT_EQ(programs(cache.processes()).size(), 3u);
    EXPECT_EQ(proc.reads[55], 1);
    EXPECT_EQ(proc.reads[40], 1);
}

TEST(ProcessFactsCache, ExecAndReusedPidsAreReadAgain) {
    Proc proc;
    proc.start(40, "launcher-script", 7);
    proc.table[40].flatpak = "org.example.Old";
    ProcessFactsCache cache(kUser, proc.source());
    auto lookups = cache.lookups();
    cache.processes();
    EXPECT_EQ(lookups.flatpakAppId(40), "org.example.Old");

    // The script runs its program in its place: same pid and /proc entry, another executable.
    proc.table[40].identity.executable = "/opt/editor/editor";
    proc.table[40].argv = {"/opt/editor/editor", "--new-window"};
    proc.table[40].flatpak = std::nullopt;
    EXPECT_EQ(programs(cache.processes()), (std::vector<std::string>{"40:editor"}));
    EXPECT_EQ(lookups.flatpakAppId(40), std::nullopt);

    // The process ends and a new one gets its pid: another /proc entry.
    proc.start(40, "editor", 8);
    proc.table[40].argv = {"/usr/bin/editor", "--other"};
    auto again = cache.processes();
    ASSERT_EQ(again.size(), 1u);
    EXPECT_EQ(again[0].argv.back(), "--other");
    EXPECT_EQ(proc.reads[40], 3);
}

TEST(ProcessFactsCache, LeavesOutOtherUsersKernelThreadsAndEndedProcesses) {
    Proc proc;
    proc.start(2, "kthreadd", 2, 0);
    proc.start(30, "worker", 4);
    proc.table[30].argv.clear();  // a kernel thread or zombie: no command line
    proc.start(31, "daemon", 5, 0);
    proc.start(32, "editor", 6);
    ProcessFactsCache cache(kUser, proc.source());

    EXPECT_EQ(programs(cache.processes()), (std::vector<std::string>{"32:editor"}));
    cache.processes();
    EXPECT_EQ(proc.reads[30], 1) << "a process without a command line is remembered as such";
    EXPECT_EQ(proc.reads.count(2), 0u) << "another user's processes are never read";
    EXPECT_FALSE(cache.process(31));
    EXPECT_FALSE(cache.process(30));

    proc.table.erase(32);
    EXPECT_TRUE(cache.processes().empty());
    EXPECT_FALSE(cache.process(32));
}

TEST(ProcessFactsCache, OneProcessAndItsLaunchFactsAreReadOnce) {
    Proc proc;
    proc.start(70, "sandboxed", 11);
    proc.table[70].flatpak = "org.example.App";
    ProcessFactsCache cache(kUser, proc.source());
    auto lookups = cache.lookups();

    auto one = cache.process(70);
    ASSERT_TRUE(one);
    EXPECT_EQ(one->programName(), "sandboxed");
    EXPECT_EQ(lookups.flatpakAppId(70), "org.example.App");
    EXPECT_EQ(lookups.flatpakAppId(70), "org.example.App");
    cache.processes();
    EXPECT_EQ(lookups.flatpakAppId(70), "org.example.App");
    EXPECT_EQ(proc.flatpakReads[70], 1);
    EXPECT_EQ(proc.reads[70], 1);

    // A process the cache does not hold is answered directly each time.
    lookups.flatpakAppId(99);
    lookups.flatpakAppId(99);
    EXPECT_EQ(proc.flatpakReads[99], 2);
}

TEST(ProcessFactsCache, ReadsThisMachinesProcesses) {
    ProcessFactsCache cache(static_cast<std::uint32_t>(::geteuid()));
    auto self = cache.process(::getpid());
    ASSERT_TRUE(self);
    EXPECT_FALSE(self->argv.empty());
    EXPECT_FALSE(self->executable.empty());
    EXPECT_EQ(self->parent, ::getppid());
    auto all = cache.processes();
    EXPECT_TRUE(std::is_sorted(all.begin(), all.end(),
                               [](const auto& a, const auto& b) { return a.pid < b.pid; }));
    EXPECT_TRUE(std::any_of(all.begin(), all.end(),
                            [](const ProcessFacts& p) { return p.pid == ::getpid(); }));
}

}  // namespace
}  // namespace vantlo
