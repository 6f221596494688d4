#include "app/LineRanker.h"

#include <algorithm>
#include <atomic>
#include <climits>
#include <cstring>
#include <optional>
#include <thread>

#include "app/SpreadWork.h"
#include "switcher/ClusterTable.h"
#include "switcher/FuzzyMatcher.h"
#include "switcher/LineSieve.h"

namespace vantlo {
namespace {

using Line = LineRanker::Line;

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
                    followed_ += c;
            }
        }
    }

    // Scores the line [start, end) of `text`.
    int score(std::string_view text, std::size_t start, std::size_t end) {
        std::string_view line = text.substr(start, end - start);
        // A line ending "\r\n" is matched without its carriage return.
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (query_.isAscii) {
            if (auto settled = scoreRaw(text, start, line))
                return *settled;
        } else if (ClusterTable::isPlainAscii(line)) {
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
    const std::string& followed() const { return followed_; }

  private:
    // The score of the ASCII query on the raw bytes of `line`, at `start` in `text`; nothing
    // when only the full rules can tell. Most lines are plain ASCII or nearly: they are settled
    // here.
    std::optional<int> scoreRaw(std::string_view text, std::size_t start, std::string_view line) {
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(line.data());
        // The rest of the buffer may be read too: the searches then go in whole blocks.
        const std::size_t readable = text.size() - start;
        std::size_t* positions = positions_.data();
        bool inOrder = FuzzyMatcher::findInOrder(query_, bytes, line.size(), readable, positions);
        if (!inOrder && quickTestProvesMisses_)
            return FuzzyMatcher::kNoMatch;
        ClusterTable::ByteForm form = ClusterTable::byteForm(line);
        if (form == ClusterTable::ByteForm::kNeedsPreparing)
            return std::nullopt;
        if (!inOrder)
            return FuzzyMatcher::kNoMatch;
        return FuzzyMatcher::scoreAt(query_, bytes, line.size(), readable, positions,
                                     form == ClusterTable::ByteForm::kPlainAscii);
    }

    ClusterTable table_;
    PreparedQuery query_;
    std::string followed_;
    bool quickTestProvesMisses_ = true;
    std::vector<std::size_t> positions_;
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

// Scores the lines of [begin, end), line starts of `text`, into `out`. `sieve` passes over
// the lines that lack the query's followed characters; `lines` is room for the others.
void scoreStretch(LineScorer& scorer, LineSieve& sieve, std::vector<LineSieve::Span>& lines,
                  std::string_view text, std::size_t begin, std::size_t end, Found& out) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    auto scoreLine = [&](std::size_t start, std::size_t stop) {
        int score = scorer.score(text, start, stop);
        if (score != FuzzyMatcher::kNoMatch)
            out.add(start, stop, score);
    };
    if (scorer.followed().empty()) {
        for (std::size_t start = begin; start < end;) {
            const void* newline = std::memchr(bytes + start, '\n', end - start);
            std::size_t stop =
                newline
                    ? static_cast<std::size_t>(static_cast<const std::uint8_t*>(newline) - bytes)
                    : end;
            scoreLine(start, stop);
            start = stop + 1;
        }
        return;
    }
    sieve.sift(bytes, begin, end, lines);
    for (const LineSieve::Span& line : lines)
        scoreLine(line.start, line.end);
}

// The first line start at or after `position`, or `limit` when none comes before it.
std::size_t nextLineStart(std::string_view text, std::size_t position, std::size_t limit) {
    if (position == 0 || position >= limit)
        return std::min(position, limit);
    const void* newline = std::memchr(text.data() + position - 1, '\n', limit - position + 1);
    return newline ? static_cast<std::size_t>(static_cast<const char*>(newline) - text.data()) + 1
                   : limit;
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
        // The sieve costs the same for each character it follows, in every block of the text,
        // while after the first few characters it lets hardly any fewer lines through.
        constexpr std::size_t kSievedCharacters = 6;
        LineSieve sieve(std::string_view(scorer.followed()).substr(0, kSievedCharacters));
        std::vector<LineSieve::Span> lines;
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
                scoreStretch(scorer, sieve, lines, text, begin,
                             nextLineStart(text, shareEnd, text.size()), found);
            }
            stretch.last = found.matches.size();
        }
    };
    SpreadWork::run(threads, work);
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
