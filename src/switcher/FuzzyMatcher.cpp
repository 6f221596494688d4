#include "switcher/FuzzyMatcher.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
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

// The first position in [start, n) whose byte, with ASCII case folded, is `wanted` (an ASCII
// character, lowercase); `n` when there is none. Reads whole blocks while they end within
// `readable` (at least `n`) bytes of `text`, and only then byte by byte.
inline std::size_t findFolded(const std::uint8_t* text, std::size_t start, std::size_t n,
                              std::size_t readable, std::uint8_t wanted) {
    // Setting bit 5 folds A-Z onto a-z and maps no other byte onto a letter.
    const std::uint8_t fold = wanted >= 'a' && wanted <= 'z' ? 0x20 : 0;
    std::size_t j = start;
#if defined(__SSE2__)
    const __m128i foldBits = _mm_set1_epi8(static_cast<char>(fold));
    const __m128i target = _mm_set1_epi8(static_cast<char>(wanted));
    for (; j < n && j + 16 <= readable; j += 16) {
        __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + j));
        int hits = _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_or_si128(block, foldBits), target));
        if (hits != 0) {
            return std::min(
                n, j + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(hits))));
        }
    }
#endif
    while (j < n && (text[j] | fold) != wanted)
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
