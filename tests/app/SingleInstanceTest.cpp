#include <gtest/gtest.h>
#include <sys/stat.h>

#include "app/SingleInstance.h"
#include "support/TemporaryFolder.h"
#include "testing/FakePlatform.h"

namespace vantlo {
namespace {

using testing::TemporaryFolder;

constexpr Pid kRunningPid = 4242;
constexpr const char* kBuildCopy = "/home/tester/src/vantlo/build/src/vantlo";
constexpr const char* kInstalledCopy = "/usr/bin/vantlo";

// The fake desktop on Linux facts (this copy: pid 99 at /usr/bin/vantlo) and a lock file in a
// private temporary folder, with another copy of Vantlo that may hold it.
class SingleInstanceTest : public ::testing::Test {
  protected:
    SingleInstanceTest() : running_(lockPath()) {}

    std::string lockPath() const { return folder_.file("vantlo-0.lock"); }
    void runThisCopyFrom(const std::string& path) {
        fake_.bundles->setMainBundle({"com.local.vantlo", path, "", "1.2.0", "42"});
    }
    // Another copy of this user runs from `path` and holds the lock.
    void startRunningCopy(const std::string& path, std::uint32_t owner = 501) {
        fake_.processes->addProcess(kRunningPid, owner);
        ASSERT_TRUE(running_.tryAcquire({kRunningPid, path}));
    }
    // The running copy exits on SIGTERM, letting go of the lock.
    void runningCopyQuitsOnTerminate() {
        fake_.processes->setSignalHandler([this](Pid pid, int signal) {
            if (pid == kRunningPid && signal == Signals::terminate)
                running_.release();
        });
    }
    std::vector<SignalRecord> signals() { return fake_.effects->signals; }

    FakePlatform fake_{FakePlatform::Facts::linux};
    TemporaryFolder folder_;
    InstanceLock running_;
};

TEST_F(SingleInstanceTest, FirstCopyRunsAndHoldsTheLock) {
    SingleInstance instance(lockPath());
    EXPECT_FALSE(instance.enforceSingleInstance());
    EXPECT_TRUE(instance.holdsLock());
    EXPECT_EQ(TemporaryFolder::read(lockPath()), "99\n/usr/bin/vantlo\n");
    SingleInstance second(lockPath());
    EXPECT_TRUE(second.enforceSingleInstance()) << "a second installed copy leaves";
}

TEST_F(SingleInstanceTest, NewcomerLeavesUnlessItIsTheInstalledCopy) {
    struct Case {
        const char* newcomer;
        const char* running;
    };
    for (Case c : {Case{kBuildCopy, kBuildCopy}, Case{kBuildCopy, kInstalledCopy},
                   Case{kInstalledCopy, "/usr/local/bin/vantlo"}}) {
        running_.release();
        fake_.effects->signals.clear();
        runThisCopyFrom(c.newcomer);
        startRunningCopy(c.running);
        SingleInstance instance(lockPath());
        EXPECT_TRUE(instance.enforceSingleInstance())
            << "newcomer " << c.newcomer << ", running " << c.running;
        EXPECT_TRUE(signals().empty()) << "newcomer " << c.newcomer;
        EXPECT_TRUE(running_.isHeld());
    }
    EXPECT_NE(fake_.log->lines().back().find("already running (pid 4242"), std::string::npos)
        << fake_.log->lines().back();
}

TEST_F(SingleInstanceTest, InstalledCopyTakesOverFromAnotherCopy) {
    runThisCopyFrom(kInstalledCopy);
    startRunningCopy(kBuildCopy);
    runningCopyQuitsOnTerminate();
    SingleInstance instance(lockPath(), 0);
    EXPECT_FALSE(instance.enforceSingleInstance());
    ASSERT_EQ(signals().size(), 1u);
    EXPECT_EQ(signals()[0].pid, kRunningPid);
    EXPECT_EQ(signals()[0].signal, Signals::terminate);
    EXPECT_TRUE(instance.holdsLock());
    EXPECT_EQ(TemporaryFolder::read(lockPath()), "99\n/usr/bin/vantlo\n");
}

TEST_F(SingleInstanceTest, ACopyThatDoesNotQuitKeepsRunningAlone) {
    runThisCopyFrom(kInstalledCopy);
    startRunningCopy(kBuildCopy);
    SingleInstance instance(lockPath(), 0);
    EXPECT_TRUE(instance.enforceSingleInstance());
    EXPECT_EQ(signals().size(), 1u);
    EXPECT_FALSE(instance.holdsLock());
}

TEST_F(SingleInstanceTest, NeverSignalsAnotherUserOrItself) {
    runThisCopyFrom(kInstalledCopy);
    startRunningCopy(kBuildCopy, /*owner=*/0);
    runningCopyQuitsOnTerminate();
    SingleInstance instance(lockPath(), 0);
    EXPECT_TRUE(instance.enforceSingleInstance()) << "another user's process";
    EXPECT_TRUE(signals().empty());

    TemporaryFolder::write(lockPath(), "99\n" + std::string(kBuildCopy) + "\n");
    EXPECT_TRUE(instance.enforceSingleInstance()) << "a record naming this process";
    TemporaryFolder::write(lockPath(), "1\n" + std::string(kBuildCopy) + "\n");
    fake_.processes->addProcess(1, 501);
    EXPECT_TRUE(instance.enforceSingleInstance()) << "a record naming init";
    EXPECT_TRUE(signals().empty());
}

TEST_F(SingleInstanceTest, AStaleLockAfterACrashDoesNotBlock) {
    // The crashed copy's record stays in the file, but nobody holds the lock any more.
    TemporaryFolder::write(lockPath(), "4242\n" + std::string(kInstalledCopy) + "\n");
    ::chmod(lockPath().c_str(), 0600);
    runThisCopyFrom(kBuildCopy);
    SingleInstance instance(lockPath());
    EXPECT_FALSE(instance.enforceSingleInstance());
    EXPECT_TRUE(signals().empty());
    EXPECT_EQ(TemporaryFolder::read(lockPath()), std::string("99\n") + kBuildCopy + "\n");
}

TEST_F(SingleInstanceTest, AnUnusableLockLetsVantloStart) {
    std::string open = folder_.file("shared");
    ASSERT_EQ(::mkdir(open.c_str(), 0700), 0);
    ::chmod(open.c_str(), 0777);
    SingleInstance instance(open + "/vantlo-0.lock");
    EXPECT_FALSE(instance.enforceSingleInstance());
    EXPECT_FALSE(instance.holdsLock());
    ASSERT_FALSE(fake_.log->lines().empty());
    EXPECT_NE(fake_.log->lines().back().find("Cannot make sure only one copy runs"),
              std::string::npos);
}

TEST(SingleInstanceRule, InstalledMeansBelowThePrefix) {
    EXPECT_TRUE(SingleInstance::isInstalled("/usr/bin/vantlo", "/usr/"));
    EXPECT_TRUE(SingleInstance::isInstalled("/usr/local/bin/../bin/vantlo", "/usr/"));
    EXPECT_FALSE(SingleInstance::isInstalled("/usr/../home/me/vantlo", "/usr/"));
    EXPECT_FALSE(SingleInstance::isInstalled("/usrlocal/vantlo", "/usr/"));
    EXPECT_FALSE(SingleInstance::isInstalled("", "/usr/"));
    EXPECT_FALSE(SingleInstance::isInstalled("/usr/bin/vantlo", ""));
    EXPECT_EQ(SingleInstance::decide(kInstalledCopy, std::nullopt, "/usr/"),
              SingleInstance::Decision::stay)
        << "an unreadable record disturbs nobody";
}

}  // namespace
}  // namespace vantlo
