#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/AXNames.h"
#include "platform/KeyCodes.h"
#include "platform/ModifierFlags.h"
#include "platform/linux/LinuxPlatform.h"
#include "platform/posix/PosixProcesses.h"
#include "testing/FakePlatform.h"

namespace vantlo {
namespace {

// A desktop session without an X server (a Wayland-only session, a text console): the platform
// still builds, says it is not trusted, and every window service answers with nothing.
TEST(LinuxPlatformWithoutDisplay, DegradesToEmptyAnswersAndNoTrust) {
    FakePlatform fake(FakePlatform::Facts::linux);
    LinuxPlatform::Options options;
    options.dispatch = fake.dispatch;
    options.defaults = fake.defaults;
    // A display number no server listens on.
    options.displayName = ":32761";
    auto built = LinuxPlatform::create(options);
    Platform& p = *built.platform;

    EXPECT_EQ(built.connection, nullptr);
    EXPECT_FALSE(p.accessibility->isProcessTrusted());
    auto app = p.accessibility->applicationElement(p.processes->currentPid());
    EXPECT_EQ(p.accessibility->copyAttribute(app, AX::windows).error, AXError::apiDisabled);
    EXPECT_TRUE(p.windowServer->onScreenWindows().empty());
    EXPECT_FALSE(p.hotKeys->registerHotKey(1, KeyCode::tab, CarbonModifiers::option));
    EXPECT_TRUE(p.screens->screens().empty());
    EXPECT_FALSE(p.workspace->frontmostApplication());
    EXPECT_FALSE(built.panelInput->start({}, 0));
    built.panelInput->stop();
    EXPECT_TRUE(p.windowServer->capturePreflight());
    EXPECT_EQ(p.systemInfo->operatingSystemName(), "Linux");
    EXPECT_EQ(p.appBundles->mainBundle().identifier, "com.local.vantlo");
    EXPECT_FALSE(p.facts.appScanRoots.empty());
    EXPECT_EQ(p.updater, nullptr);
    // Every service the logic calls without checking is there; no application answers scripts.
    ASSERT_TRUE(p.scriptEngine && p.urlLoader && p.imageCodec);
    EXPECT_FALSE(p.scriptEngine->execute("tell application \"Firefox\" to get name", 1.0));
}

// Started outside an X11 session, the program says why it cannot run instead of aborting.
TEST(LinuxPlatformWithoutDisplay, ProgramExplainsAMissingDisplay) {
    PosixProcesses processes(nullptr);
    const std::string program = std::string(VANTLO_BINARY_DIR) + "/src/vantlo";
    auto result =
        processes.run("/bin/sh", {"-c", "DISPLAY=:32761 exec '" + program + "' 2>&1"}, 60);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->exitCode, 1);
    EXPECT_NE(result->standardOutput.find("cannot open the X11 display \":32761\""),
              std::string::npos)
        << result->standardOutput;
}

}  // namespace
}  // namespace vantlo
