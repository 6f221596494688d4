#include "switcher/MatchIndex.h"

#include <algorithm>

namespace vantlo {

MatchIndex::MatchIndex() : entryStarts_{0} {}
MatchIndex::~MatchIndex() = default;

void MatchIndex::reserve(std::size_t entries, std::size_t fields) {
    entryStarts_.reserve(entries + 1);
    fields_.reserve(fields);
}

void MatchIndex::addEntry(std::span<const MatchField> fields) {
    for (const MatchField& source : fields) {
        Field field{};
        field.weight = source.weight;
        field.ascii = ClusterTable::isPlainAscii(source.text);
        if (field.ascii) {
            field.offset = static_cast<std::uint32_t>(asciiPool_.size());
            field.length = static_cast<std::uint32_t>(source.text.size());
            for (unsigned char byte : source.text)
                asciiPool_.push_back(ClusterTable::asciiLower(byte));
            field.mask = FuzzyMatcher::maskOfAscii(asciiPool_.data() + field.offset, field.length);
        } else {
            field.offset = static_cast<std::uint32_t>(widePool_.size());
            table_.append(source.text, widePool_);
            field.length = static_cast<std::uint32_t>(widePool_.size() - field.offset);
            field.mask = FuzzyMatcher::maskOf(widePool_.data() + field.offset, field.length);
        }
        fields_.push_back(field);
    }
    entryStarts_.push_back(static_cast<std::uint32_t>(fields_.size()));
}

int MatchIndex::scoreField(const Field& field, const PreparedQuery& query) const {
    if ((query.mask & ~field.mask) != 0)
        return FuzzyMatcher::kNoMatch;
    if (field.ascii)
        return FuzzyMatcher::scoreAscii(query, asciiPool_.data() + field.offset, field.length);
    return FuzzyMatcher::score(query, widePool_.data() + field.offset, field.length);
}

int MatchIndex::scoreEntry(std::size_t entry, const PreparedQuery& query) const {
    int best = FuzzyMatcher::kNoMatch;
    for (std::uint32_t f = entryStarts_[entry]; f < entryStarts_[entry + 1]; ++f) {
        const Field& field = fields_[f];
        int raw = scoreField(field, query);
        if (raw == FuzzyMatcher::kNoMatch)
            continue;
        best = std::max(best, static_cast<int>(static_cast<double>(raw) * field.weight));
    }
    return best;
}

std::vector<MatchIndex::Ranked> MatchIndex::rank(std::string_view query) {
    std::vector<Ranked> out;
    rank(query, out);
    return out;
}

void MatchIndex::rank(std::string_view query, std::vector<Ranked>& out) {
    out.clear();
    PreparedQuery prepared = PreparedQuery::prepare(query, table_);
    if (prepared.empty())
        return;
    for (std::size_t entry = 0; entry < size(); ++entry) {
        int score = scoreEntry(entry, prepared);
        if (score != FuzzyMatcher::kNoMatch)
            out.push_back({static_cast<std::uint32_t>(entry), score});
    }
    sortRanked(out, counts_);
}

void sortRanked(std::vector<MatchIndex::Ranked>& ranked, std::vector<std::uint32_t>& counts) {
    if (ranked.size() < 2)
        return;
    auto [low, high] =
        std::minmax_element(ranked.begin(), ranked.end(),
                            [](const auto& a, const auto& b) { return a.score < b.score; });
    const long long range = static_cast<long long>(high->score) - low->score + 1;
    if (range > static_cast<long long>(ranked.size()) * 4 + 4096) {
        std::stable_sort(ranked.begin(), ranked.end(),
                         [](const auto& a, const auto& b) { return a.score > b.score; });
        return;
    }
    // Scores span a small range: a counting sort, stable, so equal scores stay in entry order.
    const int top = high->score;
    counts.assign(static_cast<std::size_t>(range) + 1, 0);
    for (const auto& r : ranked)
        ++counts[static_cast<std::size_t>(top - r.score) + 1];
    for (std::size_t i = 1; i < counts.size(); ++i)
        counts[i] += counts[i - 1];
    std::vector<MatchIndex::Ranked> sorted(ranked.size());
    for (const auto& r : ranked)
        sorted[counts[static_cast<std::size_t>(top - r.score)]++] = r;
    ranked.swap(sorted);
}

}  // namespace vantlo
