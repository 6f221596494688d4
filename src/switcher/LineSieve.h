#pragma once
// Finds the lines of a text that hold the characters of an ASCII query in order (ASCII case
// folded), reading the text once, 64 bytes at a time, without a branch per line: where each
// character occurs becomes a bit mask, and how far into the query each line has got is carried
// from one mask to the next by additions. The lines it passes cannot match; the ones it finds
// still need scoring (a carriage return before the line feed, say, is read as part of the line).

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vantlo {

class LineSieve {
  public:
    // A line of the text: [start, end), `end` at its line feed or at the end of the range.
    struct Span {
        std::size_t start;
        std::size_t end;
        bool operator==(const Span&) const = default;
    };

    // `wanted`: lowercase ASCII characters, none of them a line feed; may be empty (then every
    // line is found).
    explicit LineSieve(std::string_view wanted);

    // The lines of [begin, end) of `text` that hold the wanted characters in order, into `lines`
    // (cleared first), in text order. `begin` is a line start; a line that goes on past `end`
    // is cut there. Uses the widest vectors the processor has.
    void sift(const std::uint8_t* text, std::size_t begin, std::size_t end,
              std::vector<Span>& lines);
    // The same with only the vectors every x86-64 processor has (or none elsewhere).
    void siftNarrow(const std::uint8_t* text, std::size_t begin, std::size_t end,
                    std::vector<Span>& lines);

    // Where one character of the query stands in the lines read so far: whether an addition
    // carries into the next block, and whether the block's last byte had reached it.
    struct Stage {
        std::uint64_t carry = 0;
        std::uint64_t top = 0;
    };

  private:
    std::string wanted_;
    std::vector<Stage> stages_;
};

}  // namespace vantlo
