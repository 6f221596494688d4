// Cutting the native-messaging byte stream into messages, however the bytes arrive.

#include "protocol/FrameReader.h"

#include <gtest/gtest.h>

#include "protocol/Frame.h"

namespace vantlo::bridge {
namespace {

TEST(FrameReader, MessagesSplitAnywhereComeOutWhole) {
    std::string stream = encodeFrame(R"({"a":1})") + encodeFrame("") + encodeFrame("[2]");
    for (std::size_t cut = 0; cut <= stream.size(); ++cut) {
        FrameReader reader(1024);
        std::vector<std::string> got;
        reader.append(std::string_view(stream).substr(0, cut));
        while (auto message = reader.next())
            got.push_back(*message);
        reader.append(std::string_view(stream).substr(cut));
        while (auto message = reader.next())
            got.push_back(*message);
        EXPECT_EQ(got, (std::vector<std::string>{R"({"a":1})", "", "[2]"})) << "cut at " << cut;
        EXPECT_EQ(reader.pending(), 0u) << "cut at " << cut;
    }
}

TEST(FrameReader, ByteByByteStreamOfManyMessagesKeepsItsOrder) {
    FrameReader reader(64);
    std::vector<std::string> got;
    for (int i = 0; i < 200; ++i) {
        for (char c : encodeFrame(std::to_string(i)))
            reader.append({&c, 1});
        while (auto message = reader.next())
            got.push_back(*message);
    }
    ASSERT_EQ(got.size(), 200u);
    EXPECT_EQ(got[199], "199");
}

TEST(FrameReader, OversizedMessageFailsTheStreamWithAReason) {
    FrameReader reader(16);
    reader.append(encodeFrame("0123456789abcdef"));  // exactly at the bound: fine
    EXPECT_EQ(reader.next(), "0123456789abcdef");
    reader.append(encodeFrame("0123456789abcdefg") + encodeFrame("{}"));
    EXPECT_FALSE(reader.next());
    EXPECT_TRUE(reader.failed());
    EXPECT_EQ(reader.error(), "message of 17 bytes exceeds the limit of 16 bytes");
    // Nothing after a bad length can be trusted to be a frame.
    reader.append(encodeFrame("{}"));
    EXPECT_FALSE(reader.next());
}

TEST(FrameReader, HugeDeclaredLengthIsRefusedBeforeAnyPayloadArrives) {
    FrameReader reader(kMaxBrowserMessage);
    reader.append(std::string("\xff\xff\xff\xff", 4));
    EXPECT_FALSE(reader.next());
    EXPECT_TRUE(reader.failed());
    EXPECT_EQ(reader.pending(), 0u);
}

}  // namespace
}  // namespace vantlo::bridge
