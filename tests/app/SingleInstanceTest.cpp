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
    // This copy of Vantlo, asking over a command channel that the running copy answers (or,
    // with `channelAnswers` false, one that nothing answers on).
    SingleInstance newcomer(double takeOverSeconds = 0) {
        return SingleInstance(lockPath(), takeOverSeconds, [this] {
            ++quitRequests_;
            if (!channelAnswers_)
                return false;
            running_.release();
            return true;
        });
    }

    int quitRequests_ = 0;
    bool channelAnswers_ = false;

    FakePlatform fake_{FakePlatform::Facts::linux};
    TemporaryFolder folder_;
    InstanceLock running_;
};

TEST_F(SingleInstanceTest, FirstCopyRunsAndHoldsTheLock) {
    SingleInstance instance = newcomer();
    EXPECT_FALSE(instance.enforceSingleInstance());
    EXPECT_TRUE(instance.holdsLock());
    EXPECT_EQ(TemporaryFolder::read(lockPath()), "99\n/usr/bin/vantlo\n");
    SingleInstance second = newcomer();
    EXPECT_TRUE(second.enforceSingleInstance()) << "a second installed copy leaves";
    EXPECT_EQ(quitRequests_, 0);
}

TEST_F(SingleInstanceTest, TheInstalledCopyKeepsRunning) {
    for (const char* newcomerPath : {kBuildCopy, kInstalledCopy}) {
        running_.release();
        runThisCopyFrom(newcomerPath);
        startRunningCopy("/usr/local/bin/vantlo");
        channelAnswers_ = true;
        SingleInstance instance = newcomer();
        EXPECT_TRUE(instance.enforceSingleInstance()) << "newcomer " << newcomerPath;
        EXPECT_EQ(quitRequests_, 0) << "newcomer " << newcomerPath;
        EXPECT_TRUE(signals().empty()) << "newcomer " << newcomerPath;
        EXPECT_TRUE(running_.isHeld());
    }
    EXPECT_NE(fake_.log->lines().back().find("already running (pid 4242"), std::string::npos)
        << fake_.log->lines().back();
}

TEST_F(SingleInstanceTest, ANewcomerReplacesACopyThatIsNotInstalled) {
    for (const char* newcomerPath : {kBuildCopy, kInstalledCopy}) {
        running_.release();
        quitRequests_ = 0;
        runThisCopyFrom(newcomerPath);
        startRunningCopy(kBuildCopy);
        channelAnswers_ = true;
        SingleInstance instance = newcomer();
        EXPECT_FALSE(instance.enforceSingleInstance()) << "newcomer " << newcomerPath;
        EXPECT_EQ(quitRequests_, 1) << "asked over the channel, newcomer " << newcomerPath;
        EXPECT_TRUE(signals().empty()) << "no signal needed, newcomer " << newcomerPath;
        EXPECT_TRUE(instance.holdsLock()) << "newcomer " << newcomerPath;
        EXPECT_EQ(TemporaryFolder::read(lockPath()), "99\n" + std::string(newcomerPath) + "\n");
    }
}

TEST_F(SingleInstanceTest, ACopyWithoutAChannelIsAskedBySignal) {
    runThisCopyFrom(kBuildCopy);
    startRunningCopy(kBuildCopy);
    runningCopyQuitsOnTerminate();
    SingleInstance instance = newcomer();
    EXPECT_FALSE(instance.enforceSingleInstance());
    EXPECT_EQ(quitRequests_, 1);
    ASSERT_EQ(signals().size(), 1u);
    EXPECT_EQ(signals()[0].pid, kRunningPid);
    EXPECT_EQ(signals()[0].signal, Signals::terminate);
    EXPECT_TRUE(instance.holdsLock());
}

TEST_F(SingleInstanceTest, ACopyThatDoesNotQuitKeepsRunningAlone) {
    runThisCopyFrom(kInstalledCopy);
    startRunningCopy(kBuildCopy);
    SingleInstance instance = newcomer();
    EXPECT_TRUE(instance.enforceSingleInstance());
    EXPECT_EQ(signals().size(), 1u);
    EXPECT_FALSE(instance.holdsLock());
    EXPECT_NE(fake_.log->lines().back().find("did not quit"), std::string::npos)
        << fake_.log->lines().back();
}

TEST_F(SingleInstanceTest, NeverSignalsAnotherUserOrItself) {
    runThisCopyFrom(kInstalledCopy);
    startRunningCopy(kBuildCopy, /*owner=*/0);
    runningCopyQuitsOnTerminate();
    channelAnswers_ = true;
    SingleInstance instance = newcomer();
    EXPECT_TRUE(instance.enforceSingleInstance()) << "another user's process";
    EXPECT_TRUE(signals().empty());

    TemporaryFolder::write(lockPath(), "99\n" + std::string(kBuildCopy) + "\n");
    EXPECT_TRUE(instance.enforceSingleInstance()) << "a record naming this process";
    TemporaryFolder::write(lockPath(), "1\n" + std::string(kBuildCopy) + "\n");
    fake_.processes->addProcess(1, 501);
    EXPECT_TRUE(instance.enforceSingleInstance()) << "a record naming init";
    EXPECT_TRUE(signals().empty());
    EXPECT_EQ(quitRequests_, 0);
}

TEST_F(SingleInstanceTest, AStaleLockAfterACrashDoesNotBlock) {
    // The crashed copy's record stays in the file, but nobody holds the lock any more.
    TemporaryFolder::write(lockPath(), "4242\n" + std::string(kInstalledCopy) + "\n");
    ::chmod(lockPath().c_str(), 0600);
    runThisCopyFrom(kBuildCopy);
    SingleInstance instance = newcomer();
    EXPECT_FALSE(instance.enforceSingleInstance());
    EXPECT_TRUE(signals().empty());
    EXPECT_EQ(quitRequests_, 0);
    EXPECT_EQ(TemporaryFolder::read(lockPath()), std::string("99\n") + kBuildCopy + "\n");
}

TEST_F(SingleInstanceTest, AnUnusableLockLetsVantloStart) {
    std::string open = folder_.file("shared");
    ASSERT_EQ(::mkdir(open.c_str(), 0700), 0);
    ::chmod(open.c_str(), 0777);
    SingleInstance instance(open + "/vantlo-0.lock", 0, [] { return false; });
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
    EXPECT_EQ(SingleInstance::decide(std::nullopt, "/usr/"), SingleInstance::Decision::stay)
        << "an unreadable record disturbs nobody";
}

}  // namespace
}  // namespace vantlo
