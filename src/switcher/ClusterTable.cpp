#include "switcher/ClusterTable.h"

#include <unicode/brkiter.h>
#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>
#include <unicode/ustring.h>
#include <unicode/utf16.h>
#include <unicode/utf8.h>

#include <atomic>
#include <climits>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vantlo {
namespace {

constexpr std::uint32_t kFirstInternedId = 0x110000;
constexpr char16_t kCapitalSigma = 0x03A3;
constexpr char16_t kSmallSigma = 0x03C3;

std::array<std::uint8_t, 256> makeAsciiLower() {
    std::array<std::uint8_t, 256> table{};
    for (int b = 0; b < 256; ++b)
        table[b] = static_cast<std::uint8_t>(b >= 'A' && b <= 'Z' ? b + 32 : b);
    return table;
}

std::array<std::uint8_t, 256> makeAsciiSeparator() {
    std::array<std::uint8_t, 256> table{};
    for (int b = 0; b < 256; ++b) {
        bool alnum = (b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z') || (b >= '0' && b <= '9');
        table[b] = alnum ? 0 : 1;
    }
    return table;
}

bool isLetterOrNumber(UChar32 c) {
    return u_hasBinaryProperty(c, UCHAR_ALPHABETIC) ||
           u_getIntPropertyValue(c, UCHAR_NUMERIC_TYPE) != U_NT_NONE;
}

std::uint32_t separatorBit(UChar32 c) {
    return isLetterOrNumber(c) ? 0 : ClusterTable::kSeparatorBit;
}

// A code point that forms a character of its own whatever stands around it, unless something
// around it is not such a code point: then the full segmentation rules are needed.
bool breaksOnBothSides(UChar32 c) {
    switch (u_getIntPropertyValue(c, UCHAR_GRAPHEME_CLUSTER_BREAK)) {
        case U_GCB_OTHER:
        case U_GCB_CONTROL:
        case U_GCB_LF:
        case U_GCB_LV:
        case U_GCB_LVT:
            return true;
        default:
            return false;
    }
}

const icu::Normalizer2& nfc() {
    UErrorCode status = U_ZERO_ERROR;
    return *icu::Normalizer2::getNFCInstance(status);
}

// What the common case needs to know of one code point of the Basic or the Supplementary
// Multilingual Plane (emoji live there), looked up in ICU once per process and then read from a
// table:
// - its lowercase (full mapping; the one code point whose full lowercase is longer, capital I
//   with dot, is marked as needing the full rules);
// - for a lowercase code point: whether it is a character on its own whatever surrounds it and
//   canonically one code point (then that code point is its id), and whether it is a separator.
// Entries are filled on first use; racing threads compute the same value.
constexpr std::uint32_t kKnown = 0x8000'0000u;
constexpr std::uint32_t kNeedsFullRules = 0x4000'0000u;
constexpr std::uint32_t kSeparator = 0x2000'0000u;
constexpr std::uint32_t kValueMask = 0x001F'FFFFu;
constexpr UChar32 kCapitalIWithDot = 0x0130;

constexpr UChar32 kTabled = 0x20000;

// Code point -> entry (0 until known), in blocks made when a code point of theirs is first
// looked up. A block starts as memory the allocator hands out, written before it is read: a
// table in zeroed memory would be read first, through the system's shared page of zeros, and
// each first write to a page would then make the system flush that page from every processor
// the program runs on (dear under a hypervisor, with the filter's threads all looking up).
class CodePointTable {
  public:
    std::atomic<std::uint32_t>& at(UChar32 c) {
        auto& slot = blocks_[static_cast<std::size_t>(c) >> kBlockBits];
        Block* block = slot.load(std::memory_order_acquire);
        if (block == nullptr) {
            auto* made = new Block();
            if (slot.compare_exchange_strong(block, made, std::memory_order_acq_rel))
                block = made;
            else
                delete made;  // another thread made it first
        }
        return block->entries[static_cast<std::size_t>(c) & (kBlockSize - 1)];
    }

  private:
    static constexpr unsigned kBlockBits = 8;
    static constexpr std::size_t kBlockSize = std::size_t{1} << kBlockBits;
    struct Block {
        std::atomic<std::uint32_t> entries[kBlockSize] = {};
    };
    // Blocks live as long as the program: lookups hand out references into them.
    std::atomic<Block*> blocks_[static_cast<std::size_t>(kTabled) >> kBlockBits] = {};
};

CodePointTable lowercaseTable;
CodePointTable characterTable;

std::uint32_t computeLowercase(UChar32 c) {
    if (c == kCapitalIWithDot)
        return kKnown | kNeedsFullRules;
    if (c == kCapitalSigma)
        return kKnown | kSmallSigma;
    return kKnown | static_cast<std::uint32_t>(u_tolower(c));
}

std::uint32_t computeCharacter(UChar32 c) {
    std::uint32_t separator = separatorBit(c) ? kSeparator : 0;
    if (!breaksOnBothSides(c))
        return kKnown | kNeedsFullRules | separator;
    if (u_getIntPropertyValue(c, UCHAR_NFC_QUICK_CHECK) == UNORM_YES)
        return kKnown | separator | static_cast<std::uint32_t>(c);
    char16_t units[2];
    std::int32_t length = 0;
    U16_APPEND_UNSAFE(units, length, c);
    UErrorCode status = U_ZERO_ERROR;
    icu::UnicodeString canonical =
        nfc().normalize(icu::UnicodeString(false, units, length), status);
    if (U_SUCCESS(status) && canonical.length() == U16_LENGTH(canonical.char32At(0)))
        return kKnown | separator | static_cast<std::uint32_t>(canonical.char32At(0));
    return kKnown | kNeedsFullRules | separator;
}

template <std::uint32_t (*compute)(UChar32)>
std::uint32_t lookup(CodePointTable& table, UChar32 c) {
    if (c >= kTabled)
        return compute(c);
    std::atomic<std::uint32_t>& slot = table.at(c);
    std::uint32_t entry = slot.load(std::memory_order_relaxed);
    if (entry == 0) {
        entry = compute(c);
        slot.store(entry, std::memory_order_relaxed);
    }
    return entry;
}

// The prepared value of a code point that is a character of its own, with kSeparator for a
// separator; kNeedsFullRules when the full rules are needed. Both steps, lowercasing and then
// the character, are kept in a table of their own, so one read answers.
CodePointTable commonCaseTable;

std::uint32_t computeCommonCase(UChar32 c) {
    std::uint32_t lower = lookup<computeLowercase>(lowercaseTable, c);
    if (lower & kNeedsFullRules)
        return kKnown | kNeedsFullRules;
    std::uint32_t character =
        lookup<computeCharacter>(characterTable, static_cast<UChar32>(lower & kValueMask));
    return kKnown | (character & (kNeedsFullRules | kSeparator | kValueMask));
}

std::uint32_t commonCaseCharacter(UChar32 c) {
    return lookup<computeCommonCase>(commonCaseTable, c) & ~kKnown;
}

// The first position from `start` holding a byte outside ASCII or a carriage return; `n` when
// there is none.
std::size_t findNonPlainByte(const std::uint8_t* text, std::size_t start, std::size_t n) {
    std::size_t i = start;
#if defined(__SSE2__)
    const __m128i carriageReturn = _mm_set1_epi8('\r');
    for (; i + 16 <= n; i += 16) {
        __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i));
        int hits =
            _mm_movemask_epi8(block) | _mm_movemask_epi8(_mm_cmpeq_epi8(block, carriageReturn));
        if (hits != 0)
            return i + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(hits)));
    }
#endif
    while (i < n && text[i] < 0x80 && text[i] != '\r')
        ++i;
    return i;
}

}  // namespace

const std::array<std::uint8_t, 256> ClusterTable::kAsciiLower = makeAsciiLower();
const std::array<std::uint8_t, 256> ClusterTable::kAsciiSeparator = makeAsciiSeparator();

ClusterTable::ClusterTable() = default;
ClusterTable::~ClusterTable() = default;

bool ClusterTable::isPlainAscii(std::string_view utf8) {
    const char* p = utf8.data();
    std::size_t n = utf8.size();
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, p + i, 8);
        if (word & 0x8080'8080'8080'8080ull)
            return false;
    }
    for (; i < n; ++i) {
        if (static_cast<unsigned char>(p[i]) & 0x80)
            return false;
    }
    // CR LF is one character; leave that rare case to the full rules.
    return std::memchr(p, '\r', n) == nullptr;
}

void ClusterTable::append(std::string_view utf8, std::vector<std::uint32_t>& out) {
    // ICU counts in 32-bit units; a text beyond 2 GiB is read up to there.
    if (utf8.size() > static_cast<std::size_t>(INT32_MAX / 2))
        utf8 = utf8.substr(0, INT32_MAX / 2);
    if (!isPlainAscii(utf8)) {
        appendUnicode(utf8, out);
        return;
    }
    for (unsigned char byte : utf8)
        out.push_back(kAsciiLower[byte] | (kAsciiSeparator[byte] ? kSeparatorBit : 0));
}

bool ClusterTable::appendCommonCase(std::string_view utf8, std::vector<std::uint32_t>& out) {
    const std::size_t mark = out.size();
    // Never more characters than bytes: write straight into the room, then trim.
    out.resize(mark + utf8.size());
    std::uint32_t* next = out.data() + mark;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(utf8.data());
    const auto length = static_cast<std::int32_t>(utf8.size());
    for (std::int32_t i = 0; i < length;) {
        std::uint8_t byte = bytes[i];
        if (byte < 0x80 && byte != '\r') {
            *next++ = kAsciiLower[byte] | (kAsciiSeparator[byte] ? kSeparatorBit : 0);
            ++i;
            continue;
        }
        UChar32 c;
        U8_NEXT_OR_FFFD(bytes, i, length, c);
        std::uint32_t character = commonCaseCharacter(c);
        if (character & kNeedsFullRules) {
            out.resize(mark);
            return false;
        }
        *next++ = (character & kValueMask) | ((character & kSeparator) ? kSeparatorBit : 0);
    }
    out.resize(static_cast<std::size_t>(next - out.data()));
    return true;
}

ClusterTable::ByteForm ClusterTable::byteForm(std::string_view utf8) {
    if (utf8.size() > static_cast<std::size_t>(INT32_MAX / 2))
        return ByteForm::kNeedsPreparing;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(utf8.data());
    const auto length = static_cast<std::int32_t>(utf8.size());
    ByteForm form = ByteForm::kPlainAscii;
    for (std::size_t i = findNonPlainByte(bytes, 0, utf8.size()); i < utf8.size();
         i = findNonPlainByte(bytes, i, utf8.size())) {
        auto next = static_cast<std::int32_t>(i);
        UChar32 c;
        U8_NEXT(bytes, next, length, c);
        // A malformed sequence, or a code point that is not a character on its own or stands
        // for an ASCII character (a carriage return fails too: CR LF is one character).
        if (c < 0x80)
            return ByteForm::kNeedsPreparing;
        std::uint32_t character = commonCaseCharacter(c);
        if ((character & kNeedsFullRules) || (character & kValueMask) < 0x80)
            return ByteForm::kNeedsPreparing;
        form = ByteForm::kOneCharacterPerCodePoint;
        i = static_cast<std::size_t>(next);
    }
    return form;
}

bool ClusterTable::isSeparatorBefore(const std::uint8_t* utf8, std::size_t position) {
    std::size_t start = position - 1;
    if (utf8[start] < 0x80)
        return isAsciiSeparator(utf8[start]);
    while ((utf8[start] & 0xC0) == 0x80)
        --start;
    auto i = static_cast<std::int32_t>(start);
    UChar32 c;
    U8_NEXT_UNSAFE(utf8, i, c);
    return (commonCaseCharacter(c) & kSeparator) != 0;
}

void ClusterTable::appendUnicode(std::string_view utf8, std::vector<std::uint32_t>& out) {
    if (appendCommonCase(utf8, out))
        return;
    UErrorCode status = U_ZERO_ERROR;
    std::int32_t length = 0;
    utf16_.resize(utf8.size() + 1);
    u_strFromUTF8WithSub(utf16_.data(), static_cast<std::int32_t>(utf16_.size()), &length,
                         utf8.data(), static_cast<std::int32_t>(utf8.size()), 0xFFFD, nullptr,
                         &status);
    if (U_FAILURE(status))
        return;
    utf16_.resize(length);
    // The final-sigma rule would make one letter lowercase two ways depending on what follows;
    // a search should treat every capital sigma alike.
    for (char16_t& unit : utf16_) {
        if (unit == kCapitalSigma)
            unit = kSmallSigma;
    }
    lower_.resize(utf16_.size() * 2 + 1);
    length = u_strToLower(lower_.data(), static_cast<std::int32_t>(lower_.size()), utf16_.data(),
                          static_cast<std::int32_t>(utf16_.size()), "", &status);
    if (status == U_BUFFER_OVERFLOW_ERROR) {
        status = U_ZERO_ERROR;
        lower_.resize(length + 1);
        length = u_strToLower(lower_.data(), static_cast<std::int32_t>(lower_.size()),
                              utf16_.data(), static_cast<std::int32_t>(utf16_.size()), "", &status);
    }
    if (U_FAILURE(status))
        return;
    lower_.resize(length);

    bool simple = true;
    for (std::int32_t i = 0; i < length && simple;) {
        UChar32 c;
        U16_NEXT(lower_.data(), i, length, c);
        simple = breaksOnBothSides(c);
    }
    if (!simple) {
        appendSegmented(out);
        return;
    }
    for (std::int32_t i = 0; i < length;) {
        UChar32 c;
        U16_NEXT(lower_.data(), i, length, c);
        out.push_back(idOfCodePoint(c) | separatorBit(c));
    }
}

void ClusterTable::appendSegmented(std::vector<std::uint32_t>& out) {
    if (!breaker_) {
        UErrorCode status = U_ZERO_ERROR;
        breaker_.reset(icu::BreakIterator::createCharacterInstance(icu::Locale::getRoot(), status));
        if (U_FAILURE(status) || !breaker_) {
            breaker_.reset();
            return;
        }
    }
    auto length = static_cast<std::int32_t>(lower_.size());
    icu::UnicodeString text(false, lower_.data(), length);
    breaker_->setText(text);
    std::int32_t start = breaker_->first();
    for (std::int32_t end = breaker_->next(); end != icu::BreakIterator::DONE;
         start = end, end = breaker_->next()) {
        UChar32 first;
        U16_GET(lower_.data(), 0, start, length, first);
        out.push_back(idOfCluster(lower_.data() + start, end - start) | separatorBit(first));
    }
    // The iterator keeps a reference to the text; drop it before the buffer changes.
    breaker_->setText(icu::UnicodeString());
}

std::uint32_t ClusterTable::idOfCluster(const char16_t* text, std::int32_t length) {
    UChar32 c;
    std::int32_t i = 0;
    U16_NEXT(text, i, length, c);
    if (i == length)
        return idOfCodePoint(c);
    UErrorCode status = U_ZERO_ERROR;
    icu::UnicodeString canonical = nfc().normalize(icu::UnicodeString(false, text, length), status);
    if (U_FAILURE(status))
        return intern(std::u16string_view(text, length));
    if (canonical.length() == U16_LENGTH(canonical.char32At(0)))
        return static_cast<std::uint32_t>(canonical.char32At(0));
    return intern(std::u16string_view(canonical.getBuffer(), canonical.length()));
}

std::uint32_t ClusterTable::idOfCodePoint(std::int32_t codePoint) {
    if (u_getIntPropertyValue(codePoint, UCHAR_NFC_QUICK_CHECK) == UNORM_YES)
        return static_cast<std::uint32_t>(codePoint);
    // A singleton such as the Angstrom sign stands for another code point.
    char16_t units[2];
    std::int32_t length = 0;
    U16_APPEND_UNSAFE(units, length, codePoint);
    UErrorCode status = U_ZERO_ERROR;
    icu::UnicodeString canonical =
        nfc().normalize(icu::UnicodeString(false, units, length), status);
    if (U_SUCCESS(status) && canonical.length() == U16_LENGTH(canonical.char32At(0)))
        return static_cast<std::uint32_t>(canonical.char32At(0));
    if (U_FAILURE(status))
        return intern(std::u16string_view(units, length));
    return intern(std::u16string_view(canonical.getBuffer(), canonical.length()));
}

std::uint32_t ClusterTable::intern(std::u16string_view canonical) {
    auto [it, inserted] = interned_.try_emplace(
        std::u16string(canonical), kFirstInternedId + static_cast<std::uint32_t>(interned_.size()));
    return it->second;
}

}  // namespace vantlo
