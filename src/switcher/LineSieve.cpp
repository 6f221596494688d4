#include "switcher/LineSieve.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
// 32-byte vectors where the processor has them, chosen when the program runs.
#define VANTLO_WIDE_SIEVE 1
// The C library's header is C that g++ accepts and clang++ does not.
#if __has_include(<sys/platform/x86.h>) && !defined(__clang__)
#include <sys/platform/x86.h>
#endif
#endif

namespace vantlo {
namespace {

constexpr std::size_t kBlock = 64;

// Setting bit 5 folds A-Z onto a-z and maps no other byte onto a letter.
inline std::uint8_t foldFor(std::uint8_t wanted) {
    return wanted >= 'a' && wanted <= 'z' ? 0x20 : 0;
}

// 64 bytes, asked where a character is: bit k is set where byte k, ASCII case folded, is
// `wanted` (lowercase).
struct PlainBlock {
    explicit PlainBlock(const std::uint8_t* bytes) : bytes_(bytes) {}
    std::uint64_t where(std::uint8_t wanted) const {
        const std::uint8_t fold = foldFor(wanted);
        std::uint64_t bits = 0;
        for (std::size_t k = 0; k < kBlock; ++k)
            bits |= std::uint64_t{(bytes_[k] | fold) == wanted} << k;
        return bits;
    }
    const std::uint8_t* bytes_;
};

#if defined(__SSE2__)
struct NarrowBlock {
    explicit NarrowBlock(const std::uint8_t* bytes) {
        for (int k = 0; k < 4; ++k)
            blocks_[k] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + 16 * k));
    }
    std::uint64_t where(std::uint8_t wanted) const {
        const __m128i fold = _mm_set1_epi8(static_cast<char>(foldFor(wanted)));
        const __m128i target = _mm_set1_epi8(static_cast<char>(wanted));
        std::uint64_t bits = 0;
        for (int k = 0; k < 4; ++k) {
            auto hits = static_cast<std::uint32_t>(
                _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_or_si128(blocks_[k], fold), target)));
            bits |= std::uint64_t{hits} << (16 * k);
        }
        return bits;
    }
    __m128i blocks_[4];
};
#else
using NarrowBlock = PlainBlock;
#endif

#if defined(VANTLO_WIDE_SIEVE)
#define VANTLO_WIDE __attribute__((target("avx2")))
struct WideBlock {
    VANTLO_WIDE explicit WideBlock(const std::uint8_t* bytes) {
        for (int k = 0; k < 2; ++k)
            blocks_[k] = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bytes + 32 * k));
    }
    VANTLO_WIDE std::uint64_t where(std::uint8_t wanted) const {
        const __m256i fold = _mm256_set1_epi8(static_cast<char>(foldFor(wanted)));
        const __m256i target = _mm256_set1_epi8(static_cast<char>(wanted));
        std::uint64_t bits = 0;
        for (int k = 0; k < 2; ++k) {
            auto hits = static_cast<std::uint32_t>(
                _mm256_movemask_epi8(_mm256_cmpeq_epi8(_mm256_or_si256(blocks_[k], fold), target)));
            bits |= std::uint64_t{hits} << (32 * k);
        }
        return bits;
    }
    __m256i blocks_[2];
};

bool haveWideVectors() {
#if defined(CPU_FEATURE_ACTIVE)
    // What the C library found when the program started: asking the processor again costs
    // more than sifting a small input under a hypervisor.
    static const bool have = CPU_FEATURE_ACTIVE(AVX2);
#else
    static const bool have = __builtin_cpu_supports("avx2");
#endif
    return have;
}
#endif

// One wanted character's step through a block: the bits where the line so far holds the query
// up to that character. They are seeded where the character follows a byte that held the query
// up to the one before (`allowed`), then spread to the end of the line by adding the line's
// bytes: a carry runs through them up to the line feed, and on into the next block. Returns the
// bits; `allowed` becomes what the next character may follow.
inline std::uint64_t step(std::uint64_t where, std::uint64_t inLine, std::uint64_t& allowed,
                          std::uint64_t& carry, std::uint64_t& top) {
    const std::uint64_t seeds = where & allowed;
    std::uint64_t sum;
    std::uint64_t carried = __builtin_add_overflow(seeds, inLine, &sum);
    carried |= __builtin_add_overflow(sum, carry, &sum);
    carry = carried;
    const std::uint64_t reached = (sum ^ inLine) | seeds;
    const std::uint64_t open = reached & inLine;
    allowed = open << 1 | top;
    top = open >> 63;
    return reached;
}

// Reads [begin, end) of `text` block by block, `stepAll(block, newlines)` returning the bits
// where a line holds the whole query, and puts the lines found into `lines`.
template <class Block, class StepAll>
inline void sweep(const std::uint8_t* text, std::size_t begin, std::size_t end,
                  std::vector<LineSieve::Span>& lines, StepAll&& stepAll) {
    lines.clear();
    std::size_t lineStart = begin;
    // The last block is read from a copy with line feeds after the range (a block of them alone
    // when the range ends at a block's end): the line cut at `end` then ends like the others,
    // and nothing past the range is read.
    std::uint8_t tail[kBlock];
    for (std::size_t at = begin; at <= end; at += kBlock) {
        const std::uint8_t* bytes = text + at;
        if (end - at < kBlock) {
            std::memcpy(tail, bytes, end - at);
            std::memset(tail + (end - at), '\n', kBlock - (end - at));
            bytes = tail;
        }
        const Block block(bytes);
        const std::uint64_t newlines = block.where('\n');
        const std::uint64_t reached = stepAll(block, newlines);
        for (std::uint64_t found = reached & newlines; found != 0; found &= found - 1) {
            const auto bit = static_cast<unsigned>(__builtin_ctzll(found));
            const std::uint64_t before = newlines & ((std::uint64_t{1} << bit) - 1);
            const std::size_t start =
                before != 0 ? at + static_cast<std::size_t>(64 - __builtin_clzll(before))
                            : lineStart;
            if (start >= end)
                break;  // the empty lines of the padding
            lines.push_back({start, std::min(at + bit, end)});
        }
        if (newlines != 0)
            lineStart = at + static_cast<std::size_t>(64 - __builtin_clzll(newlines));
    }
}

// A query of K characters, its steps unrolled and their state kept in registers.
template <class Block, std::size_t K>
inline void siftFixed(const std::string& wanted, const std::uint8_t* text, std::size_t begin,
                      std::size_t end, std::vector<LineSieve::Span>& lines) {
    std::uint8_t characters[K];
    std::memcpy(characters, wanted.data(), K);
    std::uint64_t carry[K] = {};
    std::uint64_t top[K] = {};
    sweep<Block>(text, begin, end, lines, [&](const Block& block, std::uint64_t newlines) {
        const std::uint64_t inLine = ~newlines;
        std::uint64_t allowed = ~std::uint64_t{0};  // any byte may hold the first character
        std::uint64_t reached = 0;
#pragma GCC unroll 8
        for (std::size_t i = 0; i < K; ++i)
            reached = step(block.where(characters[i]), inLine, allowed, carry[i], top[i]);
        return reached;
    });
}

// Any query, its state in memory.
template <class Block>
inline void siftAny(const std::string& wanted, std::vector<LineSieve::Stage>& stages,
                    const std::uint8_t* text, std::size_t begin, std::size_t end,
                    std::vector<LineSieve::Span>& lines) {
    std::fill(stages.begin(), stages.end(), LineSieve::Stage{});
    sweep<Block>(text, begin, end, lines, [&](const Block& block, std::uint64_t newlines) {
        const std::uint64_t inLine = ~newlines;
        std::uint64_t allowed = ~std::uint64_t{0};
        std::uint64_t reached = ~std::uint64_t{0};  // no character: every line
        for (std::size_t i = 0; i < wanted.size(); ++i) {
            reached = step(block.where(static_cast<std::uint8_t>(wanted[i])), inLine, allowed,
                           stages[i].carry, stages[i].top);
        }
        return reached;
    });
}

template <class Block>
inline void siftWith(const std::string& wanted, std::vector<LineSieve::Stage>& stages,
                     const std::uint8_t* text, std::size_t begin, std::size_t end,
                     std::vector<LineSieve::Span>& lines) {
    switch (wanted.size()) {
        case 1:
            return siftFixed<Block, 1>(wanted, text, begin, end, lines);
        case 2:
            return siftFixed<Block, 2>(wanted, text, begin, end, lines);
        case 3:
            return siftFixed<Block, 3>(wanted, text, begin, end, lines);
        case 4:
            return siftFixed<Block, 4>(wanted, text, begin, end, lines);
        case 5:
            return siftFixed<Block, 5>(wanted, text, begin, end, lines);
        case 6:
            return siftFixed<Block, 6>(wanted, text, begin, end, lines);
        case 7:
            return siftFixed<Block, 7>(wanted, text, begin, end, lines);
        case 8:
            return siftFixed<Block, 8>(wanted, text, begin, end, lines);
        default:
            return siftAny<Block>(wanted, stages, text, begin, end, lines);
    }
}

#if defined(VANTLO_WIDE_SIEVE)
VANTLO_WIDE __attribute__((flatten)) void siftWide(const std::string& wanted,
                                                   std::vector<LineSieve::Stage>& stages,
                                                   const std::uint8_t* text, std::size_t begin,
                                                   std::size_t end,
                                                   std::vector<LineSieve::Span>& lines) {
    siftWith<WideBlock>(wanted, stages, text, begin, end, lines);
}
#endif

}  // namespace

LineSieve::LineSieve(std::string_view wanted) : wanted_(wanted), stages_(wanted.size()) {}

void LineSieve::sift(const std::uint8_t* text, std::size_t begin, std::size_t end,
                     std::vector<Span>& lines) {
#if defined(VANTLO_WIDE_SIEVE)
    if (haveWideVectors()) {
        siftWide(wanted_, stages_, text, begin, end, lines);
        return;
    }
#endif
    siftNarrow(text, begin, end, lines);
}

void LineSieve::siftNarrow(const std::uint8_t* text, std::size_t begin, std::size_t end,
                           std::vector<Span>& lines) {
    siftWith<NarrowBlock>(wanted_, stages_, text, begin, end, lines);
}

}  // namespace vantlo
