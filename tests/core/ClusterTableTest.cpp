#include <gtest/gtest.h>

#include <unicode/locid.h>
#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>
#include <unicode/ustring.h>

#include "core/ClusterTable.h"

namespace vantlo {
namespace {

std::string utf8(UChar32 c) {
    std::string text;
    icu::UnicodeString(c).toUTF8String(text);
    return text;
}

// What one code point must prepare to, worked out with ICU's general calls: its full lowercase
// (a capital sigma alone is not word-final) normalised to NFC, as one code point when it is one.
std::optional<UChar32> expectedSingle(UChar32 c) {
    icu::UnicodeString lower(c);
    lower.toLower(icu::Locale::getRoot());
    UErrorCode status = U_ZERO_ERROR;
    icu::UnicodeString canonical =
        icu::Normalizer2::getNFCInstance(status)->normalize(lower, status);
    if (U_FAILURE(status) || canonical.countChar32() != 1)
        return std::nullopt;
    return canonical.char32At(0);
}

TEST(ClusterTable, EveryCodePointPreparesAsTheGeneralRulesSay) {
    ClusterTable table;
    std::vector<std::uint32_t> ids;
    auto check = [&](UChar32 c) {
        if (U_IS_SURROGATE(c))
            return;
        ids.clear();
        table.append(utf8(c), ids);
        ASSERT_EQ(ids.size(), 1u) << "code point " << std::hex << c;
        std::uint32_t id = ids[0] & ClusterTable::kIdMask;
        if (auto single = expectedSingle(c))
            EXPECT_EQ(id, static_cast<std::uint32_t>(*single)) << "code point " << std::hex << c;
        else
            EXPECT_GE(id, 0x110000u) << "code point " << std::hex << c;
        bool letterOrNumber = u_hasBinaryProperty(c, UCHAR_ALPHABETIC) ||
                              u_getIntPropertyValue(c, UCHAR_NUMERIC_TYPE) != U_NT_NONE;
        EXPECT_EQ((ids[0] & ClusterTable::kSeparatorBit) == 0, letterOrNumber)
            << "code point " << std::hex << c;
        if (c >= 0x80 && id < 0x80) {
            EXPECT_TRUE(ClusterTable::hasNonAsciiSource(id)) << "code point " << std::hex << c;
        }
    };
    for (UChar32 c = 0; c < 0x10000; ++c)
        check(c);
    for (UChar32 c = 0x1F000; c < 0x1FB00; ++c)  // emoji and symbols
        check(c);
    for (UChar32 c = 0x10400; c < 0x10450; ++c)  // Deseret: case pairs outside the BMP
        check(c);
}

TEST(ClusterTable, TheSameTextPreparesAlikeWhateverCameBefore) {
    // The quick tables fill as texts are seen; results must not depend on what was seen first.
    const std::vector<std::string> texts = {
        "Caf\xC3\xA9 \xE2\x80\x94 na\xC3\xAF"
        "ve",
        "cafe\xCC\x81",
        "\xE1\x84\x92\xE1\x85\xA1",
        "\xED\x95\x9C",
        "a\r\nb",
        "\xCE\xA3\xCE\xB9\xCF\x83"};
    ClusterTable first;
    ClusterTable second;
    std::vector<std::vector<std::uint32_t>> forward;
    for (const auto& text : texts) {
        forward.emplace_back();
        first.append(text, forward.back());
    }
    for (std::size_t i = texts.size(); i-- > 0;) {
        std::vector<std::uint32_t> backward;
        second.append(texts[i], backward);
        EXPECT_EQ(backward.size(), forward[i].size()) << "text " << i;
    }
    std::vector<std::uint32_t> crlf;
    first.append("a\r\nb", crlf);
    EXPECT_EQ(crlf.size(), 3u) << "CR LF is one character";
}

}  // namespace
}  // namespace vantlo
