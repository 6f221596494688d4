#pragma once
// One language's texts, read from a gettext .po file: the English text (msgid) maps to its
// translation (msgstr). Entries without a translation (empty msgstr), entries marked fuzzy,
// entries with a context and the header are not used for lookup. A malformed entry is skipped;
// the rest of the file still counts.

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>

namespace vantlo {

class TranslationTable {
  public:
    static TranslationTable parse(std::string_view text);
    // Nothing when the file cannot be read, is not a regular file (a FIFO would block the
    // reader, a device would never end) or is larger than `kMaxFileBytes`.
    static std::optional<TranslationTable> load(const std::string& path);
    static constexpr std::uintmax_t kMaxFileBytes = 4u << 20;

    // The translation of `english`, or nothing when the table has none.
    std::optional<std::string> find(std::string_view english) const;
    // Whether the file has an entry for `english` at all, translated or not.
    bool contains(std::string_view english) const;
    std::size_t size() const { return translations_.size(); }

  private:
    std::map<std::string, std::string, std::less<>> translations_;
    std::set<std::string, std::less<>> keys_;
};

}  // namespace vantlo
