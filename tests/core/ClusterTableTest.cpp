#include <gtest/gtest.h>

#include <unicode/locid.h>
#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>
#include <unicode/ustring.h>

#include "switcher/ClusterTable.h"

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

TEST(ClusterTable, ByteFormSaysWhenRawBytesAreTheCharacters) {
    using Form = ClusterTable::ByteForm;
    const std::vector<std::pair<std::string, Form>> cases = {
        {"", Form::kPlainAscii},
        {"Plain text - 42", Form::kPlainAscii},
        {"Caf\xC3\xA9 \xE2\x80\x94 \xE5\x8C\x97\xE4\xBA\xAC \xF0\x9F\x8E\x89",
         Form::kOneCharacterPerCodePoint},
        {"\xCE\xA3\xCE\xB9\xCF\x83", Form::kOneCharacterPerCodePoint},
        {"cafe\xCC\x81", Form::kNeedsPreparing},  // combining accent joins the e
        {"\xE2\x84\xAA"
         "elvin",
         Form::kNeedsPreparing},                            // Kelvin sign prepares to "k"
        {"\xE2\x84\xAB", Form::kOneCharacterPerCodePoint},  // Angstrom sign: canonically a-ring
        {"\xC4\xB0stanbul", Form::kNeedsPreparing},         // capital I with dot: two code points
        {"a\r\nb", Form::kNeedsPreparing},
        {"a\rb", Form::kNeedsPreparing},
        {"a\xFF"
         "b",
         Form::kNeedsPreparing},
        {"\xF0\x9F\x98", Form::kNeedsPreparing},
        {"\xF0\x9F\x91\x8D\xF0\x9F\x8F\xBD", Form::kNeedsPreparing},  // skin tone joins
        {"\xF0\x9F\x87\xA9\xF0\x9F\x87\xAA", Form::kNeedsPreparing},  // a flag
    };
    for (const auto& [text, form] : cases)
        EXPECT_EQ(ClusterTable::byteForm(text), form) << "text '" << text << "'";
}

TEST(ClusterTable, RawBytesAgreeWithPreparedCharactersWhereByteFormAllows) {
    ClusterTable table;
    std::vector<std::uint32_t> ids;
    auto check = [&](UChar32 c) {
        if (U_IS_SURROGATE(c))
            return;
        const std::string text = "x" + utf8(c) + "y";
        if (ClusterTable::byteForm(text) == ClusterTable::ByteForm::kNeedsPreparing)
            return;
        ids.clear();
        table.append(text, ids);
        ASSERT_EQ(ids.size(), 3u) << "code point " << std::hex << c;
        EXPECT_GE(ids[1] & ClusterTable::kIdMask, 0x80u) << "code point " << std::hex << c;
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
        EXPECT_EQ(ClusterTable::isSeparatorBefore(bytes, text.size() - 1),
                  (ids[1] & ClusterTable::kSeparatorBit) != 0)
            << "code point " << std::hex << c;
        EXPECT_FALSE(ClusterTable::isSeparatorBefore(bytes, 1)) << "code point " << std::hex << c;
    };
    for (UChar32 c = 0x80; c < 0x10000; ++c)
        check(c);
    for (UChar32 c = 0x1F000; c < 0x1FB00; ++c)
        check(c);
}

}  // namespace
}  // namespace vantlo
