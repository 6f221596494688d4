#pragma once
// The fuzzy matcher behind search: scores one query against one text, character by character
// in order, rewarding consecutive matches, matches at word starts and at the text start, and
// penalising skipped characters and the characters left after the last match.
//
// Worked values: "ab" scores 46 against "ab" and 27 against "xab"; "a" scores 26 against "a b".
//
// Texts and queries are prepared once through a ClusterTable (see there for what counts as a
// character, as equal, and as a separator); scoring then allocates nothing (on raw bytes, for
// queries of up to 32 characters).

#include <climits>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "switcher/ClusterTable.h"

namespace vantlo {

// A query ready for scoring: its character ids (no separator bits) and, when every character
// is ASCII, the same as lowercased bytes for the byte-level fast path.
struct PreparedQuery {
    std::vector<std::uint32_t> ids;
    std::string asciiBytes;
    bool isAscii = true;
    // Characters the text must contain for a match to be possible (see FuzzyMatcher::maskOf).
    std::uint64_t mask = 0;

    static PreparedQuery prepare(std::string_view query, ClusterTable& table);
    bool empty() const { return ids.empty(); }
};

namespace FuzzyMatcher {

inline constexpr int kNoMatch = INT_MIN;

// A 64-bit summary of which characters a prepared text holds; a query whose mask has a bit the
// text's lacks cannot match it.
std::uint64_t maskBit(std::uint32_t id);
std::uint64_t maskOf(const std::uint32_t* prepared, std::size_t length);
std::uint64_t maskOfAscii(const std::uint8_t* lowered, std::size_t length);

// Scores a prepared query against a text prepared by the same table. kNoMatch when the text is
// empty or does not contain the query's characters in order.
int score(const PreparedQuery& query, const std::uint32_t* text, std::size_t length);
// The same for a plain ASCII text already lowercased (ClusterTable::asciiLower).
int scoreAscii(const PreparedQuery& query, const std::uint8_t* lowered, std::size_t length);

// The same for a raw text, folding ASCII case as it goes. Exact for plain ASCII texts (see
// ClusterTable::isPlainAscii). For other texts it is a quick test: kNoMatch proves there is no
// match unless the query holds a character that non-ASCII text can also produce (see
// ClusterTable::hasNonAsciiSource); a score says nothing.
int scoreAsciiFolding(const PreparedQuery& query, const std::uint8_t* raw, std::size_t length);
// The same for a raw text of ClusterTable::ByteForm::kOneCharacterPerCodePoint (or plain
// ASCII): exact, counting characters where the others count bytes.
int scoreAsciiFoldingUtf8(const PreparedQuery& query, const std::uint8_t* raw, std::size_t length);

// The two steps of the last two, for callers that have found the characters already.
// findInOrder: where an ASCII query's characters first occur in order in a raw text, ASCII case
// folded, one byte position per query character into `positions`; false when they do not all
// occur. scoreAt: the score for the characters at those `positions` of a text that is plain
// ASCII (`plain`) or of ClusterTable::ByteForm::kOneCharacterPerCodePoint.
// Both may read `readable` (at least `length`) bytes from `raw`: a text inside a larger buffer
// is then searched in whole blocks, to its last byte. The bytes past `length` never change the
// result.
bool findInOrder(const PreparedQuery& query, const std::uint8_t* raw, std::size_t length,
                 std::size_t readable, std::size_t* positions);
int scoreAt(const PreparedQuery& query, const std::uint8_t* raw, std::size_t length,
            std::size_t readable, const std::size_t* positions, bool plain);

// One-off scoring of two texts (prepares both; for tests and tools, not for hot loops).
std::optional<int> score(std::string_view query, std::string_view text);

}  // namespace FuzzyMatcher

}  // namespace vantlo
