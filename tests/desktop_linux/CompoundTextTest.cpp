#include "platform/linux/CompoundText.h"

#include <gtest/gtest.h>

#include <string>

using vantlo::CompoundText::toUtf8;

namespace {

const std::string kReplacement = "\xEF\xBF\xBD";

// An escape sequence: ESC and the bytes after it.
std::string esc(const std::string& rest) {
    return "\x1B" + rest;
}

}  // namespace

TEST(CompoundText, InitialStateIsAsciiAndLatin1) {
    EXPECT_EQ(toUtf8("plain title"), "plain title");
    EXPECT_EQ(toUtf8("caf\xE9"), "café");
    EXPECT_EQ(toUtf8("a\tb\nc"), "a\tb\nc") << "tab and newline are kept";
    EXPECT_EQ(toUtf8(""), "");
}

TEST(CompoundText, ChineseInEitherHalf) {
    // "测试" is B2E2 CAD4 in GB 2312: GL carries it with the high bits cleared.
    EXPECT_EQ(toUtf8(esc("$(A") + "2bJT"), "测试");
    EXPECT_EQ(toUtf8(esc("$)A") + "\xB2\xE2\xCA\xD4"), "测试");
    EXPECT_EQ(toUtf8(esc("$)A") + "\xB2\xE2 ok \xCA\xD4"), "测 ok 试") << "ASCII stays in GL";
    EXPECT_EQ(toUtf8(esc("$(A") + "2bJT" + esc("(B") + "-1"), "测试-1")
        << "ESC ( B returns to ASCII";
}

TEST(CompoundText, JapaneseAndKorean) {
    EXPECT_EQ(toUtf8(esc("$(B") + "F|K\\"), "日本");
    EXPECT_EQ(toUtf8(esc("$)B") + "\xC6\xFC\xCB\xDC"), "日本");
    EXPECT_EQ(toUtf8(esc("$(C") + "GQ19"), "한국");
    EXPECT_EQ(toUtf8(esc("$)C") + "\xC7\xD1\xB1\xB9"), "한국");
    EXPECT_EQ(toUtf8(esc(")I") + "\xB1\xB2"), "ｱｲ") << "JIS X 0201 katakana";
    EXPECT_EQ(toUtf8(esc("(J") + "\\~"), "¥‾") << "JIS X 0201 roman";
}

TEST(CompoundText, OtherIsoLatinRightHalves) {
    EXPECT_EQ(toUtf8(esc("-B") + "\xA3\xF3" + "d\xBC"), "Łódź");
    EXPECT_EQ(toUtf8(esc("-L") + "\xBC\xD8\xE0"), "Мир");
    EXPECT_EQ(toUtf8(esc("-B") + esc("-A") + "\xE9"), "é") << "the last designation wins";
}

TEST(CompoundText, Utf8Segments) {
    EXPECT_EQ(toUtf8("a" + esc("%G") + "\xF0\x9F\x98\x80" + esc("%@") + "b"), "a😀b");
    EXPECT_EQ(toUtf8(esc("%G") + "\xE6\xB5\x8B\xE8\xAF"), "测" + kReplacement)
        << "an unterminated segment runs to the end; its cut character is replaced";
    EXPECT_EQ(toUtf8(esc("$)A") + esc("%G") + "x" + esc("%@") + "\xB2\xE2"), "x测")
        << "the segment leaves the designations as they were";
    EXPECT_EQ(toUtf8(esc("%/1") + "\x80\x88" + "koi8-r\x02\xED"), "М")
        << "a named segment is read in its encoding";
}

TEST(CompoundText, MalformedInputIsReplacedAndDecodingGoesOn) {
    EXPECT_EQ(toUtf8("title\x1B"), "title" + kReplacement) << "lone ESC at the end";
    EXPECT_EQ(toUtf8(esc("$(")), kReplacement) << "designation cut by the end";
    EXPECT_EQ(toUtf8(esc("$(\x01") + "x"), kReplacement + kReplacement + "x")
        << "designation cut by a control";
    EXPECT_EQ(toUtf8(esc("$)A") + "\xB2\xE2\xCA"), "测" + kReplacement) << "half a character";
    EXPECT_EQ(toUtf8(esc("$)A") + "\xB2\xFF\xCA\xD4"), kReplacement + "试")
        << "a bad pair keeps the next one aligned";
    EXPECT_EQ(toUtf8(esc("$)Z") + "\xB2\xE2" + "x"), kReplacement + kReplacement + "x")
        << "unknown character set";
    EXPECT_EQ(toUtf8(esc("%/1") + "ab"), kReplacement + "ab") << "named segment without its length";
    EXPECT_EQ(toUtf8(esc("%/1") + "\x80\x90" + "no/such\x02" + "ab"), kReplacement)
        << "a name that is not a plain encoding name";
    EXPECT_EQ(toUtf8(std::string("a\x07") + "b\x85" + "c"),
              "a" + kReplacement + "b" + kReplacement + "c")
        << "other controls";
    EXPECT_EQ(toUtf8("\x9B" + std::string("1]rtl\x9B]")), "rtl")
        << "direction markers carry no text";
}
