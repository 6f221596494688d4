#include "app/LineRanker.h"

#include <algorithm>
#include <atomic>
#include <climits>
#include <cstring>
#include <system_error>
#include <thread>

#include "core/ClusterTable.h"
#include "core/FuzzyMatcher.h"

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
    }

    // Scores the line [start, end) of `text`. `plain`: the line is known to hold no byte above
    // 0x7F and no carriage return.
    int score(std::string_view text, std::size_t start, std::size_t end, bool plain) {
        std::string_view line = text.substr(start, end - start);
        // A line ending "\r\n" is matched without its carriage return.
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(line.data());
        // The rest of the buffer may be read too: the searches then go in whole blocks.
        const std::size_t readable = text.size() - start;
        if (query_.isAscii) {
            // Most lines do not match and most are plain ASCII or nearly: settle those on the
            // raw bytes.
            int quick = FuzzyMatcher::scoreAsciiFolding(query_, bytes, line.size(), readable);
            if (plain || (quick == FuzzyMatcher::kNoMatch && quickTestProvesMisses_))
                return quick;
            switch (ClusterTable::byteForm(line)) {
                case ClusterTable::ByteForm::kPlainAscii:
                    return quick;
                case ClusterTable::ByteForm::kOneCharacterPerCodePoint:
                    return quick == FuzzyMatcher::kNoMatch
                               ? quick
                               : FuzzyMatcher::scoreAsciiFoldingUtf8(query_, bytes, line.size(),
                                                                     readable);
                case ClusterTable::ByteForm::kNeedsPreparing:
                    break;
            }
        } else if (plain || ClusterTable::isPlainAscii(line)) {
            return FuzzyMatcher::kNoMatch;
        }
        characters_.clear();
        table_.append(line, characters_);
        return FuzzyMatcher::score(query_, characters_.data(), characters_.size());
    }

    // Whether a line that lacks the query's characters in their order as raw bytes (an ASCII
    // letter matching its capital) can be passed over unread.
    bool mayFollowRawBytes() const { return query_.isAscii && quickTestProvesMisses_; }
    // The query as lowercase ASCII bytes, when it is ASCII.
    const std::string& asciiQuery() const { return query_.asciiBytes; }

  private:
    ClusterTable table_;
    PreparedQuery query_;
    bool quickTestProvesMisses_ = true;
    std::vector<std::uint32_t> characters_;
};

// The matches of one stretch of whole lines, in input order, and the range of their scores.
struct Stretch {
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

void scoreStretch(LineScorer& scorer, std::string_view text, std::size_t begin, std::size_t end,
                  Stretch& out) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    // Room for a match per typical line up front: growing by copying costs more than the
    // untouched reserve, which the system never backs with memory.
    out.matches.reserve((end - begin) / 24 + 16);
    auto scoreLine = [&](const LineSpan& line) {
        int score = scorer.score(text, line.start, line.end, line.plain);
        if (score != FuzzyMatcher::kNoMatch)
            out.add(line.start, line.end, score);
    };
    if (!scorer.mayFollowRawBytes()) {
        for (std::size_t start = begin; start < end;) {
            const void* newline = std::memchr(bytes + start, '\n', end - start);
            std::size_t stop =
                newline
                    ? static_cast<std::size_t>(static_cast<const std::uint8_t*>(newline) - bytes)
                    : end;
            scoreLine({start, stop, false});
            start = stop + 1;
        }
        return;
    }
    // Follow the query through the raw bytes: from an occurrence of its first character to the
    // next, then each further character up to the end of that line. The lines without them
    // cannot match and are passed over; only the others are bounded and scored.
    const std::string& wanted = scorer.asciiQuery();
    for (std::size_t position = begin; position < end;) {
        std::size_t hit = FuzzyMatcher::findAsciiFolded(bytes, position, end, text.size(),
                                                        static_cast<std::uint8_t>(wanted[0]));
        std::size_t at = hit;
        for (std::size_t i = 1; i < wanted.size() && at < end && bytes[at] != '\n'; ++i) {
            at = FuzzyMatcher::findAsciiFoldedOrStop(bytes, at + 1, end, text.size(),
                                                     static_cast<std::uint8_t>(wanted[i]), '\n');
        }
        if (at >= end)
            break;
        if (bytes[at] == '\n' && at != hit) {
            position = at + 1;
            continue;
        }
        LineSpan line = lineAround(bytes, text.size(), position, hit, end);
        scoreLine(line);
        position = line.end + 1;
    }
}

// The first line start at or after `position`.
std::size_t nextLineStart(std::string_view text, std::size_t position) {
    if (position == 0 || position >= text.size())
        return std::min(position, text.size());
    const void* newline = std::memchr(text.data() + position - 1, '\n', text.size() - position + 1);
    return newline ? static_cast<std::size_t>(static_cast<const char*>(newline) - text.data()) + 1
                   : text.size();
}

// The text is cut into stretches of whole lines that the processors take one by one as they
// become free, so a busy processor holds up no other; the stretches keep input order.
std::vector<Stretch> scoreStretches(std::string_view query, std::string_view text) {
    constexpr std::size_t kStretchBytes = 256 << 10;
    const std::size_t count = text.size() / kStretchBytes + 1;
    std::vector<std::size_t> bounds(count + 1, text.size());
    for (std::size_t i = 0; i < count; ++i)
        bounds[i] = nextLineStart(text, i * kStretchBytes);
    std::vector<Stretch> stretches(count);
    std::atomic<std::size_t> next{0};
    auto work = [&] {
        LineScorer scorer(query);
        for (std::size_t i; (i = next.fetch_add(1, std::memory_order_relaxed)) < count;)
            scoreStretch(scorer, text, bounds[i], bounds[i + 1], stretches[i]);
    };
    std::size_t helpers = std::min<std::size_t>({std::thread::hardware_concurrency(), 8, count});
    std::vector<std::thread> threads;
    for (std::size_t t = 1; t < helpers; ++t) {
        try {
            threads.emplace_back(work);
        } catch (const std::system_error&) {
            break;  // no more threads to be had: the others do the work
        }
    }
    work();
    for (auto& thread : threads)
        thread.join();
    return stretches;
}

}  // namespace

std::vector<Line> LineRanker::rank(std::string_view query, std::string_view text) {
    if (query.empty())
        return {};
    std::vector<Stretch> stretches = scoreStretches(query, text);
    std::size_t total = 0;
    int best = INT_MIN;
    int worst = INT_MAX;
    for (const Stretch& stretch : stretches) {
        total += stretch.matches.size();
        best = std::max(best, stretch.best);
        worst = std::min(worst, stretch.worst);
    }
    std::vector<Line> ranked(total);
    if (total == 0)
        return ranked;
    const long long range = static_cast<long long>(best) - worst + 1;
    if (range > static_cast<long long>(total) * 4 + 4096) {
        auto out = ranked.begin();
        for (const Stretch& stretch : stretches)
            out = std::copy(stretch.matches.begin(), stretch.matches.end(), out);
        std::stable_sort(ranked.begin(), ranked.end(),
                         [](const Line& a, const Line& b) { return a.score > b.score; });
        return ranked;
    }
    // Scores span a small range: a counting sort, stable, so equal scores stay in input order.
    // The lines move in whole, so writing them out later reads them in order.
    std::vector<std::size_t> starts(static_cast<std::size_t>(range) + 1, 0);
    for (const Stretch& stretch : stretches) {
        for (const Line& line : stretch.matches)
            ++starts[static_cast<std::size_t>(best - line.score) + 1];
    }
    for (std::size_t i = 1; i < starts.size(); ++i)
        starts[i] += starts[i - 1];
    for (const Stretch& stretch : stretches) {
        for (const Line& line : stretch.matches)
            ranked[starts[static_cast<std::size_t>(best - line.score)]++] = line;
    }
    return ranked;
}

std::string_view LineRanker::textOf(std::string_view text, const Line& line) {
    if (line.length != kLongLine)
        return text.substr(line.offset, line.length);
    std::string_view rest = text.substr(line.offset);
    return rest.substr(0, std::min(rest.find('\n'), rest.size()));
}

}  // namespace vantlo
