#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "app/DesktopModule.h"
#include "support/TemporaryFolder.h"

namespace vantlo {
namespace {

using testing::TemporaryFolder;

const std::string kProgram = std::string(VANTLO_BINARY_DIR) + "/src/vantlo";

TEST(DesktopModule, MissingOrForeignFilesAreNamedInTheError) {
    TemporaryFolder folder;
    auto missing = DesktopModule::load(folder.file("vantlo-desktop.so"), VANTLO_VERSION);
    EXPECT_EQ(missing.entry, nullptr);
    EXPECT_NE(missing.error.find("is missing (" + folder.file("vantlo-desktop.so") + ")"),
              std::string::npos)
        << missing.error;

    TemporaryFolder::write(folder.file("text.so"), "not a library\n");
    auto text = DesktopModule::load(folder.file("text.so"), VANTLO_VERSION);
    EXPECT_EQ(text.entry, nullptr);
    EXPECT_EQ(text.error.find("cannot load the desktop part of the program: "), 0u) << text.error;
    EXPECT_NE(text.error.find(folder.file("text.so")), std::string::npos) << text.error;
}

TEST(DesktopModule, TheBuiltModuleLoadsOnlyForItsOwnVersion) {
    std::string path = DesktopModule::pathFor(kProgram);
    if (!std::filesystem::exists(path))
        GTEST_SKIP() << "built without the desktop";

    auto other = DesktopModule::load(path, "0.0.0-other");
    EXPECT_EQ(other.entry, nullptr);
    EXPECT_NE(other.error.find("is from vantlo " VANTLO_VERSION ", this is vantlo 0.0.0-other"),
              std::string::npos)
        << other.error;

    auto loaded = DesktopModule::load(path, VANTLO_VERSION);
    ASSERT_NE(loaded.entry, nullptr) << loaded.error;
    std::string program = "vantlo", option = "--version";
    char* argv[] = {program.data(), option.data(), nullptr};
    EXPECT_EQ(loaded.entry(2, argv), 0) << "the module answers the commands the program does";
}

TEST(DesktopModule, TheProgramItselfLinksNoDesktopLibrary) {
    std::string binary = TemporaryFolder::read(kProgram);
    ASSERT_FALSE(binary.empty()) << kProgram;
    for (const char* library : {"libQt6", "libxcb", "libgio"})
        EXPECT_EQ(binary.find(library), std::string::npos) << library;
}

}  // namespace
}  // namespace vantlo
