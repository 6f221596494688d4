#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/posix/PosixProcesses.h"

namespace vantlo {
namespace {

class RecordingLog : public Log {
  public:
    void write(const std::string& line) override {
        std::lock_guard lock(mutex_);
        lines.push_back(line);
    }
    std::vector<std::string> lines;

  private:
    std::mutex mutex_;
};

pid_t startSleeper() {
    pid_t child = ::fork();
    if (child == 0) {
        ::execlp("sleep", "sleep", "30", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    return child;
}

TEST(PosixProcesses, RefusesSignalsThatCouldHarmTheSystemOrThisProgram) {
    auto log = std::make_shared<RecordingLog>();
    PosixProcesses processes(log);
    for (Pid pid : {-1, 0, 1}) {
        EXPECT_FALSE(processes.sendSignal(pid, Signals::kill)) << "pid " << pid;
    }
    EXPECT_FALSE(processes.sendSignal(processes.currentPid(), Signals::terminate));
    EXPECT_FALSE(processes.sendSignal(999999999, Signals::terminate)) << "missing process";
    ASSERT_EQ(log->lines.size(), 5u);
    EXPECT_NE(log->lines[3].find("Vantlo itself"), std::string::npos) << log->lines[3];
}

TEST(PosixProcesses, SignalsOwnChildAndSeesItEnd) {
    PosixProcesses processes(nullptr);
    pid_t child = startSleeper();
    ASSERT_GT(child, 1);
    EXPECT_TRUE(processes.isRunning(child));
    EXPECT_EQ(processes.ownerUid(child), processes.currentUid());
    EXPECT_TRUE(processes.sendSignal(child, Signals::kill));
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
    EXPECT_FALSE(processes.isRunning(child));
    EXPECT_FALSE(processes.ownerUid(child).has_value());
}

TEST(PosixProcesses, ZombieDoesNotCountAsRunning) {
    PosixProcesses processes(nullptr);
    pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    // Not reaped yet: the process table still holds it, but it no longer runs.
    for (int i = 0; i < 200 && processes.isRunning(child); ++i)
        ::usleep(5000);
    EXPECT_FALSE(processes.isRunning(child));
    ::waitpid(child, nullptr, 0);
}

TEST(PosixProcesses, RunCollectsOutputAndExitCode) {
    PosixProcesses processes(nullptr);
    auto echoed = processes.run("sh", {"-c", "printf 'one\\ntwo'; exit 3"}, 5);
    ASSERT_TRUE(echoed);
    EXPECT_EQ(echoed->standardOutput, "one\ntwo");
    EXPECT_EQ(echoed->exitCode, 3);

    EXPECT_FALSE(processes.run("vantlo-no-such-program", {}, 5)) << "missing program";

    auto slow = processes.run("sleep", {"20"}, 0.2);
    ASSERT_TRUE(slow) << "a program that overruns is still reported";
    EXPECT_EQ(slow->exitCode, 128 + SIGKILL);
}

// A helper script stuck in something it started (xdg-mime's grep over a FIFO) must not outlive
// the overrun.
TEST(PosixProcesses, OverrunEndsWhatTheProgramStartedToo) {
    PosixProcesses processes(nullptr);
    auto stuck = processes.run("sh", {"-c", "sleep 60 & echo $!; wait"}, 0.3);
    ASSERT_TRUE(stuck);
    const Pid helper = std::stoi(stuck->standardOutput);
    bool ended = false;
    for (int attempt = 0; attempt < 500 && !ended; ++attempt) {
        ended = !processes.isRunning(helper);
        if (!ended)
            ::usleep(10'000);
    }
    EXPECT_TRUE(ended) << "the helper " << helper << " lives on";
    if (!ended)
        ::kill(helper, SIGKILL);
}

}  // namespace
}  // namespace vantlo
