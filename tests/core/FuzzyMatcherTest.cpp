#include <gtest/gtest.h>

#include <random>

#include "switcher/FuzzyMatcher.h"
#include "switcher/MatchIndex.h"

namespace vantlo {
namespace {

std::optional<int> score(std::string_view query, std::string_view text) {
    return FuzzyMatcher::score(query, text);
}

TEST(FuzzyMatcher, WorkedValues) {
    EXPECT_EQ(score("ab", "ab"), 46);
    EXPECT_EQ(score("ab", "xab"), 27);
    EXPECT_EQ(score("a", "a b"), 26);
}

TEST(FuzzyMatcher, TextsOfBillionsOfCharactersRankBelowShortOnesWithoutWrappingAround) {
    ClusterTable table;
    auto query = PreparedQuery::prepare("ab", table);
    const std::string text = "ab cd";
    const std::size_t positions[] = {0, 1};
    int exact = FuzzyMatcher::scoreAt(query, reinterpret_cast<const std::uint8_t*>(text.data()), 2,
                                      2, positions, true);
    for (std::size_t length : {std::size_t{5}, std::size_t{3} << 30, std::size_t{5} << 32}) {
        // Only the matched bytes and the one before each are read: the length can be claimed.
        int score = FuzzyMatcher::scoreAt(query, reinterpret_cast<const std::uint8_t*>(text.data()),
                                          length, length, positions, true);
        EXPECT_LT(score, exact) << "length " << length;
        EXPECT_NE(score, FuzzyMatcher::kNoMatch) << "length " << length;
    }
}

TEST(FuzzyMatcher, MissingCharactersOrEmptyTextDoNotMatch) {
    EXPECT_EQ(score("a", ""), std::nullopt);
    EXPECT_EQ(score("ba", "ab"), std::nullopt) << "order matters";
    EXPECT_EQ(score("aa", "a"), std::nullopt) << "one text character per query character";
}

TEST(FuzzyMatcher, SeparatorsAreNeitherLettersNorNumbers) {
    EXPECT_EQ(score("b", "a-b"), 20) << "word start after punctuation";
    EXPECT_EQ(score("b", "a1b"), 8) << "a digit is not a separator";
    EXPECT_EQ(score("b",
                    "a\xC3\xA9"
                    "b"),
              8)
        << "an accented letter is not a separator";
    EXPECT_EQ(score("b",
                    "a\xE2\x80\x94"
                    "b"),
              20)
        << "an em dash is";
    EXPECT_EQ(score("b",
                    "a\xF0\x9F\x98\x80"
                    "b"),
              20)
        << "an emoji is";
}

TEST(FuzzyMatcher, UpperCaseQueryScoresAsItsLowerCase) {
    struct Case {
        std::string upper, lower, text;
    };
    const std::vector<Case> cases = {
        {"AB", "ab", "xab"},
        {"Ab", "ab", "XAB"},
        {"SAFARI", "safari", "Safari"},
        {"\xC3\x89T\xC3\x89", "\xC3\xA9t\xC3\xA9", "\xC3\xA9t\xC3\xA9"},  // ÉTÉ / été
        {"\xCE\x91\xCE\x98", "\xCE\xB1\xCE\xB8", "\xCE\x91\xCE\xB8\xCE\xAE\xCE\xBD\xCE\xB1"},
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(score(c.upper, c.text)) << "query " << c.upper;
        EXPECT_EQ(score(c.upper, c.text), score(c.lower, c.text)) << "query " << c.upper;
    }
}

TEST(FuzzyMatcher, FullCaseMappingAndCapitalSigma) {
    EXPECT_EQ(score("\xE1\xBA\x9E",
                    "stra\xC3\x9F"
                    "e"),
              score("\xC3\x9F",
                    "stra\xC3\x9F"
                    "e"))
        << "capital sharp s lowercases to sharp s";
    // A final capital sigma lowercases like any other, so a typed sigma finds it.
    EXPECT_EQ(score("\xCE\xBF\xCE\xB4\xCE\xBF\xCF\x83", "\xCE\x9F\xCE\x94\xCE\x9F\xCE\xA3"), 82);
    // Capital I with dot lowercases to i plus a combining dot: one character, not "i".
    EXPECT_EQ(score("i", "\xC4\xB0"), std::nullopt);
    EXPECT_TRUE(score("\xC4\xB0", "\xC4\xB0stanbul"));
}

TEST(FuzzyMatcher, CanonicallyEquivalentCharactersAreEqual) {
    const std::string precomposed = "caf\xC3\xA9";  // é as one code point
    const std::string combining = "cafe\xCC\x81";   // e + combining acute
    EXPECT_EQ(score("\xC3\xA9", combining), score("\xC3\xA9", precomposed));
    EXPECT_EQ(score("e\xCC\x81", precomposed), score("e\xCC\x81", combining));
    EXPECT_EQ(score("caf\xC3\xA9", combining), 82) << "four characters, not five";
    EXPECT_EQ(score("cafe", combining), std::nullopt) << "é is not e";
    // Angstrom sign and A with ring; Hangul syllable and its conjoining jamo.
    EXPECT_EQ(score("\xE2\x84\xAB", "\xC3\x85"), 28);
    EXPECT_EQ(score("\xED\x95\x9C", "\xE1\x84\x92\xE1\x85\xA1\xE1\x86\xAB"), 28);
}

TEST(FuzzyMatcher, EmojiSequencesAndFlagsAreOneCharacter) {
    const std::string family =
        "\xF0\x9F\x91\xA8\xE2\x80\x8D\xF0\x9F\x91\xA9\xE2\x80\x8D\xF0\x9F\x91\xA7";
    EXPECT_EQ(score("ab", "a" + family + "b"), 49) << "one skipped character, then a word start";
    EXPECT_EQ(score(family, "x" + family), 9);
    EXPECT_EQ(score("\xF0\x9F\x91\xA8", family), std::nullopt) << "a part is not the character";
    const std::string thumbDark = "\xF0\x9F\x91\x8D\xF0\x9F\x8F\xBD";
    EXPECT_EQ(score("\xF0\x9F\x91\x8D", thumbDark), std::nullopt);
    EXPECT_EQ(score(thumbDark, "ok " + thumbDark), 19);
    const std::string germany = "\xF0\x9F\x87\xA9\xF0\x9F\x87\xAA";
    EXPECT_EQ(score(germany, germany + germany), 27) << "two flags are two characters";
}

TEST(FuzzyMatcher, ChineseJapaneseKorean) {
    EXPECT_EQ(score("\xE4\xBA\xAC", "\xE5\x8C\x97\xE4\xBA\xAC"), 9) << "京 in 北京";
    EXPECT_EQ(score("\xE5\x8C\x97\xE4\xBA\xAC", "\xE5\x8C\x97\xE4\xBA\xAC\xE5\xA4\xA7\xE5\xAD\xA6"),
              44);
    EXPECT_EQ(score("\xE3\x83\x86", "\xE3\x83\x86\xE3\x82\xB9\xE3\x83\x88"), 26) << "テ in テスト";
    EXPECT_EQ(score("\xED\x95\x9C", "\xEB\x8C\x80\xED\x95\x9C"), 9) << "한 in 대한";
}

TEST(FuzzyMatcher, SpacesInTheQueryMustBeMatched) {
    EXPECT_EQ(score("a b", "a b"), 76);
    EXPECT_EQ(score("a b", "ab"), std::nullopt);
    EXPECT_EQ(score(" ", "ab"), std::nullopt);
    EXPECT_EQ(score("g c", "google chrome"), score("g c", "google chrome"));
    EXPECT_TRUE(score("g c", "google chrome"));
}

TEST(FuzzyMatcher, MalformedTextReadsAsReplacementCharacters) {
    EXPECT_EQ(score("\xEF\xBF\xBD", "\xFF"), 28);
    EXPECT_EQ(score("ab",
                    "a\xC3"
                    "b"),
              score("ab",
                    "a\xEF\xBF\xBD"
                    "b"));
    EXPECT_EQ(score("a", "\xF0\x9F"), std::nullopt);
}

// The scoring rules written out step by step, to check the fast paths against.
int referenceScore(const std::string& query, const std::string& text) {
    auto isSep = [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); };
    auto lower = [](char c) { return std::tolower(static_cast<unsigned char>(c)); };
    if (text.empty())
        return FuzzyMatcher::kNoMatch;
    int score = 0, last = -2, start = 0;
    bool separator = true;
    for (char q : query) {
        int gap = 0;
        bool found = false;
        for (int j = start; j < static_cast<int>(text.size()); ++j) {
            bool note = isSep(text[j]);
            if (lower(text[j]) != lower(q)) {
                ++gap;
                separator = note;
                continue;
            }
            score += 10 - gap + (j == last + 1 ? 8 : 0) + (separator ? 12 : 0) + (j == 0 ? 6 : 0);
            last = j;
            start = j + 1;
            separator = note;
            found = true;
            break;
        }
        if (!found)
            return FuzzyMatcher::kNoMatch;
    }
    return score - (static_cast<int>(text.size()) - (last + 1));
}

TEST(FuzzyMatcher, FastPathsAgreeWithTheRulesOnRandomText) {
    std::mt19937 random(7);
    const std::string alphabet = "abcAB -._/1";
    auto make = [&](int maxLength) {
        std::string s(random() % (maxLength + 1), ' ');
        for (char& c : s)
            c = alphabet[random() % alphabet.size()];
        return s;
    };
    for (int round = 0; round < 2000; ++round) {
        std::string query = make(4);
        if (query.empty())
            continue;
        std::string text = make(24);
        MatchIndex index;
        std::vector<MatchField> fields{{text, 1.0}};
        index.addEntry(fields);
        auto ranked = index.rank(query);
        int expected = referenceScore(query, text);
        int viaIndex = ranked.empty() ? FuzzyMatcher::kNoMatch : ranked[0].score;
        EXPECT_EQ(viaIndex, expected) << "query '" << query << "' text '" << text << "'";
        EXPECT_EQ(score(query, text).value_or(FuzzyMatcher::kNoMatch), expected)
            << "query '" << query << "' text '" << text << "'";
    }
}

TEST(FuzzyMatcher, RawBytePathAgreesWithPreparedTextOnMixedText) {
    std::mt19937 random(11);
    // ASCII letters and separators among letters, separators and symbols from other scripts.
    const std::vector<std::string> pieces = {"a",
                                             "b",
                                             "K",
                                             "k",
                                             "e",
                                             " ",
                                             "-",
                                             ";",
                                             "/",
                                             "\xC3\xA9",
                                             "\xC3\x89",
                                             "\xE2\x80\x94",
                                             "\xE5\x8C\x97",
                                             "\xF0\x9F\x8E\x89",
                                             "\xC3\x9F",
                                             "\xCE\xA3",
                                             "\xE2\x84\xAB",
                                             "\xD0\x96"};
    const std::string queryAlphabet = "abke -;/";
    int checked = 0;
    for (int round = 0; round < 4000; ++round) {
        std::string text;
        for (int n = static_cast<int>(random() % 30); n > 0; --n)
            text += pieces[random() % pieces.size()];
        std::string query(1 + random() % 4, ' ');
        for (char& c : query)
            c = queryAlphabet[random() % queryAlphabet.size()];
        ASSERT_NE(ClusterTable::byteForm(text), ClusterTable::ByteForm::kNeedsPreparing) << text;
        ClusterTable table;
        PreparedQuery prepared = PreparedQuery::prepare(query, table);
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
        int expected = score(query, text).value_or(FuzzyMatcher::kNoMatch);
        EXPECT_EQ(FuzzyMatcher::scoreAsciiFoldingUtf8(prepared, bytes, text.size()), expected)
            << "query '" << query << "' text '" << text << "'";
        int quick = FuzzyMatcher::scoreAsciiFolding(prepared, bytes, text.size());
        EXPECT_EQ(quick == FuzzyMatcher::kNoMatch, expected == FuzzyMatcher::kNoMatch)
            << "the quick test on the raw bytes settles misses: query '" << query << "' text '"
            << text << "'";
        checked += expected != FuzzyMatcher::kNoMatch;
    }
    EXPECT_GT(checked, 500) << "enough of the texts match";
}

TEST(MatchIndex, BestWeightedFieldTruncatedAndTiesInEntryOrder) {
    MatchIndex index;
    std::vector<std::vector<MatchField>> entries = {
        {{"zzz", 1.0}, {"ab", 0.6}},  // 46 * 0.6 = 27.6 -> 27
        {{"xab", 1.0}},               // 27
        {{"ab", 1.0}, {"ab", 0.6}},   // 46
        {{"nothing", 1.0}},           //
        {{"a..........b", 0.95}},     // 40 * 0.95 = 38
        {{"ab", 0.6}},                // 27 again, after entry 0 and 1
    };
    for (const auto& fields : entries)
        index.addEntry(fields);
    auto ranked = index.rank("ab");
    std::vector<MatchIndex::Ranked> expected = {{2, 46}, {4, 38}, {0, 27}, {1, 27}, {5, 27}};
    EXPECT_EQ(ranked, expected);
    EXPECT_TRUE(index.rank("").empty());
    EXPECT_TRUE(index.rank("q").empty());
}

TEST(MatchIndex, WideScoreRangesStillSortStably) {
    MatchIndex index;
    std::string longText(200000, 'x');
    std::vector<MatchField> far{{"a" + longText, 1.0}};
    std::vector<MatchField> near{{"a", 1.0}};
    for (int i = 0; i < 3; ++i) {
        index.addEntry(far);
        index.addEntry(near);
    }
    auto ranked = index.rank("a");
    ASSERT_EQ(ranked.size(), 6u);
    std::vector<std::uint32_t> order;
    for (auto r : ranked)
        order.push_back(r.entry);
    EXPECT_EQ(order, (std::vector<std::uint32_t>{1, 3, 5, 0, 2, 4}));
}

}  // namespace
}  // namespace vantlo
