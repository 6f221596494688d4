#include "core/FuzzyMatcher.h"

#include <cstring>

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
inline int matchPoints(std::size_t j, std::size_t gap, std::ptrdiff_t last, bool afterSeparator) {
    int points = kMatchBonus - static_cast<int>(gap);
    if (static_cast<std::ptrdiff_t>(j) == last + 1)
        points += kConsecutiveBonus;
    if (afterSeparator)
        points += kWordStartBonus;
    if (j == 0)
        points += kTextStartBonus;
    return points;
}

// The first position from `start` whose byte, with ASCII case folded, is the lowercase letter
// `letter`; `n` when there is none.
inline std::size_t findFoldedLetter(const std::uint8_t* text, std::size_t start, std::size_t n,
                                    std::uint8_t letter) {
    std::size_t j = start;
#if defined(__SSE2__)
    const __m128i fold = _mm_set1_epi8(0x20);
    const __m128i wanted = _mm_set1_epi8(static_cast<char>(letter));
    for (; j + 16 <= n; j += 16) {
        __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + j));
        int hits = _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_or_si128(block, fold), wanted));
        if (hits != 0)
            return j + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(hits)));
    }
#endif
    // Setting bit 5 folds A-Z onto a-z and maps no other byte onto a letter.
    while (j < n && (text[j] | 0x20) != letter)
        ++j;
    return j;
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
    int total = 0;
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
    return total - static_cast<int>(n - static_cast<std::size_t>(last + 1));
}

int scoreAscii(const PreparedQuery& query, const std::uint8_t* text, std::size_t n) {
    if (n == 0 || !query.isAscii)
        return kNoMatch;
    int total = 0;
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
    return total - static_cast<int>(n - static_cast<std::size_t>(last + 1));
}

int scoreAsciiFolding(const PreparedQuery& query, const std::uint8_t* text, std::size_t n) {
    if (n == 0 || !query.isAscii)
        return kNoMatch;
    int total = 0;
    std::ptrdiff_t last = -2;
    std::size_t start = 0;
    for (unsigned char wanted : query.asciiBytes) {
        std::size_t j = findAsciiFolded(text, start, n, wanted);
        if (j == n)
            return kNoMatch;
        bool afterSeparator = j == 0 || ClusterTable::isAsciiSeparator(text[j - 1]);
        total += matchPoints(j, j - start, last, afterSeparator);
        last = static_cast<std::ptrdiff_t>(j);
        start = j + 1;
    }
    return total - static_cast<int>(n - static_cast<std::size_t>(last + 1));
}

std::size_t findAsciiFolded(const std::uint8_t* text, std::size_t start, std::size_t n,
                            std::uint8_t wanted) {
    if (start >= n)
        return n;
    if (wanted >= 'a' && wanted <= 'z')
        return findFoldedLetter(text, start, n, wanted);
    const void* hit = std::memchr(text + start, wanted, n - start);
    return hit ? static_cast<std::size_t>(static_cast<const std::uint8_t*>(hit) - text) : n;
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
