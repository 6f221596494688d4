#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "app/LineRanker.h"
#include "switcher/ClusterTable.h"
#include "switcher/FuzzyMatcher.h"

namespace vantlo {
namespace {

struct Ranked {
    std::string line;
    int score;
    bool operator==(const Ranked&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Ranked& ranked) {
    return out << ranked.score << " '" << ranked.line << "'";
}

// Every line prepared by the general rules, one by one, then ordered best first, equal scores
// in input order.
std::vector<Ranked> reference(const std::string& query, const std::string& text) {
    ClusterTable table;
    PreparedQuery prepared = PreparedQuery::prepare(query, table);
    std::vector<Ranked> ranked;
    std::vector<std::uint32_t> characters;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = std::min(text.find('\n', start), text.size());
        std::string line = text.substr(start, end - start);
        std::string_view matched = line;
        if (!matched.empty() && matched.back() == '\r')
            matched.remove_suffix(1);
        characters.clear();
        table.append(matched, characters);
        int score = FuzzyMatcher::score(prepared, characters.data(), characters.size());
        if (score != FuzzyMatcher::kNoMatch)
            ranked.push_back({line, score});
        start = end + 1;
    }
    std::stable_sort(ranked.begin(), ranked.end(),
                     [](const Ranked& a, const Ranked& b) { return a.score > b.score; });
    return ranked;
}

std::vector<Ranked> rank(const std::string& query, const std::string& text) {
    std::vector<Ranked> ranked;
    for (const LineRanker::Line& line : LineRanker::rank(query, text))
        ranked.push_back({std::string(LineRanker::textOf(text, line)), line.score});
    return ranked;
}

// Lines of words in several scripts, some with what only the full rules read right: combining
// accents, the Kelvin sign, a flag, malformed bytes, carriage returns.
std::string mixedText(std::size_t lines, unsigned seed) {
    const std::vector<std::string> pieces = {"Kernel",
                                             "build",
                                             "Caf\xC3\xA9",
                                             "cafe\xCC\x81",
                                             " ",
                                             " - ",
                                             " \xE2\x80\x94 ",
                                             "\xE5\x8C\x97\xE4\xBA\xAC",
                                             "Stra\xC3\x9F"
                                             "e",
                                             "\xF0\x9F\x8E\x89",
                                             "\xE2\x84\xAA",
                                             "\xF0\x9F\x87\xA9\xF0\x9F\x87\xAA",
                                             "a\xFF"
                                             "b",
                                             "config.yaml",
                                             "/src/",
                                             ";",
                                             "\xCE\xA3\xCE\xB9",
                                             "report",
                                             "\xC4\xB0stanbul"};
    std::mt19937 random(seed);
    std::string text;
    for (std::size_t i = 0; i < lines; ++i) {
        for (int n = static_cast<int>(random() % 12); n > 0; --n)
            text += pieces[random() % pieces.size()];
        if (random() % 50 == 0)
            text += '\r';
        text += '\n';
    }
    return text;
}

TEST(LineRanker, AgreesWithTheGeneralRulesLineByLine) {
    // Over a megabyte: cut into many stretches, scored on as many threads as there are.
    const std::string text = mixedText(40000, 5);
    ASSERT_GT(text.size(), 1u << 20);
    for (std::string query : {"k", "ke", "kernel", "e -", ";", "b", "rpt", "caf\xC3\xA9",
                              "\xE5\x8C\x97", "STRASSE", "\xC3\x9F", "zz"}) {
        auto expected = reference(query, text);
        auto ranked = rank(query, text);
        ASSERT_EQ(ranked.size(), expected.size()) << "query '" << query << "'";
        for (std::size_t i = 0; i < ranked.size(); ++i)
            ASSERT_EQ(ranked[i], expected[i]) << "query '" << query << "' rank " << i;
    }
}

TEST(LineRanker, LastLineWithoutLineFeedAndEmptyQueryOrText) {
    EXPECT_EQ(rank("ab", "xab\nab"), (std::vector<Ranked>{{"ab", 46}, {"xab", 27}}));
    EXPECT_TRUE(rank("", "a\nb\n").empty()) << "an empty query matches nothing";
    EXPECT_TRUE(rank("a", "").empty());
    EXPECT_TRUE(rank("a", "\n\n").empty()) << "empty lines never match";
}

TEST(LineRanker, WideScoreRangesKeepInputOrderAmongEquals) {
    // Long gaps spread the scores far apart: the ranking sorts instead of counting.
    std::string text;
    for (int i = 0; i < 40; ++i) {
        std::string line = "a" + std::string(static_cast<std::size_t>(i % 4) * 5000, '.') + "z";
        text += line + "\n";
    }
    auto ranked = rank("az", text);
    ASSERT_EQ(ranked.size(), 40u);
    EXPECT_EQ(ranked, reference("az", text));
}

TEST(LineRanker, LinesLongerThanAThreadsShareOfTheTextCountOnce) {
    const std::string text = "ab\n" + std::string(600'000, 'x') + "a-b\nab\n" +
                             std::string(700'000, 'y') + "\n\nb a\n" + std::string(300'000, 'a') +
                             "b";
    auto ranked = rank("ab", text);
    EXPECT_EQ(ranked.size(), 4u);
    EXPECT_EQ(ranked, reference("ab", text));
}

TEST(LineRanker, ALineTooLongForTheCompactOrderRanksWithTheOthers) {
    // Enough matches that the scores' range is counted, and one line of a megabyte: the
    // ranking then keeps whole matches instead of their places, in the same order.
    constexpr std::size_t kShort = 1u << 18;
    constexpr std::size_t kLong = 1u << 20;
    std::string text;
    for (std::size_t i = 0; i < kShort; ++i)
        text += i % 2 ? "a\n" : "ba\n";
    text += std::string(kLong, 'x') + "a";
    auto ranked = LineRanker::rank("a", text);
    ASSERT_EQ(ranked.size(), kShort + 1);
    EXPECT_EQ(ranked[0].offset, 3u) << "\"a\" before \"ba\", each in input order";
    EXPECT_EQ(ranked[1].offset, 8u);
    EXPECT_EQ(ranked[kShort / 2].offset, 0u);
    EXPECT_EQ(ranked[kShort - 1].offset, text.size() - kLong - 1 - 2 - 3);
    EXPECT_EQ(LineRanker::textOf(text, ranked[kShort]).size(), kLong + 1);
    EXPECT_EQ(ranked[kShort].score, *FuzzyMatcher::score("a", std::string(kLong, 'x') + "a"));
}

TEST(LineRanker, TextOfFindsTheEndOfAVeryLongLineAgain) {
    const std::string text = "one\nsecond line\nthird";
    LineRanker::Line line{4, LineRanker::kLongLine, 0};
    EXPECT_EQ(LineRanker::textOf(text, line), "second line");
    line.offset = 16;
    EXPECT_EQ(LineRanker::textOf(text, line), "third");
}

}  // namespace
}  // namespace vantlo
