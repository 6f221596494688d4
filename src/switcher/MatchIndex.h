#pragma once
// A list of entries, each with weighted search fields, prepared once for fuzzy ranking: every
// field is lowercased and segmented when the entry is added, so ranking a query touches only
// prepared characters. Entry score: the best over its fields of weight x raw score, truncated
// toward zero; entries without a matching field are left out.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "model/SwitchItem.h"
#include "switcher/ClusterTable.h"
#include "switcher/FuzzyMatcher.h"

namespace vantlo {

class MatchIndex {
  public:
    struct Ranked {
        std::uint32_t entry;
        int score;
        bool operator==(const Ranked&) const = default;
    };

    MatchIndex();
    ~MatchIndex();

    // Adds the next entry (entries are numbered from 0 in the order added).
    void addEntry(std::span<const MatchField> fields);
    void reserve(std::size_t entries, std::size_t fields);
    std::size_t size() const { return entryStarts_.size() - 1; }

    // The entries matching `query`, best first; equal scores keep entry order. An empty query
    // matches nothing (callers show their unfiltered list instead).
    std::vector<Ranked> rank(std::string_view query);
    void rank(std::string_view query, std::vector<Ranked>& out);

  private:
    struct Field {
        std::uint32_t offset;
        std::uint32_t length;
        std::uint64_t mask;
        double weight;
        bool ascii;
    };

    int scoreField(const Field& field, const PreparedQuery& query) const;
    int scoreEntry(std::size_t entry, const PreparedQuery& query) const;

    ClusterTable table_;
    std::vector<Field> fields_;
    std::vector<std::uint32_t> entryStarts_;  // fields of entry e: [starts[e], starts[e + 1])
    std::vector<std::uint8_t> asciiPool_;
    std::vector<std::uint32_t> widePool_;
    std::vector<std::uint32_t> scratch_;
    std::vector<std::uint32_t> counts_;
};

// Orders matches best first, equal scores by ascending entry, in place. `counts` is scratch
// space reused between calls.
void sortRanked(std::vector<MatchIndex::Ranked>& ranked, std::vector<std::uint32_t>& counts);

}  // namespace vantlo
