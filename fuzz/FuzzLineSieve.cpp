// Feeds arbitrary texts and queries to the sieve that passes over the lines of `vantlo filter`'s
// input that cannot match: the first line is the query, the rest the text, and its first byte
// also picks where in the text the range ends. Whatever the bytes, the sieve (with both vector
// widths) finds exactly the lines that hold the query's characters in order, ASCII case folded.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/FuzzCheck.h"
#include "switcher/LineSieve.h"

using namespace vantlo;

namespace {

std::uint8_t folded(std::uint8_t byte) {
    return byte >= 'A' && byte <= 'Z' ? static_cast<std::uint8_t>(byte | 0x20) : byte;
}

std::vector<LineSieve::Span> expectedLines(const std::string& text, std::size_t end,
                                           const std::string& wanted) {
    std::vector<LineSieve::Span> lines;
    for (std::size_t start = 0; start < end;) {
        std::size_t stop = std::min(text.find('\n', start), end);
        std::size_t next = 0;
        for (std::size_t i = start; i < stop && next < wanted.size(); ++i) {
            if (folded(static_cast<std::uint8_t>(text[i])) ==
                static_cast<std::uint8_t>(wanted[next]))
                ++next;
        }
        if (next == wanted.size())
            lines.push_back({start, stop});
        start = stop + 1;
    }
    return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string input(reinterpret_cast<const char*>(data), size);
    std::size_t lineBreak = std::min(input.find('\n'), input.size());
    // The sieve takes lowercase ASCII characters other than the line feed.
    std::string wanted;
    for (std::size_t i = 0; i < lineBreak && wanted.size() < 16; ++i) {
        auto byte = folded(static_cast<std::uint8_t>(input[i]));
        if (byte < 0x80)
            wanted += static_cast<char>(byte);
    }
    std::string text = lineBreak < input.size() ? input.substr(lineBreak + 1) : std::string();
    std::size_t end = text.size();
    if (!text.empty())
        end -= static_cast<std::uint8_t>(text[0]) % 3 == 0 ? text.size() / 3 : 0;
    const auto expected = expectedLines(text, end, wanted);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    LineSieve sieve(wanted);
    std::vector<LineSieve::Span> found;
    sieve.sift(bytes, 0, end, found);
    FUZZ_CHECK(found == expected);
    sieve.siftNarrow(bytes, 0, end, found);
    FUZZ_CHECK(found == expected);
    return 0;
}
