#pragma once
// Ranks the lines of one text against one query with the switcher's matcher, each line scored
// as one text: the matching lines, best first, equal scores in input order. Large texts are
// scored on several threads; the result does not depend on how many.

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <memory>
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

    // The matching lines, best first. Kept compact, the place and length of each line in 64
    // bits and the scores once per run of equal ones: fresh memory for all the matches is what
    // ordering them costs most.
    class Ranking {
      public:
        class Iterator {
          public:
            using iterator_category = std::forward_iterator_tag;
            using value_type = Line;
            using difference_type = std::ptrdiff_t;
            using pointer = void;
            using reference = Line;

            Iterator() = default;
            Iterator(const Ranking* ranking, std::size_t index)
                : ranking_(ranking), index_(index), run_(ranking->runOf(index)) {}
            Line operator*() const { return ranking_->at(index_, run_); }
            Iterator& operator++() {
                ++index_;
                while (run_ < ranking_->runEnds_.size() && ranking_->runEnds_[run_] <= index_)
                    ++run_;
                return *this;
            }
            Iterator operator++(int) {
                Iterator before = *this;
                ++*this;
                return before;
            }
            bool operator==(const Iterator& other) const { return index_ == other.index_; }

          private:
            const Ranking* ranking_ = nullptr;
            std::size_t index_ = 0;
            std::size_t run_ = 0;
        };

        std::size_t size() const { return size_; }
        bool empty() const { return size_ == 0; }
        Line operator[](std::size_t i) const { return at(i, runOf(i)); }
        Iterator begin() const { return {this, 0}; }
        Iterator end() const { return {this, size_}; }

      private:
        friend class LineRanker;
        static constexpr unsigned kLengthBits = 20;
        static constexpr std::uint64_t kLengthLimit = std::uint64_t{1} << kLengthBits;
        static constexpr std::uint64_t kOffsetLimit = std::uint64_t{1} << (64 - kLengthBits);

        // The run of equal scores that match `i` is in.
        std::size_t runOf(std::size_t i) const;
        Line at(std::size_t i, std::size_t run) const {
            if (!copied_.empty())
                return copied_[i];
            std::uint64_t line = packed_[i];
            return {line >> kLengthBits, static_cast<std::uint32_t>(line & (kLengthLimit - 1)),
                    best_ - static_cast<std::int32_t>(run)};
        }

        // Each match's offset, then its length in the low kLengthBits.
        std::unique_ptr<std::uint64_t[]> packed_;
        // Where the run of score best_ - k ends, for each k.
        std::vector<std::size_t> runEnds_;
        std::int32_t best_ = 0;
        // Instead, for lines that do not fit those bits: the matches themselves, in order.
        std::vector<Line> copied_;
        std::size_t size_ = 0;
    };

    LineRanker() = delete;

    // Lines end at a line feed; a last line without one counts, an empty text has no lines. A
    // line ending in CR LF is matched without its carriage return. An empty query matches
    // nothing, nor does one holding a line feed.
    static Ranking rank(std::string_view query, std::string_view text);

    // The bytes of `line` (without its line feed) in the `text` it was ranked in.
    static std::string_view textOf(std::string_view text, const Line& line);
};

}  // namespace vantlo
