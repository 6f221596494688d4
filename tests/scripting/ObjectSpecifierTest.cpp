#include "scripting/ObjectSpecifier.h"

#include <gtest/gtest.h>

namespace vantlo {
namespace {

TEST(ObjectSpecifier, ElementPositionsCountFromOneAndFromTheEnd) {
    std::size_t at = 99;
    EXPECT_TRUE(elementPosition(1, 3, at));
    EXPECT_EQ(at, 0u);
    EXPECT_TRUE(elementPosition(3, 3, at));
    EXPECT_EQ(at, 2u);
    EXPECT_TRUE(elementPosition(-1, 3, at)) << "the last";
    EXPECT_EQ(at, 2u);
    EXPECT_TRUE(elementPosition(-3, 3, at));
    EXPECT_EQ(at, 0u);

    at = 99;
    for (std::int64_t outside : std::initializer_list<std::int64_t>{0, 4, -4, INT64_MIN, INT64_MAX})
        EXPECT_FALSE(elementPosition(outside, 3, at)) << outside;
    EXPECT_FALSE(elementPosition(1, 0, at)) << "nothing to name in an empty list";
    EXPECT_EQ(at, 99u) << "a refused position leaves the output alone";
}

}  // namespace
}  // namespace vantlo
