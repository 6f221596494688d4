#pragma once
// Ranks the lines of one text against one query with the switcher's matcher, each line scored
// as one text: the matching lines, best first, equal scores in input order. Large texts are
// scored on several threads; the result does not depend on how many.

#include <cstdint>
#include <string_view>
#include <vector>

namespace vantlo {

class LineRanker {
  public:
    struct Line {
        std::uint64_t offset;
        // kLongLine for a line of 4 GiB or more: textOf() finds its end again.
        std::uint32_t length;
        std::int32_t score;
    };
    static constexpr std::uint32_t kLongLine = UINT32_MAX;

    LineRanker() = delete;

    // Lines end at a line feed; a last line without one counts, an empty text has no lines. A
    // line ending in CR LF is matched without its carriage return. An empty query matches
    // nothing, nor does one holding a line feed.
    static std::vector<Line> rank(std::string_view query, std::string_view text);

    // The bytes of `line` (without its line feed) in the `text` it was ranked in.
    static std::string_view textOf(std::string_view text, const Line& line);
};

}  // namespace vantlo
