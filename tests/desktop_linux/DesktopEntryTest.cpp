#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/linux/DesktopEntry.h"
#include "platform/linux/DesktopEntryBundles.h"
#include "platform/linux/DesktopEntryIndex.h"
#include "testing/FakeLog.h"

namespace vantlo {
namespace {

namespace fs = std::filesystem;

class ScratchRoots {
  public:
    ScratchRoots() {
        char pattern[] = "/tmp/vantlo-entries.XXXXXX";
        base = ::mkdtemp(pattern);
        user = base + "/user/applications";
        system = base + "/system/applications";
    }
    ~ScratchRoots() {
        std::error_code ignored;
        fs::remove_all(base, ignored);
    }
    std::string write(const std::string& root, const std::string& relative,
                      const std::string& text) const {
        fs::path path = fs::path(root) / relative;
        fs::create_directories(path.parent_path());
        std::ofstream(path) << text;
        return path.string();
    }
    std::string base, user, system;
};

std::string entry(const std::string& body) {
    return "[Desktop Entry]\nType=Application\n" + body;
}

TEST(DesktopEntry, ReadsTheMainGroupWithTheUsersLanguage) {
    auto parsed = DesktopEntry::parse(
        "# comment\n[Desktop Entry]\nType=Application\nName=Files\nName[zh_CN]=文件\n"
        "Name[de]=Dateien\nIcon=org.gnome.Nautilus\nExec=nautilus --new-window %U\n"
        "Comment=Access\\sfiles\nNoDisplay=false\n[Desktop Action new]\nName=New Window\n"
        "Exec=other\n",
        {"zh_CN", "zh"});
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->name, "Files");
    EXPECT_EQ(parsed->localizedName, "文件");
    EXPECT_EQ(parsed->icon, "org.gnome.Nautilus");
    EXPECT_EQ(parsed->exec, "nautilus --new-window %U") << "an action group does not override";
    EXPECT_TRUE(parsed->isDisplayable());

    auto german = DesktopEntry::parse("[Desktop Entry]\nName=Files\nName[de]=Dateien\n", {"de"});
    ASSERT_TRUE(german);
    EXPECT_EQ(german->localizedName, "Dateien");
    EXPECT_EQ(DesktopEntry::parse("[Desktop Entry]\nName=Files\n", {"fr"})->localizedName, "Files");
    EXPECT_FALSE(DesktopEntry::parse("Name=No group\n", {})) << "no [Desktop Entry] group";
}

TEST(DesktopEntry, ExecProgramSkipsEnvironmentQuotesAndFieldCodes) {
    struct Case {
        const char* exec;
        const char* program;
    };
    for (const Case& c : {Case{"/usr/bin/firefox %u", "firefox"},
                          Case{"env GDK_BACKEND=x11 LANG=C /opt/app/bin/app --flag", "app"},
                          Case{"\"/opt/My App/run\" %F", "run"}, Case{"%U", ""}, Case{"", ""}}) {
        DesktopEntry e;
        e.exec = c.exec;
        EXPECT_EQ(e.execProgram(), c.program) << "Exec " << c.exec;
    }
}

TEST(DesktopEntry, UserLocalesFromTheEnvironment) {
    const char* saved = std::getenv("LANG");
    std::string previous = saved ? saved : "";
    ::unsetenv("LC_ALL");
    ::unsetenv("LC_MESSAGES");
    ::setenv("LANG", "sr_RS.UTF-8@latin", 1);
    EXPECT_EQ(DesktopEntry::userLocales(),
              (std::vector<std::string>{"sr_RS@latin", "sr_RS", "sr@latin", "sr"}));
    ::setenv("LANG", "C", 1);
    EXPECT_TRUE(DesktopEntry::userLocales().empty());
    if (saved)
        ::setenv("LANG", previous.c_str(), 1);
    else
        ::unsetenv("LANG");
}

TEST(DesktopEntryIndex, EarlierFoldersWinAndHiddenEntriesRemoveTheirId) {
    ScratchRoots roots;
    roots.write(roots.user, "editor.desktop", entry("Name=My Editor\nExec=myeditor\n"));
    roots.write(roots.system, "editor.desktop", entry("Name=Editor\nExec=editor\n"));
    roots.write(roots.user, "removed.desktop", "[Desktop Entry]\nHidden=true\n");
    roots.write(roots.system, "removed.desktop", entry("Name=Removed\nExec=removed\n"));
    roots.write(roots.system, "kde/konsole.desktop",
                entry("Name=Konsole\nExec=konsole\nStartupWMClass=konsole\n"));
    roots.write(roots.system, "helper.desktop",
                entry("Name=Helper\nExec=helper\nNoDisplay=true\n"));
    roots.write(roots.system, "link.desktop", "[Desktop Entry]\nType=Link\nName=Site\n");

    auto index = std::make_shared<DesktopEntryIndex>(
        std::vector<std::string>{roots.user, roots.system}, std::vector<std::string>{});
    auto snapshot = index->current();
    ASSERT_NE(snapshot->withId("EDITOR"), nullptr) << "IDs compare case-insensitively";
    EXPECT_EQ(snapshot->withId("editor")->name, "My Editor");
    EXPECT_EQ(snapshot->withId("removed"), nullptr);
    ASSERT_NE(snapshot->withId("kde-konsole"), nullptr) << "sub-folders join the ID with '-'";
    EXPECT_EQ(snapshot->withWmClass("Konsole"), snapshot->withId("kde-konsole"));
    EXPECT_EQ(snapshot->withExecProgram("helper"), snapshot->withId("helper"))
        << "a NoDisplay entry still identifies its running program";
    EXPECT_EQ(snapshot->withId("link"), nullptr) << "not an application";

    DesktopEntryBundles bundles(index);
    auto editor = bundles.open(roots.user + "/editor.desktop");
    ASSERT_TRUE(editor);
    EXPECT_EQ(editor->identifier, "editor");
    EXPECT_EQ(editor->info[BundleKeys::displayName].asString(), "My Editor");
    EXPECT_FALSE(bundles.open(roots.system + "/editor.desktop")) << "shadowed by the user's";
    EXPECT_FALSE(bundles.open(roots.system + "/removed.desktop")) << "hidden by the user";
    EXPECT_FALSE(bundles.open(roots.system + "/helper.desktop")) << "NoDisplay";
    EXPECT_FALSE(bundles.open(roots.system + "/link.desktop")) << "not an application";
    EXPECT_TRUE(bundles.open(roots.system + "/kde/konsole.desktop"));
    EXPECT_EQ(bundles.mainBundle().identifier, "com.local.vantlo");
}

TEST(DesktopEntryIndex, SpecialFilesAreSkippedWithOneLogLineWithoutBlocking) {
    ScratchRoots roots;
    roots.write(roots.user, "good.desktop", entry("Name=Good\nExec=good\n"));
    fs::create_directories(roots.user);
    ASSERT_EQ(::mkfifo((roots.user + "/fifo.desktop").c_str(), 0600), 0);
    fs::create_symlink("/dev/zero", roots.user + "/zero.desktop");
    roots.write(roots.user, "huge.desktop", entry("Name=" + std::string(1u << 20, 'x') + "\n"));
    roots.write(roots.system, "fifo.desktop", entry("Name=System Fifo\nExec=sysfifo\n"));
    auto log = std::make_shared<FakeLog>();
    auto index = std::make_shared<DesktopEntryIndex>(
        std::vector<std::string>{roots.user, roots.system}, std::vector<std::string>{}, log);

    auto snapshot = index->current();
    ASSERT_NE(snapshot->withId("good"), nullptr);
    EXPECT_EQ(snapshot->withId("zero"), nullptr);
    EXPECT_EQ(snapshot->withId("huge"), nullptr);
    ASSERT_NE(snapshot->withId("fifo"), nullptr) << "a skipped file shadows nothing";
    EXPECT_EQ(snapshot->withId("fifo")->name, "System Fifo");
    EXPECT_EQ(log->lines(), (std::vector<std::string>{
                                "[Vantlo] Skipped the desktop entry " + roots.user +
                                    "/fifo.desktop is a FIFO, not a regular file.",
                                "[Vantlo] Skipped the desktop entry " + roots.user +
                                    "/huge.desktop is larger than 1 MiB.",
                                "[Vantlo] Skipped the desktop entry " + roots.user +
                                    "/zero.desktop is a character device, not a regular file.",
                            }));

    DesktopEntryBundles bundles(index);
    EXPECT_FALSE(bundles.open(roots.user + "/zero.desktop"));
    EXPECT_FALSE(bundles.open(roots.user + "/fifo.desktop"));
    EXPECT_TRUE(bundles.open(roots.user + "/good.desktop"));
}

}  // namespace
}  // namespace vantlo
