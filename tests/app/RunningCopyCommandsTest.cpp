#include <gtest/gtest.h>

#include <sstream>

#include "app/CommandLine.h"
#include "app/RunningCopyCommands.h"
#include "support/TemporaryFolder.h"
#include "testing/FakePlatform.h"

namespace vantlo {
namespace {

using testing::TemporaryFolder;

TEST(RunningCopyCommands, AValidRequestPostsItsNotificationWithTheArgument) {
    FakePlatform fake;
    std::vector<std::string> arguments;
    auto observer = fake.notifications->addObserver(
        "Vantlo.openPreferences",
        [&](const Notification& n) { arguments.push_back(std::any_cast<std::string>(n.object)); });
    EXPECT_EQ(RunningCopyCommands::answer("preferences feedback", *fake.notifications), "ok");
    EXPECT_EQ(RunningCopyCommands::answer("preferences", *fake.notifications), "ok");
    EXPECT_EQ(arguments, (std::vector<std::string>{"feedback", ""}));
}

TEST(RunningCopyCommands, ShowGuideAndQuitPostTheirNotificationsAndTakeNoArgument) {
    FakePlatform fake;
    struct Case {
        std::string command;
        std::string notification;
    };
    for (const Case& c : {Case{"show", "Vantlo.triggerForward"}, Case{"guide", "Vantlo.showGuide"},
                          Case{"quit", "Vantlo.quit"}}) {
        int posts = 0;
        auto token =
            fake.notifications->addObserver(c.notification, [&](const Notification&) { ++posts; });
        EXPECT_EQ(RunningCopyCommands::answer(c.command, *fake.notifications), "ok") << c.command;
        std::string refused = RunningCopyCommands::answer(c.command + " now", *fake.notifications);
        EXPECT_NE(refused.find("takes no argument"), std::string::npos) << c.command << refused;
        EXPECT_EQ(posts, 1) << c.command;
        EXPECT_NE(CommandLine::helpText().find("  " + c.command + " "), std::string::npos)
            << c.command;
        token.reset();
    }
}

TEST(RunningCopyCommands, RefusedRequestsPostNothingAndSayWhy) {
    FakePlatform fake;
    int posts = 0;
    auto observer = fake.notifications->addObserver("Vantlo.openPreferences",
                                                    [&](const Notification&) { ++posts; });
    struct Case {
        std::string request;
        std::string replyContains;
    };
    for (const Case& c : {Case{"", "empty request"}, Case{"reboot", "unknown command 'reboot'"},
                          Case{"preferences colours", "unknown argument 'colours'"},
                          Case{"preferences general feedback", "one argument at most"}}) {
        std::string reply = RunningCopyCommands::answer(c.request, *fake.notifications);
        EXPECT_TRUE(reply.starts_with("error: ")) << "request '" << c.request << "': " << reply;
        EXPECT_NE(reply.find(c.replyContains), std::string::npos)
            << "request '" << c.request << "': " << reply;
    }
    EXPECT_EQ(posts, 0);
}

// The end-to-end tests hang the running copy on purpose; users never see or reach that command.
TEST(RunningCopyCommands, TheStallCommandExistsOnlyUnderTheTestSwitchAndIsNeverListed) {
    FakePlatform fake;
    int stalls = 0;
    auto observer = fake.notifications->addObserver(RunningCopyCommands::kTestStallNotification,
                                                    [&](const Notification&) { ++stalls; });
    unsetenv(RunningCopyCommands::kTestStallVariable);
    EXPECT_EQ(RunningCopyCommands::find("stall"), nullptr);
    EXPECT_EQ(RunningCopyCommands::answer("stall", *fake.notifications),
              "error: unknown command 'stall'");
    setenv(RunningCopyCommands::kTestStallVariable, "3", 1);
    ASSERT_NE(RunningCopyCommands::find("stall"), nullptr);
    EXPECT_EQ(RunningCopyCommands::answer("stall", *fake.notifications), "ok");
    unsetenv(RunningCopyCommands::kTestStallVariable);
    for (const auto& command : RunningCopyCommands::all())
        EXPECT_NE(command.name, "stall") << "listed for users";
    EXPECT_EQ(stalls, 1);
}

TEST(RunningCopyCommands, RequestLineNamesTheCommandAndItsArgument) {
    const auto* preferences = RunningCopyCommands::find("preferences");
    ASSERT_NE(preferences, nullptr);
    EXPECT_EQ(RunningCopyCommands::requestLine(*preferences, {}), "preferences");
    EXPECT_EQ(RunningCopyCommands::requestLine(*preferences, {"shortcuts"}),
              "preferences shortcuts");
    EXPECT_EQ(RunningCopyCommands::find("Preferences"), nullptr);
}

TEST(RunningCopyCommands, WithoutARunningCopyTheCommandSaysSoAndFails) {
    TemporaryFolder folder;
    for (std::string command : {"preferences", "show", "quit"}) {
        CommandLine commandLine({command});
        commandLine.setControlSocketPath(folder.file("vantlo/0.sock"));
        std::istringstream in;
        std::ostringstream out, err;
        auto outcome = commandLine.run(in, out, err);
        EXPECT_TRUE(outcome.handled) << command;
        EXPECT_EQ(outcome.exitCode, 1) << command;
        EXPECT_NE(err.str().find("Vantlo is not running"), std::string::npos)
            << command << ": " << err.str();
    }
}

TEST(RunningCopyCommands, ABadPaneIsRefusedBeforeAnythingIsSent) {
    CommandLine commandLine({"preferences", "colours"});
    commandLine.setControlSocketPath("/nonexistent/vantlo/0.sock");
    std::istringstream in;
    std::ostringstream out, err;
    auto outcome = commandLine.run(in, out, err);
    EXPECT_EQ(outcome.exitCode, 2);
    EXPECT_NE(err.str().find("general, shortcuts, appearance, exceptions, feedback"),
              std::string::npos)
        << err.str();
    EXPECT_NE(CommandLine::helpText().find("preferences [ARG]"), std::string::npos);
}

}  // namespace
}  // namespace vantlo
