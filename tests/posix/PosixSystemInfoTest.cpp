#include <gtest/gtest.h>

#include "platform/posix/PosixSystemInfo.h"

namespace vantlo {
namespace {

TEST(PosixSystemInfo, DistributionNameFromOsRelease) {
    EXPECT_EQ(PosixSystemInfo::distributionName("NAME=\"Debian GNU/Linux\"\nVERSION_ID=\"12\"\n"
                                                "PRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\n"),
              "Debian GNU/Linux 12 (bookworm)");
    EXPECT_EQ(PosixSystemInfo::distributionName("# comment\nNAME=Alpine\nVERSION_ID=3.19\n"),
              "Alpine 3.19")
        << "without PRETTY_NAME";
    EXPECT_EQ(PosixSystemInfo::distributionName("PRETTY_NAME='Say \\\"hi\\\"'\n"), "Say \"hi\"")
        << "quotes and escapes";
    EXPECT_EQ(PosixSystemInfo::distributionName(""), "");
}

TEST(PosixSystemInfo, DescribesThisMachine) {
    PosixSystemInfo info;
    EXPECT_EQ(info.operatingSystemName(), "Linux");
    EXPECT_NE(info.operatingSystemVersion().find("kernel "), std::string::npos);
    EXPECT_FALSE(info.machineArchitecture().empty());
}

}  // namespace
}  // namespace vantlo
