#pragma once
// Turns text into the characters the search matcher compares: lowercased with the full Unicode
// case mapping, split into extended grapheme clusters, each cluster named by a 32-bit id so
// that two canonically equivalent clusters get the same id. Preparing a text once makes every
// later comparison an integer comparison.
//
// Ids: a cluster whose canonical (NFC) form is one code point is that code point (so ASCII
// characters are their lowercased bytes); longer clusters are interned in this table and get
// ids from 0x110000 up. Ids from different tables must not be compared.
//
// Separator note: a character is a letter when its first code point has the Unicode property
// Alphabetic, and a number when that code point has a numeric type; every other character
// (space, punctuation, symbols, emoji) is a separator.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include <unicode/uversion.h>

U_NAMESPACE_BEGIN
class BreakIterator;
U_NAMESPACE_END

namespace vantlo {

class ClusterTable {
  public:
    // Set in a prepared character when it is a separator; the rest of the bits are the id.
    static constexpr std::uint32_t kSeparatorBit = 0x8000'0000u;
    static constexpr std::uint32_t kIdMask = 0x7FFF'FFFFu;

    ClusterTable();
    ~ClusterTable();
    ClusterTable(const ClusterTable&) = delete;
    ClusterTable& operator=(const ClusterTable&) = delete;

    // Appends one value per character of `utf8`: its id, with kSeparatorBit for separators.
    // Malformed UTF-8 reads as U+FFFD replacement characters.
    void append(std::string_view utf8, std::vector<std::uint32_t>& out);

    // True when every character of `utf8` is one ASCII byte: then the prepared form is simply
    // the lowercased bytes (see asciiLower / isAsciiSeparator) and ICU is not needed.
    static bool isPlainAscii(std::string_view utf8);
    static std::uint8_t asciiLower(std::uint8_t byte) { return kAsciiLower[byte]; }
    static bool isAsciiSeparator(std::uint8_t byte) { return kAsciiSeparator[byte] != 0; }

    // How much of a text's preparing can be skipped when the query is ASCII.
    enum class ByteForm {
        // isPlainAscii: every byte a character, its lowercase its id.
        kPlainAscii,
        // Well-formed UTF-8 in which every code point is a character of its own and only the
        // ASCII bytes prepare to ASCII ids: an ASCII query can be matched on the raw bytes, the
        // characters before a byte being the code points that start before it.
        kOneCharacterPerCodePoint,
        // Anything else: only append() tells its characters.
        kNeedsPreparing,
    };
    static ByteForm byteForm(std::string_view utf8);
    // In a text of the second form, whether the character that ends just before byte
    // `position` (> 0) is a separator.
    static bool isSeparatorBefore(const std::uint8_t* utf8, std::size_t position);

    // Whether text outside ASCII can prepare to this ASCII id: the Kelvin sign lowercases to
    // "k", and the Greek question mark and varia are canonically ";" and "`".
    static bool hasNonAsciiSource(std::uint32_t id) { return id == 'k' || id == ';' || id == '`'; }

    // Number of interned multi-code-point clusters.
    std::size_t internedCount() const { return interned_.size(); }

  private:
    static const std::array<std::uint8_t, 256> kAsciiLower;
    static const std::array<std::uint8_t, 256> kAsciiSeparator;

    void appendUnicode(std::string_view utf8, std::vector<std::uint32_t>& out);
    // The usual text, where every code point is a character of its own: decoded and looked up
    // in tables without ICU calls. False (and nothing appended) when the full rules are needed.
    bool appendCommonCase(std::string_view utf8, std::vector<std::uint32_t>& out);
    void appendSegmented(std::vector<std::uint32_t>& out);
    std::uint32_t idOfCluster(const char16_t* text, std::int32_t length);
    std::uint32_t idOfCodePoint(std::int32_t codePoint);
    std::uint32_t intern(std::u16string_view canonical);

    std::unordered_map<std::u16string, std::uint32_t> interned_;
    std::unique_ptr<icu::BreakIterator> breaker_;
    std::u16string utf16_;
    std::u16string lower_;
};

}  // namespace vantlo
