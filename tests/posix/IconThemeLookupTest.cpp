#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "platform/posix/IconThemeLookup.h"
#include "support/TemporaryFolder.h"

namespace vantlo {
namespace {

using testing::TemporaryFolder;
namespace fs = std::filesystem;

// Two places themes live (the user's first), a theme "Soft" that inherits "Base", and hicolor.
class IconThemeLookup_ : public ::testing::Test {
  protected:
    IconThemeLookup_() {
        user = folder.file("user-icons");
        system = folder.file("system-icons");
        pixmaps = folder.file("pixmaps");
        theme(system, "Soft", "Base",
              {{"16x16/apps", "Size=16\nType=Fixed"},
               {"48x48/apps", "Size=48\nType=Fixed"},
               {"scalable/apps", "Size=64\nType=Scalable\nMinSize=24\nMaxSize=256"}});
        theme(system, "Base", "Soft", {{"32x32/apps", "Size=32"}});
        theme(system, "hicolor", "", {{"48x48/apps", "Size=48\nType=Fixed"}});
        fs::create_directories(pixmaps);
    }

    void theme(const std::string& base, const std::string& name, const std::string& inherits,
               const std::vector<std::pair<std::string, std::string>>& folders) {
        std::string index =
            "[Icon Theme]\nName=" + name + "\nInherits=" + inherits + "\nDirectories=";
        for (const auto& [sub, _] : folders)
            index += sub + ",";
        for (const auto& [sub, keys] : folders) {
            index += "\n\n[" + sub + "]\n" + keys;
            fs::create_directories(base + "/" + name + "/" + sub);
        }
        TemporaryFolder::write(base + "/" + name + "/index.theme", index);
    }
    std::string icon(const std::string& relative) {
        fs::create_directories(fs::path(relative).parent_path());
        TemporaryFolder::write(relative, "image");
        return relative;
    }
    std::optional<std::string> find(const std::string& name, int size) {
        IconThemeLookup lookup({"Soft", {user, system}, {pixmaps}});
        return lookup.find(name, size);
    }

    TemporaryFolder folder;
    std::string user, system, pixmaps;
};

TEST_F(IconThemeLookup_, PrefersAFolderMadeForTheSizeThenTheNearestOne) {
    auto small = icon(system + "/Soft/16x16/apps/editor.png");
    auto large = icon(system + "/Soft/48x48/apps/editor.png");
    auto vector = icon(system + "/Soft/scalable/apps/editor.svg");
    EXPECT_EQ(find("editor", 16), small);
    EXPECT_EQ(find("editor", 48), large) << "a fixed folder of the size beats the scalable one";
    EXPECT_EQ(find("editor", 100), vector) << "within the scalable range";
    EXPECT_EQ(find("editor", 20), small) << "nearest when nothing is made for 20";
    fs::remove(vector);
    EXPECT_EQ(find("editor", 512), large);
}

TEST_F(IconThemeLookup_, FollowsInheritanceThenHicolorThenTheUnthemedFolders) {
    auto inherited = icon(system + "/Base/32x32/apps/mail.png");
    auto hicolor = icon(system + "/hicolor/48x48/apps/player.png");
    auto unthemed = icon(pixmaps + "/legacy.xpm");
    EXPECT_EQ(find("mail", 32), inherited);
    EXPECT_EQ(find("player", 32), hicolor) << "Soft and Base inherit each other; no loop";
    EXPECT_EQ(find("legacy", 32), unthemed);
    EXPECT_EQ(find("nowhere", 32), std::nullopt);

    // The user's copy of a theme folder comes first.
    auto mine = icon(user + "/Soft/48x48/apps/player.png");
    EXPECT_EQ(find("player", 48), mine);
}

TEST_F(IconThemeLookup_, ANameNotFoundLosesItsLastPartAsToolkitsDo) {
    auto plain = icon(system + "/hicolor/48x48/apps/firefox.png");
    EXPECT_EQ(find("firefox-esr", 48), plain);
    EXPECT_EQ(find("-esr", 48), std::nullopt);
    EXPECT_EQ(find("../hicolor/48x48/apps/firefox", 48), std::nullopt) << "names are not paths";
}

// A FIFO or a device where an icon or an index is expected must never be opened: opening a
// FIFO blocks until a writer comes.
TEST_F(IconThemeLookup_, SpecialFilesAreNeverIconsNorIndexes) {
    auto fifo = system + "/Soft/48x48/apps/trap.png";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    auto fallback = icon(system + "/hicolor/48x48/apps/trap.svg");
    EXPECT_EQ(find("trap", 48), fallback);

    fs::remove(system + "/Soft/index.theme");
    ASSERT_EQ(::mkfifo((system + "/Soft/index.theme").c_str(), 0600), 0);
    icon(system + "/Soft/48x48/apps/editor.png");
    auto hicolor = icon(system + "/hicolor/48x48/apps/editor.png");
    EXPECT_EQ(find("editor", 48), hicolor) << "a theme whose index is a FIFO is no theme";
}

}  // namespace
}  // namespace vantlo
