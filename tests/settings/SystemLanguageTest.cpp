#include <gtest/gtest.h>

#include <map>

#include "settings/SystemLanguage.h"

namespace vantlo {
namespace {

std::string chooseWith(std::map<std::string, std::string> variables) {
    return SystemLanguage::choose([&](const char* name) -> const char* {
        auto it = variables.find(name);
        return it == variables.end() ? nullptr : it->second.c_str();
    });
}

TEST(SystemLanguage, LocaleNamesMapToShippedTables) {
    const std::map<std::string, std::optional<std::string>> cases{
        {"zh_CN.UTF-8", "zh-Hans"},
        {"zh_SG", "zh-Hans"},
        {"zh", "zh-Hans"},
        {"zh-Hans", "zh-Hans"},
        {"zh_Hans_CN", "zh-Hans"},
        {"zh_TW.UTF-8", std::nullopt},
        {"zh_HK", std::nullopt},
        {"zh-Hant", std::nullopt},
        {"en_GB.UTF-8", "en"},
        {"en", "en"},
        {"fr_FR.UTF-8", std::nullopt},
        {"zhx", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& [name, code] : cases)
        EXPECT_EQ(SystemLanguage::shippedCode(name), code) << "locale " << name;
}

TEST(SystemLanguage, FollowsTheLocaleVariablesInGettextOrder) {
    EXPECT_EQ(chooseWith({}), "en");
    EXPECT_EQ(chooseWith({{"LANG", "zh_CN.UTF-8"}}), "zh-Hans");
    EXPECT_EQ(chooseWith({{"LANG", "zh_CN.UTF-8"}, {"LC_MESSAGES", "en_US.UTF-8"}}), "en");
    EXPECT_EQ(chooseWith({{"LANG", "en_US.UTF-8"}, {"LC_ALL", "zh_SG.UTF-8"}}), "zh-Hans");
    EXPECT_EQ(chooseWith({{"LANG", "en_US.UTF-8"}, {"LANGUAGE", "fr:zh_TW:zh_CN:en"}}), "zh-Hans")
        << "the first shipped preference wins";
    EXPECT_EQ(chooseWith({{"LANG", "zh_CN.UTF-8"}, {"LANGUAGE", "en_GB:zh_CN"}}), "en");
    EXPECT_EQ(chooseWith({{"LC_ALL", "C"}, {"LANGUAGE", "zh_CN"}}), "en")
        << "the C locale ignores LANGUAGE";
    EXPECT_EQ(chooseWith({{"LANG", "zh_TW.UTF-8"}}), "en") << "no Traditional Chinese table";
    EXPECT_EQ(chooseWith({{"LANG", "de_DE.UTF-8"}, {"LANGUAGE", ""}}), "en");
}

}  // namespace
}  // namespace vantlo
