#include "switcher/FuzzyMatcher.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
// Following a query from line to line is done with 32-byte vectors where the processor has
// them, chosen when the program runs.
#define VANTLO_WIDE_SCAN 1
#if __has_include(<sys/platform/x86.h>)
#include <sys/platform/x86.h>
#endif
#endif

namespace vantlo {
namespace {

constexpr int kMatchBonus = 10;
constexpr int kConsecutiveBonus = 8;
constexpr int kWordStartBonus = 12;
constexpr int kTextStartBonus = 6;

// Points for a match at `j` after skipping `gap` characters; `last` is the previous match and
// `afterSeparator` whether the character before `j` is a separator (or `j` is the first).
inline long long matchPoints(std::size_t j, std::size_t gap, std::ptrdiff_t last,
                             bool afterSeparator) {
    long long points = kMatchBonus - static_cast<long long>(gap);
    if (static_cast<std::ptrdiff_t>(j) == last + 1)
        points += kConsecutiveBonus;
    if (afterSeparator)
        points += kWordStartBonus;
    if (j == 0)
        points += kTextStartBonus;
    return points;
}

// Penalties grow with the characters skipped and left over: summed wide, so a line of billions of
// characters still ranks below every shorter match instead of wrapping around, and floored just
// above kNoMatch.
inline int settled(long long total) {
    return static_cast<int>(
        std::max<long long>(total, static_cast<long long>(FuzzyMatcher::kNoMatch) + 1));
}

// The number of bits set in a 16-bit mask (without relying on a popcount instruction).
inline unsigned bitCount16(unsigned x) {
    x = x - ((x >> 1) & 0x5555u);
    x = (x & 0x3333u) + ((x >> 2) & 0x3333u);
    x = (x + (x >> 4)) & 0x0F0Fu;
    return (x + (x >> 8)) & 0x1Fu;
}

// How many UTF-8 continuation bytes (10xxxxxx) [start, end) of `text` holds. Reads whole blocks
// while they end within `readable` (at least `end`) bytes of `text`.
inline std::size_t continuationBytes(const std::uint8_t* text, std::size_t start, std::size_t end,
                                     std::size_t readable) {
    std::size_t count = 0;
    std::size_t i = start;
#if defined(__SSE2__)
    // As signed bytes, continuation bytes are exactly those below -64.
    const __m128i limit = _mm_set1_epi8(-64);
    for (; i < end && i + 16 <= readable; i += 16) {
        __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i));
        auto marks = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmplt_epi8(block, limit)));
        if (end - i < 16)
            marks &= (1u << (end - i)) - 1;
        count += bitCount16(marks);
    }
    if (i >= end)
        return count;
#endif
    for (; i < end; ++i)
        count += (text[i] & 0xC0) == 0x80;
    return count;
}

#if defined(__SSE2__)
// 64 bytes of a text, searched for one character after another.
class Window {
  public:
    explicit Window(const std::uint8_t* text) {
        for (int k = 0; k < 4; ++k)
            blocks_[k] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + 16 * k));
    }

    // Bit k is set where byte k, with ASCII case folded, is `wanted` (an ASCII character,
    // lowercase).
    std::uint64_t where(std::uint8_t wanted) const {
        const __m128i fold = _mm_set1_epi8(wanted >= 'a' && wanted <= 'z' ? 0x20 : 0);
        const __m128i target = _mm_set1_epi8(static_cast<char>(wanted));
        std::uint64_t bits = 0;
        for (int k = 0; k < 4; ++k) {
            auto hits = static_cast<std::uint32_t>(
                _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_or_si128(blocks_[k], fold), target)));
            bits |= std::uint64_t{hits} << (16 * k);
        }
        return bits;
    }

  private:
    __m128i blocks_[4];
};
#endif

// The first position in [start, n) whose byte, with ASCII case folded, is `wanted` (an ASCII
// character, lowercase) or, unless it is 0, `stop`; `n` when there is none. Reads whole blocks
// while they end within `readable` (at least `n`) bytes of `text`, and only then byte by byte.
inline std::size_t findFolded(const std::uint8_t* text, std::size_t start, std::size_t n,
                              std::size_t readable, std::uint8_t wanted, std::uint8_t stop = 0) {
    // Setting bit 5 folds A-Z onto a-z and maps no other byte onto a letter.
    const std::uint8_t fold = wanted >= 'a' && wanted <= 'z' ? 0x20 : 0;
    std::size_t j = start;
#if defined(__SSE2__)
    const __m128i foldBits = _mm_set1_epi8(static_cast<char>(fold));
    const __m128i target = _mm_set1_epi8(static_cast<char>(wanted));
    const __m128i stopper = _mm_set1_epi8(static_cast<char>(stop == 0 ? wanted : stop));
    for (; j < n && j + 16 <= readable; j += 16) {
        __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + j));
        __m128i found = _mm_or_si128(_mm_cmpeq_epi8(_mm_or_si128(block, foldBits), target),
                                     _mm_cmpeq_epi8(block, stopper));
        int hits = _mm_movemask_epi8(found);
        if (hits != 0) {
            return std::min(
                n, j + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(hits))));
        }
    }
#endif
    while (j < n && (text[j] | fold) != wanted && (stop == 0 || text[j] != stop))
        ++j;
    return std::min(j, n);
}

}  // namespace

PreparedQuery PreparedQuery::prepare(std::string_view query, ClusterTable& table) {
    PreparedQuery prepared;
    table.append(query, prepared.ids);
    for (auto& id : prepared.ids) {
        id &= ClusterTable::kIdMask;
        prepared.mask |= FuzzyMatcher::maskBit(id);
        if (id >= 0x80)
            prepared.isAscii = false;
    }
    if (prepared.isAscii)
        prepared.asciiBytes.assign(prepared.ids.begin(), prepared.ids.end());
    return prepared;
}

namespace FuzzyMatcher {

std::uint64_t maskBit(std::uint32_t id) {
    // Letters and digits get a bit each; everything else shares the remaining bits.
    if (id >= 'a' && id <= 'z')
        return 1ull << (id - 'a');
    if (id >= '0' && id <= '9')
        return 1ull << (26 + id - '0');
    return 1ull << (36 + id % 28);
}

std::uint64_t maskOf(const std::uint32_t* prepared, std::size_t length) {
    std::uint64_t mask = 0;
    for (std::size_t i = 0; i < length; ++i)
        mask |= maskBit(prepared[i] & ClusterTable::kIdMask);
    return mask;
}

std::uint64_t maskOfAscii(const std::uint8_t* lowered, std::size_t length) {
    std::uint64_t mask = 0;
    for (std::size_t i = 0; i < length; ++i)
        mask |= maskBit(lowered[i]);
    return mask;
}

int score(const PreparedQuery& query, const std::uint32_t* text, std::size_t n) {
    if (n == 0)
        return kNoMatch;
    long long total = 0;
    std::ptrdiff_t last = -2;
    std::size_t start = 0;
    for (std::uint32_t wanted : query.ids) {
        std::size_t j = start;
        while (j < n && (text[j] & ClusterTable::kIdMask) != wanted)
            ++j;
        if (j == n)
            return kNoMatch;
        bool afterSeparator = j == 0 || (text[j - 1] & ClusterTable::kSeparatorBit);
        total += matchPoints(j, j - start, last, afterSeparator);
        last = static_cast<std::ptrdiff_t>(j);
        start = j + 1;
    }
    return settled(total - static_cast<long long>(n - static_cast<std::size_t>(last + 1)));
}

int scoreAscii(const PreparedQuery& query, const std::uint8_t* text, std::size_t n) {
    if (n == 0 || !query.isAscii)
        return kNoMatch;
    long long total = 0;
    std::ptrdiff_t last = -2;
    std::size_t start = 0;
    for (unsigned char wanted : query.asciiBytes) {
        const void* hit = std::memchr(text + start, wanted, n - start);
        if (hit == nullptr)
            return kNoMatch;
        auto j = static_cast<std::size_t>(static_cast<const std::uint8_t*>(hit) - text);
        bool afterSeparator = j == 0 || ClusterTable::isAsciiSeparator(text[j - 1]);
        total += matchPoints(j, j - start, last, afterSeparator);
        last = static_cast<std::ptrdiff_t>(j);
        start = j + 1;
    }
    return settled(total - static_cast<long long>(n - static_cast<std::size_t>(last + 1)));
}

namespace {

// Finds the query's characters and scores them, positions kept on the stack for the usual
// short query.
int findAndScore(const PreparedQuery& query, const std::uint8_t* text, std::size_t n, bool plain) {
    if (n == 0 || !query.isAscii)
        return kNoMatch;
    constexpr std::size_t kOnStack = 32;
    std::array<std::size_t, kOnStack> onStack;
    std::vector<std::size_t> onHeap;
    std::size_t* positions = onStack.data();
    if (query.asciiBytes.size() > kOnStack) {
        onHeap.resize(query.asciiBytes.size());
        positions = onHeap.data();
    }
    if (!findInOrder(query, text, n, n, positions))
        return kNoMatch;
    return scoreAt(query, text, n, n, positions, plain);
}

}  // namespace

int scoreAsciiFolding(const PreparedQuery& query, const std::uint8_t* text, std::size_t n) {
    return findAndScore(query, text, n, true);
}

int scoreAsciiFoldingUtf8(const PreparedQuery& query, const std::uint8_t* text, std::size_t n) {
    return findAndScore(query, text, n, false);
}

bool findInOrder(const PreparedQuery& query, const std::uint8_t* text, std::size_t n,
                 std::size_t readable, std::size_t* positions) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < query.asciiBytes.size(); ++i) {
        std::size_t j =
            findFolded(text, start, n, readable, static_cast<std::uint8_t>(query.asciiBytes[i]));
        if (j == n)
            return false;
        positions[i] = j;
        start = j + 1;
    }
    return true;
}

int scoreAt(const PreparedQuery& query, const std::uint8_t* text, std::size_t n,
            std::size_t readable, const std::size_t* positions, bool plain) {
    long long total = 0;
    std::ptrdiff_t last = -2;
    std::size_t startByte = 0;
    std::size_t start = 0;  // the character at startByte
    for (std::size_t i = 0; i < query.asciiBytes.size(); ++i) {
        std::size_t jByte = positions[i];
        std::size_t j = start + (jByte - startByte);
        bool afterSeparator = jByte == 0;
        if (plain) {
            afterSeparator = afterSeparator || ClusterTable::isAsciiSeparator(text[jByte - 1]);
        } else {
            j -= continuationBytes(text, startByte, jByte, readable);
            afterSeparator = afterSeparator || ClusterTable::isSeparatorBefore(text, jByte);
        }
        total += matchPoints(j, j - start, last, afterSeparator);
        last = static_cast<std::ptrdiff_t>(j);
        startByte = jByte + 1;
        start = j + 1;
    }
    std::size_t characters = start + (n - startByte);
    if (!plain)
        characters -= continuationBytes(text, startByte, n, readable);
    return settled(total - static_cast<long long>(characters - start));
}

namespace {

// The start of the line holding byte `at`, looking back no further than `from`.
inline std::size_t lineStartBefore(const std::uint8_t* text, std::size_t from, std::size_t at) {
    std::size_t start = at;
#if defined(__SSE2__)
    const __m128i newline = _mm_set1_epi8('\n');
    for (; start - from >= 16; start -= 16) {
        __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + start - 16));
        auto hits = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, newline)));
        if (hits != 0)
            return start - 16 + static_cast<std::size_t>(31 - __builtin_clz(hits)) + 1;
    }
#endif
    while (start > from && text[start - 1] != '\n')
        --start;
    return start;
}

enum class Follow { kFound, kMissed, kEnd };

// Follows an ASCII query whose first character is at `at` through the rest of that line: the
// first occurrence of each further character in order, into `positions`. When the line lacks
// one, kMissed with `resume` at the next line's start, or kEnd when no line follows before `n`.
template <class Lanes>
inline Follow followLine(const std::string& wanted, const std::uint8_t* text, std::size_t at,
                         std::size_t n, std::size_t readable, std::size_t* positions,
                         std::size_t& resume) {
    positions[0] = at;
    std::size_t i = 1;
#if defined(__SSE2__)
    // Most lines end within 64 bytes of the first character: look for the others in one window
    // of them at once.
    if (wanted.size() > 1 && at + 64 <= readable) {
        typename Lanes::Window window(text + at);
        std::uint64_t ends = window.where('\n');
        if (n - at < 64)
            ends |= std::uint64_t{1} << (n - at);
        const std::uint64_t line = ends != 0 ? (ends & (0 - ends)) - 1 : ~std::uint64_t{0};
        std::size_t previous = 0;
        for (; i < wanted.size(); ++i) {
            // ~1 << previous: the bits after `previous` (none after bit 63).
            std::uint64_t hits = window.where(static_cast<std::uint8_t>(wanted[i])) & line &
                                 (~std::uint64_t{1} << previous);
            if (hits == 0)
                break;
            previous = static_cast<std::size_t>(__builtin_ctzll(hits));
            positions[i] = at + previous;
        }
        if (i == wanted.size())
            return Follow::kFound;
        if (ends != 0) {
            resume = at + static_cast<std::size_t>(__builtin_ctzll(ends)) + 1;
            return resume < n ? Follow::kMissed : Follow::kEnd;
        }
        at += previous;  // the line goes on past the window: search on byte by byte
    }
#endif
    for (; i < wanted.size() && text[at] != '\n'; ++i) {
        at = Lanes::findFolded(text, at + 1, n, readable, static_cast<std::uint8_t>(wanted[i]),
                               '\n');
        if (at == n)
            return Follow::kEnd;
        positions[i] = at;
    }
    if (text[at] != '\n')
        return Follow::kFound;
    resume = at + 1;
    return resume < n ? Follow::kMissed : Follow::kEnd;
}

template <class Lanes>
inline bool findNextLineInOrderWith(const PreparedQuery& query, const std::uint8_t* text,
                                    std::size_t& start, std::size_t n, std::size_t readable,
                                    std::size_t* positions, std::size_t anchor) {
    const std::string& wanted = query.asciiBytes;
    const auto first = static_cast<std::uint8_t>(wanted[0]);
    while (start < n) {
        std::size_t at =
            Lanes::findFolded(text, start, n, readable, static_cast<std::uint8_t>(wanted[anchor]));
        if (at == n)
            return false;
        if (anchor != 0) {
            // The anchor's line holds a match only if its characters follow the first one's
            // first occurrence, which may come before the anchor or after it.
            start = lineStartBefore(text, start, at);
            at = Lanes::findFolded(text, start, n, readable, first, '\n');
            if (at == n)
                return false;
            if (text[at] == '\n') {
                start = at + 1;
                continue;
            }
        }
        switch (followLine<Lanes>(wanted, text, at, n, readable, positions, start)) {
            case Follow::kFound:
                return true;
            case Follow::kMissed:
                continue;
            case Follow::kEnd:
                start = n;
                return false;
        }
    }
    return false;
}

struct NarrowLanes {
#if defined(__SSE2__)
    using Window = vantlo::Window;
#endif
    static std::size_t findFolded(const std::uint8_t* text, std::size_t start, std::size_t n,
                                  std::size_t readable, std::uint8_t wanted,
                                  std::uint8_t stop = 0) {
        return vantlo::findFolded(text, start, n, readable, wanted, stop);
    }
};

#if defined(VANTLO_WIDE_SCAN)
#define VANTLO_WIDE __attribute__((target("avx2")))

// Window and findFolded with 32-byte vectors.
struct WideLanes {
    class Window {
      public:
        VANTLO_WIDE explicit Window(const std::uint8_t* text) {
            for (int k = 0; k < 2; ++k)
                blocks_[k] = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(text + 32 * k));
        }

        VANTLO_WIDE std::uint64_t where(std::uint8_t wanted) const {
            const __m256i fold = _mm256_set1_epi8(wanted >= 'a' && wanted <= 'z' ? 0x20 : 0);
            const __m256i target = _mm256_set1_epi8(static_cast<char>(wanted));
            std::uint64_t bits = 0;
            for (int k = 0; k < 2; ++k) {
                auto hits = static_cast<std::uint32_t>(_mm256_movemask_epi8(
                    _mm256_cmpeq_epi8(_mm256_or_si256(blocks_[k], fold), target)));
                bits |= std::uint64_t{hits} << (32 * k);
            }
            return bits;
        }

      private:
        __m256i blocks_[2];
    };

    VANTLO_WIDE static std::size_t findFolded(const std::uint8_t* text, std::size_t start,
                                              std::size_t n, std::size_t readable,
                                              std::uint8_t wanted, std::uint8_t stop = 0) {
        const std::uint8_t fold = wanted >= 'a' && wanted <= 'z' ? 0x20 : 0;
        const __m256i foldBits = _mm256_set1_epi8(static_cast<char>(fold));
        const __m256i target = _mm256_set1_epi8(static_cast<char>(wanted));
        const __m256i stopper = _mm256_set1_epi8(static_cast<char>(stop == 0 ? wanted : stop));
        std::size_t j = start;
        for (; j < n && j + 32 <= readable; j += 32) {
            __m256i block = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(text + j));
            auto hits = static_cast<unsigned>(_mm256_movemask_epi8(
                _mm256_or_si256(_mm256_cmpeq_epi8(_mm256_or_si256(block, foldBits), target),
                                _mm256_cmpeq_epi8(block, stopper))));
            if (hits != 0) {
                std::size_t at = j + static_cast<std::size_t>(__builtin_ctz(hits));
                return at < n ? at : n;
            }
        }
        return vantlo::findFolded(text, j, n, readable, wanted, stop);
    }
};

VANTLO_WIDE __attribute__((flatten)) bool findNextLineInOrderWide(
    const PreparedQuery& query, const std::uint8_t* text, std::size_t& start, std::size_t n,
    std::size_t readable, std::size_t* positions, std::size_t anchor) {
    return findNextLineInOrderWith<WideLanes>(query, text, start, n, readable, positions, anchor);
}

bool haveWideScan() {
#if defined(CPU_FEATURE_ACTIVE)
    // What the C library found when the program started: asking the processor again costs
    // more than the scan of a small input under a hypervisor.
    static const bool have = CPU_FEATURE_ACTIVE(AVX2);
#else
    static const bool have = __builtin_cpu_supports("avx2");
#endif
    return have;
}
#endif

}  // namespace

bool findNextLineInOrder(const PreparedQuery& query, const std::uint8_t* text, std::size_t& start,
                         std::size_t n, std::size_t readable, std::size_t* positions,
                         std::size_t anchor) {
#if defined(VANTLO_WIDE_SCAN)
    if (haveWideScan())
        return findNextLineInOrderWide(query, text, start, n, readable, positions, anchor);
#endif
    return findNextLineInOrderNarrow(query, text, start, n, readable, positions, anchor);
}

bool findNextLineInOrderNarrow(const PreparedQuery& query, const std::uint8_t* text,
                               std::size_t& start, std::size_t n, std::size_t readable,
                               std::size_t* positions, std::size_t anchor) {
    return findNextLineInOrderWith<NarrowLanes>(query, text, start, n, readable, positions, anchor);
}

std::optional<int> score(std::string_view query, std::string_view text) {
    ClusterTable table;
    PreparedQuery prepared = PreparedQuery::prepare(query, table);
    std::vector<std::uint32_t> characters;
    table.append(text, characters);
    int result = score(prepared, characters.data(), characters.size());
    if (result == kNoMatch)
        return std::nullopt;
    return result;
}

}  // namespace FuzzyMatcher
}  // namespace vantlo
