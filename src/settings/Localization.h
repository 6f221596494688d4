#pragma once
// The interface language and the lookup of user-visible texts. Every text is written in English
// in the code and looked up by that English wording in the current language's table; a text
// without a translation shows in English.
//
// The tables are gettext files ("en.po", "zh-Hans.po") in the program's resources folder (the
// main bundle's resources path). Lookups are safe from any thread; the language is changed on
// the main thread.

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/TextFormat.h"

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

class Localization {
  public:
    static constexpr const char* languageKey = "Vantlo.AppLanguage";
    static constexpr const char* languageChangedNotification = "Vantlo.languageChanged";

    static Localization& shared();
    // Forgets the shared instance so the next `shared()` starts afresh (tests).
    static void resetShared();
    // Looks the tables up in `path` instead of the main bundle's resources; empty restores the
    // main bundle (tests, and a platform without bundles).
    static void setResourcesPath(std::string path);

    // Reads the stored language; a missing or unknown value means "system". Writes and posts
    // nothing.
    Localization();
    ~Localization();
    Localization(const Localization&) = delete;
    Localization& operator=(const Localization&) = delete;

    AppLanguage language() const;
    // Writes "Vantlo.AppLanguage", switches the table and posts "Vantlo.languageChanged"; does
    // nothing when the language is already the current one.
    void setLanguage(AppLanguage language);

    // The translation of `english` in the current table, or `english` itself.
    std::string lookup(std::string_view english) const;
    // Looks `englishFormat` up, then fills its placeholders (see TextFormat.h).
    std::string format(std::string_view englishFormat,
                       std::initializer_list<FormatArgument> arguments) const;

    // The code of the language whose table is in use: "en" or "zh-Hans". A forced language
    // whose table is missing uses the table the system language chooses.
    std::string tableLanguageCode() const;

  private:
    mutable std::mutex mutex_;
    AppLanguage language_ = AppLanguage::system;
    std::shared_ptr<const TranslationTable> table_;
    std::string tableCode_ = "en";
};

// Shorthands used throughout the code for user-visible texts. Pass the English text as one
// string literal, so the tables can be checked against the code.
inline std::string localized(std::string_view english) {
    return Localization::shared().lookup(english);
}
inline std::string localizedFormat(std::string_view englishFormat,
                                   std::initializer_list<FormatArgument> arguments) {
    return Localization::shared().format(englishFormat, arguments);
}

}  // namespace vantlo
