#include <gtest/gtest.h>

#include "testing/MemoryDefaults.h"

namespace vantlo {
namespace {

TEST(Defaults, TypingRulesTheSettingsRelyOn) {
    MemoryDefaults defaults;
    defaults.set("zero", 0);
    defaults.set("one", std::int64_t{1});
    defaults.set("two", 2);
    defaults.set("no", "NO");
    defaults.set("flag", true);
    EXPECT_EQ(defaults.boolean("zero"), false) << "number 0 reads as false";
    EXPECT_EQ(defaults.boolean("one"), true) << "number 1 reads as true";
    EXPECT_EQ(defaults.boolean("two"), std::nullopt) << "other numbers are not booleans";
    EXPECT_EQ(defaults.boolean("no"), std::nullopt) << "a string is not a boolean";
    EXPECT_EQ(defaults.boolean("flag"), true);
    EXPECT_EQ(defaults.boolean("absent"), std::nullopt);
}

TEST(Defaults, StringArraysDataAndDictionariesKeepTheirTypes) {
    MemoryDefaults defaults;
    defaults.set("list", PropertyArray{"a", "b"});
    defaults.set("mixed", PropertyArray{"a", 1});
    defaults.set("bytes", Data{{'h', 'i'}});
    defaults.set("dates", PropertyDictionary{{"com.example", Date{1.5}}});
    EXPECT_EQ(defaults.stringArray("list"), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(defaults.stringArray("mixed"), std::nullopt) << "one non-string spoils the array";
    EXPECT_EQ(defaults.string("bytes"), std::nullopt) << "data is not a string";
    ASSERT_TRUE(defaults.data("bytes"));
    auto dates = defaults.dictionary("dates");
    ASSERT_TRUE(dates);
    EXPECT_EQ(dates->at("com.example").asDate(), Date{1.5});
    EXPECT_EQ(dates->at("com.example").asReal(), std::nullopt) << "a date is not a number";
}

}  // namespace
}  // namespace vantlo
