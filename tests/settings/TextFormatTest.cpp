#include <gtest/gtest.h>

#include <vector>

#include "settings/TextFormat.h"

namespace vantlo {
namespace {

std::string fill(std::string_view format, std::vector<FormatArgument> arguments) {
    return fillPlaceholders(format, arguments);
}

TEST(TextFormat, FillsTextAndIntegerPlaceholders) {
    EXPECT_EQ(fill("%d open tabs", {3}), "3 open tabs");
    EXPECT_EQ(fill("Conflicts with %@", {"Move Down"}), "Conflicts with Move Down");
    EXPECT_EQ(fill("%ld, %lld, %i, %s", {std::size_t{7}, -8LL, 9, "x"}), "7, -8, 9, x");
    EXPECT_EQ(fill("%2$@ 与 %1$@ 冲突", {"A", "B"}), "B 与 A 冲突") << "numbered arguments";
    EXPECT_EQ(fill("100%% of %d%%", {5}), "100% of 5%");
    EXPECT_EQ(fill("%03d|%-3d|%3@", {7, 7, "x"}), "007|7  |  x");
    EXPECT_EQ(fill("%d 个标签页", {int64_t{-12}}), "-12 个标签页");
}

TEST(TextFormat, BadArgumentsAndPlaceholdersNeverBreakTheText) {
    EXPECT_EQ(fill("%@ and %@", {"one"}), "one and ") << "missing argument";
    EXPECT_EQ(fill("%d tabs", {1, 2, 3}), "1 tabs") << "extra arguments";
    EXPECT_EQ(fill("%9$@!", {"a"}), "!") << "numbered argument out of range";
    EXPECT_EQ(fill("%d", {"text"}), "text") << "wrong type shows as it is";
    EXPECT_EQ(fill("50%", {}), "50%") << "trailing percent";
    EXPECT_EQ(fill("%f and %x", {1}), "%f and %x") << "unknown conversions stay";
    EXPECT_EQ(fill("%0$@", {"a"}), "%0$@") << "position zero is not a placeholder";
    EXPECT_EQ(fill("%99999999999999999999d", {1}).size(), 4096u) << "width is bounded";
}

}  // namespace
}  // namespace vantlo
