#pragma once
// The interface language and the lookup of user-visible texts. Every text is written in English
// in the code and looked up by that English wording in the current language's table; a text
// without a translation shows in English.

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace vantlo {

enum class AppLanguage { system, english, simplifiedChinese };

namespace AppLanguages {
std::vector<AppLanguage> allCases();
std::string rawValue(AppLanguage language);  // "system", "english", "simplifiedChinese"
std::optional<AppLanguage> fromRawValue(std::string_view raw);
// The name shown in the language picker: "Follow System" (translated), "English", "简体中文".
std::string displayName(AppLanguage language);
}  // namespace AppLanguages

class TranslationTable;

// An argument of a text with placeholders: %@ takes text, %d / %ld / %lld take integers.
using FormatArgument = std::variant<std::string, std::int64_t>;

class Localization {
  public:
    static Localization& shared();
    // Forgets the shared instance so the next `shared()` starts afresh (tests).
    static void resetShared();

    AppLanguage language() const;
    // Writes "Vantlo.AppLanguage", switches the table and posts "Vantlo.languageChanged"; does
    // nothing when the language is already the current one.
    void setLanguage(AppLanguage language);

    // The translation of `english` in the current table, or `english` itself.
    std::string lookup(std::string_view english) const;
    // Looks `englishFormat` up, then fills its placeholders in order.
    std::string format(std::string_view englishFormat,
                       std::initializer_list<FormatArgument> arguments) const;

    // The code of the language whose table is in use: "en" or "zh-Hans".
    std::string tableLanguageCode() const;

    Localization();
    ~Localization();

  private:
    mutable std::mutex mutex_;
    AppLanguage language_ = AppLanguage::system;
    std::shared_ptr<const TranslationTable> table_;
};

// Shorthands used throughout the code for user-visible texts.
inline std::string localized(std::string_view english) {
    return Localization::shared().lookup(english);
}
inline std::string localizedFormat(std::string_view englishFormat,
                                   std::initializer_list<FormatArgument> arguments) {
    return Localization::shared().format(englishFormat, arguments);
}

}  // namespace vantlo
