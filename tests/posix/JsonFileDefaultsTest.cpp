#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <limits>
#include <thread>

#include "platform/posix/JsonFileDefaults.h"
#include "support/TemporaryFolder.h"
#include "testing/FakeLog.h"

namespace vantlo {
namespace {

using testing::TemporaryFolder;
namespace fs = std::filesystem;

std::vector<std::string> entriesOf(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<fs::path> damagedCopies(const fs::path& folder) {
    std::vector<fs::path> found;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().filename().string().starts_with("defaults.json.damaged-"))
            found.push_back(entry.path());
    }
    std::sort(found.begin(), found.end());
    return found;
}

class JsonFileDefaultsTest : public ::testing::Test {
  protected:
    std::unique_ptr<JsonFileDefaults> open() {
        return std::make_unique<JsonFileDefaults>(path_, log_);
    }

    TemporaryFolder folder_;
    std::string path_ = folder_.file("defaults.json");
    std::shared_ptr<FakeLog> log_ = std::make_shared<FakeLog>();
};

TEST_F(JsonFileDefaultsTest, EveryTypeReadsBackAsWritten) {
    PropertyDictionary nested{{"when", Date{1'800'000'000.25}}, {"list", PropertyArray{1, "two"}}};
    std::map<std::string, PropertyValue> written{
        {"bool", true},
        {"integer", std::int64_t{-9'007'199'254'740'993}},
        {"wholeReal", 2.0},
        {"real", 0.1},
        {"string", "Vantlo 简体中文 \"quoted\" \\ \n"},
        {"emptyData", Data{}},
        {"data", Data{{0, 1, 127, 128, 254, 255, '"'}}},
        {"date", Date{-1.5}},
        {"array", PropertyArray{true, 3, 4.5, "x", Data{{'a'}}, Date{7}}},
        {"dictionary", nested},
        {"emptyDictionary", PropertyDictionary{}},
        {"looksLikeData", PropertyDictionary{{"$data", "aGk="}}},
        {"looksLikeDate", PropertyDictionary{{"$date", 5}}},
        {"looksLikeWrap", PropertyDictionary{{"$dict", PropertyDictionary{}}}},
        {"infinity", -std::numeric_limits<double>::infinity()},
    };
    {
        auto defaults = open();
        for (const auto& [key, value] : written)
            defaults->set(key, value);
        defaults->set("nan", std::numeric_limits<double>::quiet_NaN());
        defaults->flush();
    }
    auto reread = open();
    for (const auto& [key, value] : written)
        EXPECT_EQ(reread->object(key), value) << "key " << key;
    auto nan = reread->object("nan");
    ASSERT_TRUE(nan && nan->isReal());
    EXPECT_TRUE(std::isnan(*nan->asReal()));
    EXPECT_TRUE(log_->lines().empty());
}

TEST_F(JsonFileDefaultsTest, HandWrittenFileFollowsTheTypingRules) {
    TemporaryFolder::write(path_, R"({
        "zero": 0, "one": 1.0, "no": "NO",
        "bytes": {"$data": "aGk="},
        "dates": {"com.example": {"$date": 1.5}},
        "badTag": {"$data": 5},
        "list": ["a", "b"], "mixed": ["a", 1],
        "huge": 18446744073709551615,
        "nothing": null
    })");
    auto defaults = open();
    EXPECT_EQ(defaults->boolean("zero"), false);
    EXPECT_EQ(defaults->boolean("one"), true);
    EXPECT_EQ(defaults->boolean("no"), std::nullopt) << "a string is never a boolean";
    EXPECT_EQ(defaults->string("bytes"), std::nullopt) << "data is not a string";
    EXPECT_EQ(defaults->data("bytes"), (Data{{'h', 'i'}}));
    auto dates = defaults->dictionary("dates");
    ASSERT_TRUE(dates);
    EXPECT_EQ(dates->at("com.example").asDate(), Date{1.5});
    EXPECT_EQ(defaults->dictionary("badTag"), (PropertyDictionary{{"$data", 5}}))
        << "a malformed tag is kept as the dictionary it spells";
    EXPECT_EQ(defaults->stringArray("list"), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(defaults->stringArray("mixed"), std::nullopt);
    EXPECT_EQ(defaults->integer("huge"), std::nullopt) << "beyond 64-bit integers reads as real";
    EXPECT_TRUE(defaults->real("huge"));
    EXPECT_EQ(defaults->object("nothing"), std::nullopt);
    EXPECT_TRUE(log_->lines().empty());
}

TEST_F(JsonFileDefaultsTest, FileCutOffMidWriteIsSetAsideAndNeverOverwritten) {
    std::string cutOff = R"({"Vantlo.PanelEdge": "left", "Vantlo.MRU.app": {"com.exa)";
    TemporaryFolder::write(path_, cutOff);
    {
        auto defaults = open();
        EXPECT_EQ(defaults->object("Vantlo.PanelEdge"), std::nullopt);
        ASSERT_EQ(log_->lines().size(), 1u);
        EXPECT_TRUE(log_->lines()[0].starts_with("[Vantlo] ")) << log_->lines()[0];
        EXPECT_NE(log_->lines()[0].find("damaged-"), std::string::npos) << log_->lines()[0];
        defaults->set("Vantlo.PanelWidth", "wide");
        defaults->flush();
    }
    auto copies = damagedCopies(folder_.path());
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_EQ(TemporaryFolder::read(copies[0]), cutOff) << "the user's bytes are kept as they were";
    EXPECT_EQ(open()->string("Vantlo.PanelWidth"), "wide");
}

TEST_F(JsonFileDefaultsTest, DamagedAndWrongShapeFilesStartEmpty) {
    const std::vector<std::string> damaged{
        std::string("\x00\x01garbage\xff", 11),
        "[1, 2, 3]",
        "\"just a string\"",
        "{\"name\": \"bad \xc3\x28 utf-8\"}",
        std::string(200, '[') + std::string(200, ']'),
        "{\"a\": 1} trailing",
    };
    for (const auto& contents : damaged) {
        TemporaryFolder::write(path_, contents);
        auto before = damagedCopies(folder_.path()).size();
        auto lines = log_->lines().size();
        auto defaults = open();
        EXPECT_EQ(defaults->object("a"), std::nullopt) << "contents " << contents;
        EXPECT_TRUE(defaults->savesChanges()) << "contents " << contents;
        EXPECT_EQ(log_->lines().size(), lines + 1) << "contents " << contents;
        EXPECT_EQ(damagedCopies(folder_.path()).size(), before + 1)
            << "each damaged file gets its own copy; contents " << contents;
        EXPECT_FALSE(fs::exists(path_)) << "contents " << contents;
    }
}

TEST_F(JsonFileDefaultsTest, EmptyFileIsAnEmptyStoreWithoutComplaint) {
    TemporaryFolder::write(path_, "");
    auto defaults = open();
    EXPECT_EQ(defaults->object("anything"), std::nullopt);
    EXPECT_TRUE(log_->lines().empty());
    EXPECT_TRUE(damagedCopies(folder_.path()).empty());
}

TEST_F(JsonFileDefaultsTest, FolderInPlaceOfTheFileIsSetAside) {
    fs::create_directory(path_);
    TemporaryFolder::write(path_ + "/keep", "mine");
    auto defaults = open();
    ASSERT_EQ(log_->lines().size(), 1u);
    auto copies = damagedCopies(folder_.path());
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_EQ(TemporaryFolder::read((copies[0] / "keep").string()), "mine");
    defaults->set("k", 1);
    defaults->flush();
    EXPECT_TRUE(fs::is_regular_file(path_));
}

TEST_F(JsonFileDefaultsTest, MissingFoldersAreCreatedPrivateOnFirstSave) {
    std::string deep = folder_.file("config/vantlo/defaults.json");
    {
        JsonFileDefaults defaults(deep, log_);
        EXPECT_FALSE(fs::exists(folder_.path() / "config")) << "reading alone creates nothing";
        defaults.set("Vantlo.PanelEdge", "left");
        defaults.flush();
    }
    struct stat info {};
    ASSERT_EQ(::stat(folder_.file("config/vantlo").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    ASSERT_EQ(::stat(deep.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0077, 0u) << "settings are private to the user";
    EXPECT_EQ(JsonFileDefaults(deep, log_).string("Vantlo.PanelEdge"), "left");
    EXPECT_TRUE(log_->lines().empty());
}

TEST_F(JsonFileDefaultsTest, EverySaveReplacesTheFileAndLeavesNoTemporary) {
    auto defaults = open();
    defaults->set("a", 1);
    defaults->flush();
    // Holding the old file open keeps its inode from being reused by the replacement.
    int oldFile = ::open(path_.c_str(), O_RDONLY);
    ASSERT_GE(oldFile, 0);
    struct stat first {};
    ASSERT_EQ(::fstat(oldFile, &first), 0);
    defaults->set("b", 2);
    defaults->remove("a");
    defaults->flush();
    struct stat second {};
    ASSERT_EQ(::stat(path_.c_str(), &second), 0);
    EXPECT_NE(first.st_ino, second.st_ino) << "a new file is renamed into place, never rewritten";
    struct stat oldNow {};
    ASSERT_EQ(::fstat(oldFile, &oldNow), 0);
    EXPECT_EQ(oldNow.st_size, first.st_size) << "the previous file is left whole";
    ::close(oldFile);
    EXPECT_EQ(entriesOf(folder_.path()), (std::vector<std::string>{"defaults.json"}));
    auto reread = open();
    EXPECT_EQ(reread->object("a"), std::nullopt);
    EXPECT_EQ(reread->integer("b"), 2);
}

TEST_F(JsonFileDefaultsTest, ChangesFromManyThreadsAllReachTheFile) {
    {
        auto defaults = open();
        std::vector<std::thread> threads;
        for (int t = 0; t < 4; ++t) {
            threads.emplace_back([&, t] {
                for (int i = 0; i < 50; ++i)
                    defaults->set("key" + std::to_string(t) + "-" + std::to_string(i), i);
            });
        }
        for (auto& thread : threads)
            thread.join();
    }  // the destructor saves what is pending
    auto reread = open();
    for (int t = 0; t < 4; ++t) {
        for (int i = 0; i < 50; ++i) {
            auto key = "key" + std::to_string(t) + "-" + std::to_string(i);
            EXPECT_EQ(reread->integer(key), i) << "key " << key;
        }
    }
}

TEST_F(JsonFileDefaultsTest, LinkedFileIsUpdatedWhereItLives) {
    std::string real = folder_.file("dotfiles-defaults.json");
    TemporaryFolder::write(real, "{}");
    fs::create_symlink(real, path_);
    auto defaults = open();
    defaults->set("k", "v");
    defaults->flush();
    EXPECT_TRUE(fs::is_symlink(path_));
    EXPECT_NE(TemporaryFolder::read(real).find("\"v\""), std::string::npos);
}

TEST_F(JsonFileDefaultsTest, DamagedFileThatCannotBeMovedIsNeverOverwritten) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "folder permissions do not bind the superuser";
    TemporaryFolder::write(path_, "{broken");
    fs::permissions(folder_.path(), fs::perms::owner_read | fs::perms::owner_exec);
    auto defaults = open();
    EXPECT_FALSE(defaults->savesChanges());
    defaults->set("k", 1);
    defaults->flush();
    EXPECT_EQ(defaults->integer("k"), 1) << "changes still apply for this run";
    fs::permissions(folder_.path(), fs::perms::owner_all);
    EXPECT_EQ(TemporaryFolder::read(path_), "{broken");
    ASSERT_EQ(log_->lines().size(), 1u);
    EXPECT_NE(log_->lines()[0].find("cannot be moved aside (Permission denied)"), std::string::npos)
        << log_->lines()[0];
}

TEST(JsonFileDefaultsPath, FollowsTheBaseDirectoryRules) {
    EXPECT_EQ(JsonFileDefaults::pathFromEnvironment("/x/cfg", "/home/u"),
              "/x/cfg/vantlo/defaults.json");
    EXPECT_EQ(JsonFileDefaults::pathFromEnvironment(nullptr, "/home/u"),
              "/home/u/.config/vantlo/defaults.json");
    EXPECT_EQ(JsonFileDefaults::pathFromEnvironment("", "/home/u"),
              "/home/u/.config/vantlo/defaults.json");
    EXPECT_EQ(JsonFileDefaults::pathFromEnvironment("relative/cfg", "/home/u"),
              "/home/u/.config/vantlo/defaults.json")
        << "a relative XDG_CONFIG_HOME is ignored";
    EXPECT_EQ(JsonFileDefaults::pathFromEnvironment(nullptr, nullptr), "");
}

TEST(JsonFileDefaultsPath, WithoutAFolderNothingIsSavedButChangesApply) {
    auto log = std::make_shared<FakeLog>();
    JsonFileDefaults defaults("", log);
    defaults.set("k", true);
    defaults.flush();
    EXPECT_EQ(defaults.boolean("k"), true);
    EXPECT_EQ(log->lines().size(), 1u);
}

}  // namespace
}  // namespace vantlo
