#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <random>
#include <string>
#include <vector>

#include "switcher/LineSieve.h"

namespace vantlo {

// Found by the test framework next to the type it prints.
void PrintTo(const LineSieve::Span& span, std::ostream* out) {
    *out << "[" << span.start << ", " << span.end << ")";
}

namespace {

using Spans = std::vector<LineSieve::Span>;

// Line by line: the lines of [begin, end) holding `wanted` in order, ASCII case folded.
Spans expectedLines(const std::string& text, std::size_t begin, std::size_t end,
                    const std::string& wanted) {
    Spans lines;
    for (std::size_t start = begin; start < end;) {
        std::size_t stop = std::min(text.find('\n', start), end);
        std::size_t next = 0;
        for (std::size_t i = start; i < stop && next < wanted.size(); ++i) {
            if (std::tolower(static_cast<unsigned char>(text[i])) == wanted[next])
                ++next;
        }
        if (next == wanted.size())
            lines.push_back({start, stop});
        start = stop + 1;
    }
    return lines;
}

// Random lines, some much longer than a block, of letters in both cases, separators, a few
// carriage returns and bytes outside ASCII.
std::string randomText(std::mt19937& random) {
    const std::string alphabet = "abcdABCD -x.\r\xc3\xa9";
    std::string text;
    for (int line = 0; line < 1500; ++line) {
        std::size_t length = random() % 8 == 0 ? random() % 300 : random() % 50;
        for (std::size_t i = 0; i < length; ++i)
            text += alphabet[random() % alphabet.size()];
        text += '\n';
    }
    return text;
}

TEST(LineSieve, FindsExactlyTheLinesHoldingTheCharactersInOrder) {
    std::mt19937 random(7);
    for (int round = 0; round < 40; ++round) {
        std::string text = randomText(random);
        if (round % 2 == 1)
            text.pop_back();  // the last line without a line feed
        // Queries of every length the sieve unrolls and longer, the same character repeated too.
        std::string wanted(static_cast<std::size_t>(round % 13), ' ');
        for (char& c : wanted)
            c = "abcdx -."[random() % 8];
        // Whole texts and ranges that start at a line start and end anywhere.
        std::size_t begin = 0;
        std::size_t end = text.size();
        if (round % 3 == 2) {
            begin = text.find('\n', random() % text.size()) + 1;
            end = std::min(text.size(), begin + random() % 5000);
        }
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
        Spans expected = expectedLines(text, begin, end, wanted);
        LineSieve sieve(wanted);
        Spans found;
        sieve.sift(bytes, begin, end, found);
        EXPECT_EQ(found, expected) << "'" << wanted << "' in [" << begin << ", " << end << ")";
        sieve.siftNarrow(bytes, begin, end, found);
        EXPECT_EQ(found, expected) << "narrow: '" << wanted << "'";
        // Used again, it starts afresh.
        sieve.sift(bytes, begin, end, found);
        EXPECT_EQ(found, expected) << "again: '" << wanted << "'";
    }
}

TEST(LineSieve, CarriesAMatchAcrossBlocksAndStopsAtLineFeeds) {
    // "ab" split by a block boundary matches; split by a line feed it does not.
    std::string text(63, 'x');
    text += "a";
    text += std::string(100, 'y');
    text += "b\nb";
    text += std::string(60, 'z');
    text += "a\nB";
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    LineSieve sieve("ab");
    Spans found;
    sieve.sift(bytes, 0, text.size(), found);
    Spans expected{{0, 165}};
    EXPECT_EQ(found, expected);
    // No line is read past the end of the range: a line cut there ends there.
    sieve.sift(bytes, 0, 64, found);
    EXPECT_TRUE(found.empty());
    sieve.sift(bytes, 0, 165, found);
    EXPECT_EQ(found, expected);
}

TEST(LineSieve, WithNothingWantedFindsEveryLine) {
    std::string text = "one\n\nthree";
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    LineSieve sieve("");
    Spans found;
    sieve.sift(bytes, 0, text.size(), found);
    Spans expected{{0, 3}, {4, 4}, {5, 10}};
    EXPECT_EQ(found, expected);
    sieve.sift(bytes, 0, 5, found);
    expected = {{0, 3}, {4, 4}};
    EXPECT_EQ(found, expected);
}

}  // namespace
}  // namespace vantlo
