#pragma once
// The Exceptions pane's state: the ignored applications by identifier, and the two pattern lists
// (application names, window titles) with the text being typed for each. Every change is stored
// at once through the ignore filter, which tells the switcher.
//
// A new pattern is trimmed of spaces and tabs; nothing is added while nothing is left. A pattern
// the filter could not use is not added: the text stays in the field and the list shows why.
// The same pattern may be listed twice; removing a pattern removes every copy of it.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantlo {

class ExceptionsPaneModel {
  public:
    enum class PatternList { appNames, windowTitles };

    explicit ExceptionsPaneModel(std::function<void()> changed = {});

    const std::vector<std::string>& ignoredBundleIDs() const { return bundleIDs_; }
    // False when the identifier is empty or already listed.
    bool addBundleID(const std::string& bundleID);
    void removeBundleID(const std::string& bundleID);

    const std::vector<std::string>& patterns(PatternList list) const;
    const std::string& pending(PatternList list) const;
    // The text in the entry field; a new text clears the previous problem.
    void setPending(PatternList list, std::string text);
    bool canAdd(PatternList list) const;
    // Adds the pending text. False when nothing was added (empty, or not a usable pattern).
    bool add(PatternList list);
    // Why the last pattern offered was not added.
    const std::optional<std::string>& problem(PatternList list) const;
    void removePattern(PatternList list, const std::string& pattern);

    // `text` without the spaces and tabs at either end.
    static std::string trimmed(std::string_view text);

  private:
    struct Patterns {
        std::vector<std::string> items;
        std::string pending;
        std::optional<std::string> problem;
    };
    Patterns& slot(PatternList list);
    const Patterns& slot(PatternList list) const;
    void store(PatternList list);
    void notify();

    std::function<void()> changed_;
    std::vector<std::string> bundleIDs_;
    Patterns appNames_;
    Patterns windowTitles_;
};

}  // namespace vantlo
