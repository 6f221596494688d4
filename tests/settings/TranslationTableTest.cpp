#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "settings/TranslationTable.h"
#include "support/TemporaryFolder.h"

namespace vantlo {
namespace {

using testing::TemporaryFolder;

TEST(TranslationTable, ReadsEntriesTheWayGettextWritesThem) {
    auto table = TranslationTable::parse(R"po(# header comment
msgid ""
msgstr ""
"Language: zh_Hans\n"
"Content-Type: text/plain; charset=UTF-8\n"

#. Translator note
#: src/somewhere.cpp:12
msgid "Left"
msgstr "左侧"

msgid ""
"Conflicts "
"with %@"
msgstr "与 %@ "
"冲突"

msgid "Say \"hi\"\tto\\them\n"
msgstr "说\"你好\""

#, fuzzy, c-format
msgid "Wide"
msgstr "宽（待审）"

#, c-format
msgid "%d open tabs"
msgstr "%d 个标签页"

msgid "Untranslated"
msgstr ""

msgctxt "menu"
msgid "Quit"
msgstr "退出菜单"

msgid "%d window"
msgid_plural "%d windows"
msgstr[0] "%d 个窗口"
msgstr[1] "ignored"

#~ msgid "Old"
#~ msgstr "旧"

msgid "Broken
msgstr "坏"

msgid "After broken"
msgstr "之后"
)po");
    EXPECT_EQ(table.find("Left"), "左侧");
    EXPECT_EQ(table.find("Conflicts with %@"), "与 %@ 冲突") << "continuation lines join";
    EXPECT_EQ(table.find("Say \"hi\"\tto\\them\n"), "说\"你好\"") << "escapes";
    EXPECT_EQ(table.find("Wide"), std::nullopt) << "fuzzy translations are not used";
    EXPECT_TRUE(table.contains("Wide"));
    EXPECT_EQ(table.find("%d open tabs"), "%d 个标签页") << "other flags do not matter";
    EXPECT_EQ(table.find("Untranslated"), std::nullopt) << "an empty msgstr is no translation";
    EXPECT_TRUE(table.contains("Untranslated"));
    EXPECT_EQ(table.find("Quit"), std::nullopt) << "texts with a context are other texts";
    EXPECT_EQ(table.find("%d window"), "%d 个窗口");
    EXPECT_EQ(table.find("Old"), std::nullopt) << "obsolete entries";
    EXPECT_EQ(table.find("Broken"), std::nullopt);
    EXPECT_EQ(table.find("After broken"), "之后") << "one bad entry spoils only itself";
    EXPECT_EQ(table.find(""), std::nullopt) << "the header is not a text";
    EXPECT_FALSE(table.contains(""));
}

TEST(TranslationTable, GarbageAndEmptyInputGiveAnEmptyTable) {
    EXPECT_EQ(TranslationTable::parse("").size(), 0u);
    EXPECT_EQ(TranslationTable::parse("\x01\x02 not a po file\nmsgstr \"x\"\n\"\"").size(), 0u);
    EXPECT_EQ(TranslationTable::parse("msgid \"a\"\nmsgstr \"b\"").find("a"), "b")
        << "no newline at the end";
    EXPECT_EQ(TranslationTable::parse("msgid \"a\"\r\nmsgstr \"b\"\r\n").find("a"), "b")
        << "Windows line ends";
    EXPECT_FALSE(TranslationTable::load("/nonexistent/zh-Hans.po").has_value());
}

TEST(TranslationTable, SpecialAndOversizedFilesAreNotRead) {
    TemporaryFolder folder;
    auto fifo = folder.file("fifo.po");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::filesystem::create_symlink("/dev/zero", folder.file("zero.po"));
    TemporaryFolder::write(
        folder.file("huge.po"),
        "msgid \"a\"\nmsgstr \"" + std::string(TranslationTable::kMaxFileBytes, 'b') + "\"\n");
    for (const char* name : {"fifo.po", "zero.po", "huge.po"})
        EXPECT_FALSE(TranslationTable::load(folder.file(name))) << name;
    std::filesystem::create_symlink(VANTLO_SOURCE_DIR "/po/en.po", folder.file("linked.po"));
    EXPECT_TRUE(TranslationTable::load(folder.file("linked.po"))) << "links are followed";
}

TEST(TranslationTable, ShippedTablesLoad) {
    auto english = TranslationTable::load(VANTLO_SOURCE_DIR "/po/en.po");
    auto chinese = TranslationTable::load(VANTLO_SOURCE_DIR "/po/zh-Hans.po");
    ASSERT_TRUE(english && chinese);
    EXPECT_GT(english->size(), 100u);
    EXPECT_EQ(english->size(), chinese->size());
    EXPECT_EQ(english->find("Follow System"), "Follow System");
    auto followSystem = chinese->find("Follow System");
    ASSERT_TRUE(followSystem);
    EXPECT_NE(*followSystem, "Follow System");
}

}  // namespace
}  // namespace vantlo
