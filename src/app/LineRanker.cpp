#include "app/LineRanker.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <climits>
#include <cstring>
#include <optional>
#include <system_error>
#include <thread>

#include "switcher/ClusterTable.h"
#include "switcher/FuzzyMatcher.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vantlo {
namespace {

using Line = LineRanker::Line;

// A line of the text: [start, end), and whether it is known to be plain (no byte above 0x7F and
// no carriage return, so its bytes are its characters).
struct LineSpan {
    std::size_t start;
    std::size_t end;
    bool plain;
};

inline bool isPlainByte(std::uint8_t byte) {
    return byte < 0x80 && byte != '\r';
}

#if defined(__SSE2__)
struct BlockBits {
    unsigned newlines;
    unsigned notPlain;
};

inline BlockBits classify(const std::uint8_t* at) {
    __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
    auto newlines =
        static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, _mm_set1_epi8('\n'))));
    auto notPlain = static_cast<unsigned>(
        _mm_movemask_epi8(block) | _mm_movemask_epi8(_mm_cmpeq_epi8(block, _mm_set1_epi8('\r'))));
    return {newlines, notPlain};
}
#endif

// The start of the line holding byte `at`, looking back no further than `from`, a line start;
// clears `plain` when the bytes passed are not all plain. Reads whole blocks back to the start
// of the buffer: before `from` there is a line feed.
std::size_t lineStartBefore(const std::uint8_t* text, std::size_t from, std::size_t at,
                            bool& plain) {
    std::size_t start = at;
#if defined(__SSE2__)
    for (; start > from && start >= 16; start -= 16) {
        BlockBits bits = classify(text + start - 16);
        if (bits.newlines != 0) {
            int last = 31 - __builtin_clz(bits.newlines);
            plain = plain && (bits.notPlain >> last >> 1) == 0;
            return std::max(from, start - 16 + static_cast<std::size_t>(last) + 1);
        }
        plain = plain && bits.notPlain == 0;
    }
    if (start <= from)
        return from;
#endif
    while (start > from && text[start - 1] != '\n') {
        --start;
        plain = plain && isPlainByte(text[start]);
    }
    return start;
}

// The end of the line holding byte `at`, looking no further than `end`; clears `plain` as above.
// Reads whole blocks up to the end of the buffer, `size` bytes.
std::size_t lineEndFrom(const std::uint8_t* text, std::size_t at, std::size_t end, std::size_t size,
                        bool& plain) {
    std::size_t stop = at;
#if defined(__SSE2__)
    for (; stop < end && stop + 16 <= size; stop += 16) {
        BlockBits bits = classify(text + stop);
        if (bits.newlines != 0) {
            int first = __builtin_ctz(bits.newlines);
            plain = plain && (bits.notPlain & ((1u << first) - 1)) == 0;
            return std::min(end, stop + static_cast<std::size_t>(first));
        }
        plain = plain && bits.notPlain == 0;
    }
    if (stop >= end)
        return end;
#endif
    while (stop < end && text[stop] != '\n') {
        plain = plain && isPlainByte(text[stop]);
        ++stop;
    }
    return stop;
}

// The line holding byte `at` of [from, end), which are line bounds in a buffer of `size` bytes,
// found in one pass that also tells whether the line is plain.
LineSpan lineAround(const std::uint8_t* text, std::size_t size, std::size_t from, std::size_t at,
                    std::size_t end) {
    bool plain = true;
    std::size_t start = lineStartBefore(text, from, at, plain);
    std::size_t stop = lineEndFrom(text, at, end, size, plain);
    return {start, stop, plain};
}

// Scores lines against one query, reusing its buffers from line to line.
class LineScorer {
  public:
    explicit LineScorer(std::string_view query) : query_(PreparedQuery::prepare(query, table_)) {
        for (std::uint32_t id : query_.ids)
            quickTestProvesMisses_ = quickTestProvesMisses_ && !ClusterTable::hasNonAsciiSource(id);
        positions_.resize(query_.asciiBytes.size());
        // The characters only their own bytes can stand for: a line without them in order
        // cannot match, whatever else it holds.
        if (query_.isAscii) {
            for (char c : query_.asciiBytes) {
                if (!ClusterTable::hasNonAsciiSource(static_cast<std::uint8_t>(c)))
                    followed_.asciiBytes += c;
            }
        }
        followedPositions_.resize(followed_.asciiBytes.size());
    }

    // Scores the line [start, end) of `text`. `plain`: the line is known to hold no byte above
    // 0x7F and no carriage return. `found`: followedPositions() holds where the ASCII query's
    // characters first occur in order from `start`, as buffer positions.
    int score(std::string_view text, std::size_t start, std::size_t end, bool plain, bool found) {
        std::string_view line = text.substr(start, end - start);
        // A line ending "\r\n" is matched without its carriage return.
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (query_.isAscii) {
            if (auto settled = scoreRaw(text, start, line, plain, found))
                return *settled;
        } else if (plain || ClusterTable::isPlainAscii(line)) {
            return FuzzyMatcher::kNoMatch;
        }
        characters_.clear();
        table_.append(line, characters_);
        return FuzzyMatcher::score(query_, characters_.data(), characters_.size());
    }

    // The characters of an ASCII query that only ASCII bytes stand for (all of them, unless
    // the query holds one of the few with a source outside ASCII): a line that lacks them in
    // order as raw bytes (a letter matching its capital) can be passed over unread. Empty when
    // no line can be passed over so.
    const PreparedQuery& followed() const { return followed_; }
    bool followsWholeQuery() const { return followed_.asciiBytes.size() == positions_.size(); }
    // Room for one position per followed character. When the whole query is followed, these
    // are the positions score() takes with `found`.
    std::size_t* followedPositions() {
        return followsWholeQuery() ? positions_.data() : followedPositions_.data();
    }

  private:
    // The score of the ASCII query on the raw bytes of `line`, at `start` in `text`; nothing
    // when only the full rules can tell. Most lines do not match and most are plain ASCII or
    // nearly: they are settled here.
    std::optional<int> scoreRaw(std::string_view text, std::size_t start, std::string_view line,
                                bool plain, bool found) {
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(line.data());
        // The rest of the buffer may be read too: the searches then go in whole blocks.
        const std::size_t readable = text.size() - start;
        std::size_t* positions = positions_.data();
        bool inOrder = true;
        if (found && positions_.back() < start + line.size()) {
            for (std::size_t& position : positions_)
                position -= start;
        } else {
            inOrder = FuzzyMatcher::findInOrder(query_, bytes, line.size(), readable, positions);
        }
        if (!inOrder && (plain || quickTestProvesMisses_))
            return FuzzyMatcher::kNoMatch;
        ClusterTable::ByteForm form =
            plain ? ClusterTable::ByteForm::kPlainAscii : ClusterTable::byteForm(line);
        if (form == ClusterTable::ByteForm::kNeedsPreparing)
            return std::nullopt;
        if (!inOrder)
            return FuzzyMatcher::kNoMatch;
        return FuzzyMatcher::scoreAt(query_, bytes, line.size(), readable, positions,
                                     form == ClusterTable::ByteForm::kPlainAscii);
    }

    ClusterTable table_;
    PreparedQuery query_;
    PreparedQuery followed_;
    bool quickTestProvesMisses_ = true;
    std::vector<std::size_t> positions_;
    std::vector<std::size_t> followedPositions_;
    std::vector<std::uint32_t> characters_;
};

// What one thread found: the matches of the stretches it took, one stretch after another, in
// input order within each; and the range of their scores. Each thread's is on a cache line of
// its own: the threads write theirs on every match.
struct alignas(64) Found {
    std::vector<Line> matches;
    int best = INT_MIN;
    int worst = INT_MAX;

    void add(std::size_t start, std::size_t end, int score) {
        std::size_t length = end - start;
        matches.push_back({start,
                           length < LineRanker::kLongLine ? static_cast<std::uint32_t>(length)
                                                          : LineRanker::kLongLine,
                           score});
        best = std::max(best, score);
        worst = std::min(worst, score);
    }
};

// Where the matches of one stretch are: the thread that took it and their range in its list.
struct StretchMatches {
    std::size_t thread = 0;
    std::size_t first = 0;
    std::size_t last = 0;
};

struct Scored {
    std::vector<Found> byThread;
    std::vector<StretchMatches> stretches;  // in input order

    // Visits every match in input order.
    template <class Visit>
    void forEach(Visit&& visit) const {
        for (const StretchMatches& stretch : stretches) {
            const std::vector<Line>& matches = byThread[stretch.thread].matches;
            for (std::size_t i = stretch.first; i < stretch.last; ++i)
                visit(matches[i]);
        }
    }
};

void scoreStretch(LineScorer& scorer, std::string_view text, std::size_t begin, std::size_t end,
                  std::size_t anchor, Found& out) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    auto scoreLine = [&](const LineSpan& line, bool found) {
        int score = scorer.score(text, line.start, line.end, line.plain, found);
        if (score != FuzzyMatcher::kNoMatch)
            out.add(line.start, line.end, score);
    };
    if (scorer.followed().asciiBytes.empty()) {
        for (std::size_t start = begin; start < end;) {
            const void* newline = std::memchr(bytes + start, '\n', end - start);
            std::size_t stop =
                newline
                    ? static_cast<std::size_t>(static_cast<const std::uint8_t*>(newline) - bytes)
                    : end;
            scoreLine({start, stop, false}, false);
            start = stop + 1;
        }
        return;
    }
    // Follow the query through the raw bytes: from an occurrence of its first (or rarest)
    // character to the next, then each further character up to the end of that line. The
    // lines without them cannot match and are passed over; only the others are bounded and
    // scored.
    std::size_t* found = scorer.followedPositions();
    const bool foundAll = scorer.followsWholeQuery();
    for (std::size_t position = begin; position < end;) {
        if (!FuzzyMatcher::findNextLineInOrder(scorer.followed(), bytes, position, end, text.size(),
                                               found, anchor))
            break;
        LineSpan line = lineAround(bytes, text.size(), position, found[0], end);
        scoreLine(line, foundAll);
        position = line.end + 1;
    }
}

// The first line start at or after `position`, or `limit` when none comes before it.
std::size_t nextLineStart(std::string_view text, std::size_t position, std::size_t limit) {
    if (position == 0 || position >= limit)
        return std::min(position, limit);
    const void* newline = std::memchr(text.data() + position - 1, '\n', limit - position + 1);
    return newline ? static_cast<std::size_t>(static_cast<const char*>(newline) - text.data()) + 1
                   : limit;
}

// The ASCII query character to look for from line to line: the rarest in samples of the text,
// unless it is less than three times as rare as the first character, which needs no look back to
// the start of its line nor a second search there (together dearer than two occurrences of the
// first character).
std::size_t chooseAnchor(std::string_view query, std::string_view text) {
    constexpr std::size_t kSamples = 4;
    constexpr std::size_t kSampleBytes = 16 << 10;
    std::array<std::size_t, 256> counts{};
    for (std::size_t sample = 0; sample < kSamples; ++sample) {
        std::size_t from = text.size() / kSamples * sample;
        std::size_t to = std::min(text.size(), from + kSampleBytes);
        for (std::size_t i = from; i < to; ++i)
            ++counts[ClusterTable::asciiLower(static_cast<std::uint8_t>(text[i]))];
    }
    auto count = [&](std::size_t k) { return counts[static_cast<std::uint8_t>(query[k])]; };
    std::size_t anchor = 0;
    for (std::size_t k = 1; k < query.size(); ++k) {
        if (count(k) < count(anchor))
            anchor = k;
    }
    return count(anchor) * 3 < count(0) ? anchor : 0;
}

// The text is cut into stretches of whole lines that the processors take one by one as they
// become free, so a busy processor holds up no other; the stretches keep input order.
Scored scoreStretches(std::string_view query, std::string_view text) {
    constexpr std::size_t kStretchBytes = 256 << 10;
    const std::size_t count = text.size() / kStretchBytes + 1;
    const std::size_t threads =
        std::min<std::size_t>({std::max(1u, std::thread::hardware_concurrency()), 8, count});
    Scored scored;
    scored.byThread.resize(threads);
    scored.stretches.resize(count);
    std::atomic<std::size_t> next{0};
    auto work = [&](std::size_t thread) {
        LineScorer scorer(query);
        // Each thread picks the same anchor for itself, while the others start.
        const std::size_t anchor = scorer.followed().asciiBytes.empty()
                                       ? 0
                                       : chooseAnchor(scorer.followed().asciiBytes, text);
        Found& found = scored.byThread[thread];
        // Room for a match per typical line up front: growing by copying costs more than the
        // untouched reserve, which the system never backs with memory.
        found.matches.reserve(text.size() / threads / 24 + 16);
        for (std::size_t i; (i = next.fetch_add(1, std::memory_order_relaxed)) < count;) {
            StretchMatches& stretch = scored.stretches[i];
            stretch.thread = thread;
            stretch.first = found.matches.size();
            // The stretch holds the lines that start in its share of the bytes (none, within a
            // line longer than a share): each line is scanned once, and the threads find the
            // bounds of their stretches themselves.
            const std::size_t share = std::min(i * kStretchBytes, text.size());
            const std::size_t shareEnd = std::min(share + kStretchBytes, text.size());
            const std::size_t begin = nextLineStart(text, share, shareEnd);
            if (begin < shareEnd) {
                scoreStretch(scorer, text, begin, nextLineStart(text, shareEnd, text.size()),
                             anchor, found);
            }
            stretch.last = found.matches.size();
        }
    };
    std::vector<std::thread> helpers;
    for (std::size_t t = 1; t < threads; ++t) {
        try {
            helpers.emplace_back(work, t);
        } catch (const std::system_error&) {
            break;  // no more threads to be had: the others do the work
        }
    }
    work(0);
    for (auto& helper : helpers)
        helper.join();
    return scored;
}

}  // namespace

LineRanker::Ranking LineRanker::rank(std::string_view query, std::string_view text) {
    Ranking ranking;
    // Lines hold no line feed, so a query with one matches none.
    if (query.empty() || query.find('\n') != std::string_view::npos)
        return ranking;
    Scored scored = scoreStretches(query, text);
    std::size_t total = 0;
    int best = INT_MIN;
    int worst = INT_MAX;
    for (const Found& found : scored.byThread) {
        total += found.matches.size();
        best = std::max(best, found.best);
        worst = std::min(worst, found.worst);
    }
    ranking.size_ = total;
    if (total == 0)
        return ranking;
    const long long range = static_cast<long long>(best) - worst + 1;
    bool packs = text.size() < Ranking::kOffsetLimit;
    std::vector<std::size_t> starts;
    if (range <= static_cast<long long>(total) * 4 + 4096) {
        starts.assign(static_cast<std::size_t>(range) + 1, 0);
        scored.forEach([&](const Line& line) {
            ++starts[static_cast<std::size_t>(best - line.score) + 1];
            packs = packs && line.length < Ranking::kLengthLimit;
        });
    }
    if (starts.empty() || !packs) {
        ranking.copied_.reserve(total);
        scored.forEach([&](const Line& line) { ranking.copied_.push_back(line); });
        std::stable_sort(ranking.copied_.begin(), ranking.copied_.end(),
                         [](const Line& a, const Line& b) { return a.score > b.score; });
        return ranking;
    }
    // Scores span a small range: a counting sort, stable, so equal scores stay in input order.
    for (std::size_t i = 1; i < starts.size(); ++i)
        starts[i] += starts[i - 1];
    ranking.packed_ = std::make_unique_for_overwrite<std::uint64_t[]>(total);
    scored.forEach([&](const Line& line) {
        ranking.packed_[starts[static_cast<std::size_t>(best - line.score)]++] =
            line.offset << Ranking::kLengthBits | line.length;
    });
    // Each start has moved on to the end of its run.
    starts.pop_back();
    ranking.runEnds_ = std::move(starts);
    ranking.best_ = best;
    return ranking;
}

std::size_t LineRanker::Ranking::runOf(std::size_t i) const {
    return static_cast<std::size_t>(std::upper_bound(runEnds_.begin(), runEnds_.end(), i) -
                                    runEnds_.begin());
}

std::string_view LineRanker::textOf(std::string_view text, const Line& line) {
    if (line.length != kLongLine)
        return text.substr(line.offset, line.length);
    std::string_view rest = text.substr(line.offset);
    return rest.substr(0, std::min(rest.find('\n'), rest.size()));
}

}  // namespace vantlo
