// What the host relays and what it refuses, with the reason it logs.

#include "protocol/MessageCheck.h"

#include <gtest/gtest.h>

namespace vantlo::bridge {
namespace {

TEST(MessageCheck, BrowserMessagesOfEachKindPass) {
    for (const char* text : {
             R"({"type":"hello","extensionVersion":"1.0.0","privateWindowsAllowed":false})",
             R"({"type":"reply","id":3,"ok":true,"result":{"windows":[]}})",
             R"({"type":"reply","id":4,"ok":false,"error":"No tab with id: 9"})",
             R"({"type":"event","event":"changed"})",
             R"({"type":"event","event":"focus","windowId":-1})",
         }) {
        CheckedMessage message = MessageCheck::browserMessage(text);
        EXPECT_TRUE(message.ok()) << text << ": " << message.error;
    }
}

TEST(MessageCheck, MalformedBrowserMessagesAreRefusedWithAReason) {
    struct Case {
        const char* text;
        const char* error;
    };
    for (const Case& c : {
             Case{"", "message is not valid JSON"},
             Case{R"({"type":"reply","id":1,"ok":true)", "message is not valid JSON"},
             Case{"\"hello\"", "message is not a JSON object"},
             Case{"[1,2]", "message is not a JSON object"},
             Case{R"({"type":"surprise"})", "unknown message type \"surprise\""},
             Case{R"({"id":1})", "unknown message type \"\""},
             Case{R"({"type":"reply","id":"1","ok":true})", "reply without an integer \"id\""},
             Case{R"({"type":"reply","id":1.5,"ok":true})", "reply without an integer \"id\""},
             Case{R"({"type":"reply","id":1,"ok":"yes"})", "reply without a boolean \"ok\""},
             Case{R"({"type":"reply","id":1,"ok":true,"result":[]})",
                  "reply whose \"result\" is not an object"},
             Case{R"({"type":"event","event":"focus"})",
                  "focus event without an integer \"windowId\""},
             Case{R"({"type":"hello","privateWindowsAllowed":"no"})",
                  "hello with fields of the wrong type"},
         }) {
        CheckedMessage message = MessageCheck::browserMessage(c.text);
        EXPECT_FALSE(message.ok()) << c.text;
        EXPECT_EQ(message.error, c.error) << c.text;
    }
}

TEST(MessageCheck, DeepNestingIsRefusedWithoutParsing) {
    std::string deep = R"({"type":"reply","id":1,"ok":true,"result":{"x":)" +
                       std::string(100000, '[') + std::string(100000, ']') + "}}";
    CheckedMessage message = MessageCheck::browserMessage(deep);
    EXPECT_FALSE(message.ok());
    EXPECT_EQ(message.error, "message nested deeper than 16 levels");
    // Brackets inside strings do not count.
    std::string title = R"({"type":"reply","id":1,"ok":true,"result":{"t":")" +
                        std::string(100, '[') + R"(\"{{"}})";
    EXPECT_TRUE(MessageCheck::browserMessage(title).ok());
}

TEST(MessageCheck, VantloRequestsKeepOnlyTheFieldsTheirCommandNeeds) {
    CheckedMessage close =
        MessageCheck::vantloRequest(R"({"id":7,"command":"close","tabId":12,"extra":[1]})");
    ASSERT_TRUE(close.ok()) << close.error;
    EXPECT_EQ(close.value->dump(), R"({"command":"close","id":7,"tabId":12})");
    EXPECT_TRUE(MessageCheck::vantloRequest(R"({"id":1,"command":"list"})").ok());
    EXPECT_TRUE(
        MessageCheck::vantloRequest(R"({"id":2,"command":"focusWindow","windowId":3})").ok());

    EXPECT_EQ(MessageCheck::vantloRequest(R"({"id":1,"command":"activate"})").error,
              "activate without an integer \"tabId\"");
    EXPECT_EQ(MessageCheck::vantloRequest(R"({"id":1,"command":"eval","code":"x"})").error,
              "unknown command \"eval\"");
    EXPECT_EQ(MessageCheck::vantloRequest(R"({"command":"list"})").error,
              "request without an integer \"id\"");
}

}  // namespace
}  // namespace vantlo::bridge
