// The settings file when what lies at its path is not a settings file, and the files beside it.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "platform/posix/JsonFileDefaults.h"
#include "support/TemporaryFolder.h"
#include "testing/FakeLog.h"

namespace vantlo {
namespace {

using testing::TemporaryFolder;
namespace fs = std::filesystem;

std::vector<std::string> namesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

ino_t inodeOf(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? info.st_ino : 0;
}

class JsonFileDefaultsFilesTest : public ::testing::Test {
  protected:
    std::unique_ptr<JsonFileDefaults> open() {
        return std::make_unique<JsonFileDefaults>(path_, log_);
    }
    std::unique_ptr<JsonFileDefaults> openWithRecency() {
        return std::make_unique<JsonFileDefaults>(
            path_, log_, JsonFileDefaults::SeparateFile{"recency.json", {"recent"}});
    }

    TemporaryFolder folder_;
    std::string path_ = folder_.file("defaults.json");
    std::shared_ptr<FakeLog> log_ = std::make_shared<FakeLog>();
};

TEST_F(JsonFileDefaultsFilesTest, SpecialFilesAreSetAsideWithoutBlockingOrReadingForever) {
    struct Case {
        std::string name;
        std::function<void(const std::string&)> make;
        std::string reason;
    };
    const std::vector<Case> cases{
        {"FIFO", [](const std::string& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); },
         "is a FIFO, not a regular file"},
        {"link to /dev/zero", [](const std::string& p) { fs::create_symlink("/dev/zero", p); },
         "is a character device, not a regular file"},
        {"link to /dev/urandom",
         [](const std::string& p) { fs::create_symlink("/dev/urandom", p); },
         "is a character device, not a regular file"},
        {"oversized file",
         [](const std::string& p) {
             TemporaryFolder::write(p, "{\"a\": \"" + std::string(8u << 20, 'x') + "\"}");
         },
         "is larger than 8 MiB"},
    };
    for (const auto& c : cases) {
        fs::remove_all(folder_.path());
        fs::create_directory(folder_.path());
        log_ = std::make_shared<FakeLog>();
        c.make(path_);
        auto defaults = open();
        ASSERT_EQ(log_->lines().size(), 1u) << c.name;
        EXPECT_TRUE(contains(log_->lines()[0], "defaults.json " + c.reason + "; moved it to "))
            << c.name << ": " << log_->lines()[0];
        EXPECT_EQ(defaults->object("a"), std::nullopt) << c.name;
        defaults->set("k", 1);
        defaults->flush();
        EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(path_))) << c.name;
        auto names = namesIn(folder_.path());
        ASSERT_EQ(names.size(), 2u) << c.name;
        EXPECT_TRUE(names[1].starts_with("defaults.json.damaged-")) << c.name << " kept aside";
    }
}

TEST_F(JsonFileDefaultsFilesTest, FileThatCannotBeSetAsideReportsTheRealError) {
    // A name so long that no "<name>.damaged-..." fits beside it: fails for the superuser too.
    std::string longPath = folder_.file(std::string(240, 'd') + ".json");
    TemporaryFolder::write(longPath, "{broken");
    JsonFileDefaults defaults(longPath, log_);
    EXPECT_FALSE(defaults.savesChanges());
    ASSERT_EQ(log_->lines().size(), 1u);
    EXPECT_TRUE(contains(log_->lines()[0], "cannot be moved aside (File name too long)"))
        << log_->lines()[0];
    defaults.set("k", 1);
    defaults.flush();
    EXPECT_EQ(TemporaryFolder::read(longPath), "{broken");
}

TEST_F(JsonFileDefaultsFilesTest, StaleTemporariesOfOurOwnAreRemovedAtStart) {
    auto age = [](const std::string& path, int seconds) {
        struct timespec times[2];
        times[0].tv_sec = times[1].tv_sec = ::time(nullptr) - seconds;
        times[0].tv_nsec = times[1].tv_nsec = 0;
        ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    };
    TemporaryFolder::write(path_, R"({"a": 1})");
    for (const char* name :
         {"defaults.json.tmp-Ab12Cd", "recency.json.tmp-xyzXYZ", "defaults.json.tmp-fresh1",
          "defaults.json.tmp-notours", "notes.txt"}) {
        TemporaryFolder::write(folder_.file(name), "partial");
        if (std::string(name) != "defaults.json.tmp-fresh1")
            age(folder_.file(name), JsonFileDefaults::kStaleTemporarySeconds + 5);
    }
    auto defaults = openWithRecency();
    EXPECT_EQ(defaults->integer("a"), 1);
    EXPECT_EQ(namesIn(folder_.path()),
              (std::vector<std::string>{"defaults.json", "defaults.json.tmp-fresh1",
                                        "defaults.json.tmp-notours", "notes.txt"}))
        << "a recent one may be a save under way; other names are not ours";
    EXPECT_EQ(log_->lines(),
              (std::vector<std::string>{"[Vantlo] Removed 2 temporary settings file(s) left by "
                                        "an interrupted save."}));
}

TEST_F(JsonFileDefaultsFilesTest, SeparateKeysNeverRewriteTheMainFile) {
    // Written before the history was kept apart: it moves to its own file, nothing lost.
    TemporaryFolder::write(path_, R"({"setting": "kept", "recent": {"w": 3}})");
    {
        auto defaults = openWithRecency();
        defaults->flush();
        EXPECT_TRUE(fs::exists(folder_.file("recency.json")));
        const auto mainFile = inodeOf(path_);
        for (int i = 0; i < 5; ++i) {
            defaults->set("recent", PropertyDictionary{{"w", i}});
            defaults->flush();
        }
        EXPECT_EQ(inodeOf(path_), mainFile) << "the main file is not rewritten";
        const auto recencyFile = inodeOf(folder_.file("recency.json"));
        defaults->set("recent", PropertyDictionary{{"w", 4}});
        defaults->set("setting", "kept");
        defaults->flush();
        EXPECT_EQ(inodeOf(folder_.file("recency.json")), recencyFile) << "unchanged: no write";
        EXPECT_EQ(inodeOf(path_), mainFile) << "unchanged: no write";
        defaults->set("setting", "changed");
        defaults->flush();
        EXPECT_NE(inodeOf(path_), mainFile);
    }
    EXPECT_FALSE(contains(TemporaryFolder::read(path_), "recent")) << TemporaryFolder::read(path_);
    auto reread = openWithRecency();
    EXPECT_EQ(reread->string("setting"), "changed");
    EXPECT_EQ(reread->object("recent"), PropertyValue(PropertyDictionary{{"w", 4}}));

    // The separate file is the newer word; a damaged one is set aside on its own.
    TemporaryFolder::write(path_, R"({"setting": "s", "recent": {"w": 1}})");
    TemporaryFolder::write(folder_.file("recency.json"), R"({"recent": {"w": 2}})");
    EXPECT_EQ(openWithRecency()->object("recent"), PropertyValue(PropertyDictionary{{"w", 2}}));
    TemporaryFolder::write(folder_.file("recency.json"), "{cut");
    log_ = std::make_shared<FakeLog>();
    auto afterDamage = openWithRecency();
    EXPECT_EQ(afterDamage->string("setting"), "s");
    ASSERT_EQ(log_->lines().size(), 1u);
    EXPECT_TRUE(contains(log_->lines()[0], "recency.json is not valid JSON")) << log_->lines()[0];
}

}  // namespace
}  // namespace vantlo
