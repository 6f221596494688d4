#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/linux/DesktopEntry.h"
#include "platform/linux/XdgLoginItems.h"

namespace vantlo {
namespace {

namespace fs = std::filesystem;

TEST(XdgLoginItems, RegistersAnAutostartEntryThatStartsThisProgram) {
    char pattern[] = "/tmp/vantlo-autostart.XXXXXX";
    std::string base = ::mkdtemp(pattern);
    std::string path = base + "/config/autostart/com.local.vantlo.desktop";
    XdgLoginItems items(path, "/opt/Vantlo \"Beta\"/bin/vantlo");

    EXPECT_EQ(items.status(), LoginItemStatus::notRegistered);
    EXPECT_EQ(items.registerItem(), "");
    EXPECT_EQ(items.status(), LoginItemStatus::enabled);
    auto entry = DesktopEntry::read(path, {});
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->name, "Vantlo");
    EXPECT_EQ(entry->execProgram(), "vantlo") << entry->exec;
    EXPECT_EQ(entry->exec, "\"/opt/Vantlo \\\"Beta\\\"/bin/vantlo\"");
    EXPECT_FALSE(fs::exists(path + ".tmp"));

    EXPECT_EQ(items.unregisterItem(), "");
    EXPECT_EQ(items.status(), LoginItemStatus::notRegistered);
    EXPECT_EQ(items.unregisterItem(), "") << "removing twice is not an error";
    fs::remove_all(base);
}

}  // namespace
}  // namespace vantlo
