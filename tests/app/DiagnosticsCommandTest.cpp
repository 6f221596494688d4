#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <vector>

#include "platform/posix/PosixProcesses.h"
#include "platform/posix/PropertyJson.h"
#include "support/TemporaryFolder.h"

// These tests run the built program, the way a user asking for help with a bug report does.

namespace vantlo {
namespace {

using testing::TemporaryFolder;
namespace fs = std::filesystem;

struct Report {
    int exitCode = -1;
    std::vector<std::string> lines;
};

// `vantlo --diagnostics` with its settings under `configHome` and no display.
Report runDiagnostics(const TemporaryFolder& configHome, std::vector<std::string> extra = {}) {
    std::vector<std::string> arguments{
        "-u", "DISPLAY", "XDG_CONFIG_HOME=" + configHome.path().string(),
        std::string(VANTLO_BINARY_DIR) + "/src/vantlo", "--diagnostics"};
    arguments.insert(arguments.end(), extra.begin(), extra.end());
    PosixProcesses processes(nullptr);
    auto result = processes.run("/usr/bin/env", arguments, 60);
    Report report;
    if (!result)
        return report;
    report.exitCode = result->exitCode;
    std::istringstream in(result->standardOutput);
    for (std::string line; std::getline(in, line);)
        report.lines.push_back(line);
    return report;
}

std::vector<fs::path> damagedCopies(const fs::path& folder) {
    std::vector<fs::path> found;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().filename().string().starts_with("defaults.json.damaged-"))
            found.push_back(entry.path());
    }
    return found;
}

// One line of the report each.
// clang-format off
const std::vector<std::string> kDefaultSettingLines = {
    "Language: system",
    "Accessibility: missing",
    "Screen Recording: granted",
    "Activation Hotkey: Alt+Tab",
    "Panel Edge: right",
    "Panel Display: pointer",
    "Panel Width: normal",
    "Font Size: normal",
    "Shows Apps Without Windows: true",
};
// clang-format on

TEST(DiagnosticsCommand, DamagedSettingsFileReportsDefaultsAndIsSetAside) {
    TemporaryFolder configHome;
    fs::create_directories(configHome.path() / "vantlo");
    std::string settings = (configHome.path() / "vantlo" / "defaults.json").string();
    TemporaryFolder::write(settings, "{\"Vantlo.PanelEdge\": \"left\", ");

    Report report = runDiagnostics(configHome);
    ASSERT_EQ(report.exitCode, 0);
    ASSERT_EQ(report.lines.size(), 14u);
    EXPECT_EQ(report.lines[0], "Vantlo Diagnostics");
    EXPECT_EQ(report.lines[1],
              std::string("Version: ") + VANTLO_VERSION + " (" + VANTLO_VERSION + ")");
    EXPECT_EQ(report.lines[2], "Bundle ID: com.local.vantlo");
    EXPECT_TRUE(report.lines[3].starts_with("Linux: ")) << report.lines[3];
    EXPECT_NE(report.lines[4], "Architecture: unknown");
    EXPECT_EQ(std::vector<std::string>(report.lines.begin() + 5, report.lines.end()),
              kDefaultSettingLines);

    EXPECT_FALSE(fs::exists(settings)) << "nothing was written over the damaged file";
    auto copies = damagedCopies(configHome.path() / "vantlo");
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_EQ(TemporaryFolder::read(copies[0].string()), "{\"Vantlo.PanelEdge\": \"left\", ");
}

TEST(DiagnosticsCommand, ReportsStoredSettingsAndLeavesTheFileAlone) {
    TemporaryFolder configHome;
    fs::create_directories(configHome.path() / "vantlo");
    std::string settings = (configHome.path() / "vantlo" / "defaults.json").string();
    std::string hotkey = R"({"keyCode":48,"carbonModifiers":256})";
    nlohmann::json stored = {
        {"Vantlo.PanelEdge", "left"},
        {"Vantlo.PanelWidth", "compact"},
        {"Vantlo.AppLanguage", "english"},
        {"Vantlo.ShowAppsWithoutWindows", false},
        {"Vantlo.Hotkey", PropertyJson::encode(Data{{hotkey.begin(), hotkey.end()}})},
    };
    TemporaryFolder::write(settings, stored.dump(2));

    Report report = runDiagnostics(configHome);
    ASSERT_EQ(report.exitCode, 0);
    ASSERT_EQ(report.lines.size(), 14u);
    EXPECT_EQ(report.lines[5], "Language: english");
    EXPECT_EQ(report.lines[8], "Activation Hotkey: Super+Tab");
    EXPECT_EQ(report.lines[9], "Panel Edge: left");
    EXPECT_EQ(report.lines[11], "Panel Width: compact");
    EXPECT_EQ(report.lines[13], "Shows Apps Without Windows: false");
    EXPECT_EQ(TemporaryFolder::read(settings), stored.dump(2));
    EXPECT_TRUE(damagedCopies(configHome.path() / "vantlo").empty());

    report = runDiagnostics(configHome, {"--verbose"});
    EXPECT_EQ(report.exitCode, 2) << "no arguments after the option";
    EXPECT_TRUE(report.lines.empty());
}

}  // namespace
}  // namespace vantlo
