#include "settings/Localization.h"

#include "platform/Platform.h"
#include "settings/SystemLanguage.h"
#include "settings/TranslationTable.h"

namespace vantlo {
namespace {

struct SharedState {
    std::mutex mutex;
    std::unique_ptr<Localization> instance;
    std::string resourcesOverride;
};

SharedState& sharedState() {
    static SharedState state;
    return state;
}

std::string resourcesPath() {
    {
        auto& state = sharedState();
        std::lock_guard lock(state.mutex);
        if (!state.resourcesOverride.empty())
            return state.resourcesOverride;
    }
    if (hasPlatform() && platform().appBundles)
        return platform().appBundles->mainBundle().resourcesPath;
    return {};
}

struct LoadedTable {
    std::shared_ptr<const TranslationTable> table;
    std::string code = "en";
};

std::optional<LoadedTable> loadTable(const std::string& folder, const std::string& code) {
    if (folder.empty())
        return std::nullopt;
    std::string path = folder;
    if (path.back() != '/')
        path += '/';
    auto table = TranslationTable::load(path + code + ".po");
    if (!table)
        return std::nullopt;
    return LoadedTable{std::make_shared<const TranslationTable>(std::move(*table)), code};
}

std::optional<std::string> forcedCode(AppLanguage language) {
    switch (language) {
        case AppLanguage::english:
            return "en";
        case AppLanguage::simplifiedChinese:
            return "zh-Hans";
        case AppLanguage::system:
            break;
    }
    return std::nullopt;
}

// A forced language whose table is missing falls back to the system's choice; without any table
// every text shows in English.
LoadedTable tableFor(AppLanguage language) {
    auto folder = resourcesPath();
    if (auto code = forcedCode(language)) {
        if (auto loaded = loadTable(folder, *code))
            return *loaded;
    }
    auto systemCode = SystemLanguage::chooseFromProcessEnvironment();
    if (auto loaded = loadTable(folder, systemCode))
        return *loaded;
    return {};
}

AppLanguage storedLanguage() {
    if (!hasPlatform() || !platform().defaults)
        return AppLanguage::system;
    auto raw = platform().defaults->string(Localization::languageKey);
    if (!raw)
        return AppLanguage::system;
    return AppLanguages::fromRawValue(*raw).value_or(AppLanguage::system);
}

}  // namespace

namespace AppLanguages {

std::vector<AppLanguage> allCases() {
    return {AppLanguage::system, AppLanguage::english, AppLanguage::simplifiedChinese};
}

std::string rawValue(AppLanguage language) {
    switch (language) {
        case AppLanguage::english:
            return "english";
        case AppLanguage::simplifiedChinese:
            return "simplifiedChinese";
        case AppLanguage::system:
            break;
    }
    return "system";
}

std::optional<AppLanguage> fromRawValue(std::string_view raw) {
    for (auto language : allCases()) {
        if (rawValue(language) == raw)
            return language;
    }
    return std::nullopt;
}

std::string displayName(AppLanguage language) {
    switch (language) {
        case AppLanguage::english:
            return "English";
        case AppLanguage::simplifiedChinese:
            return "简体中文";
        case AppLanguage::system:
            break;
    }
    return localized("Follow System");
}

}  // namespace AppLanguages

Localization& Localization::shared() {
    auto& state = sharedState();
    {
        std::lock_guard lock(state.mutex);
        if (state.instance)
            return *state.instance;
    }
    // Built outside the lock: construction reads the defaults and the table files.
    auto made = std::make_unique<Localization>();
    std::lock_guard lock(state.mutex);
    if (!state.instance)
        state.instance = std::move(made);
    return *state.instance;
}

void Localization::resetShared() {
    std::unique_ptr<Localization> old;
    auto& state = sharedState();
    std::lock_guard lock(state.mutex);
    old = std::move(state.instance);
}

void Localization::setResourcesPath(std::string path) {
    auto& state = sharedState();
    std::lock_guard lock(state.mutex);
    state.resourcesOverride = std::move(path);
}

Localization::Localization() : language_(storedLanguage()) {
    auto loaded = tableFor(language_);
    table_ = std::move(loaded.table);
    tableCode_ = std::move(loaded.code);
}

Localization::~Localization() = default;

AppLanguage Localization::language() const {
    std::lock_guard lock(mutex_);
    return language_;
}

void Localization::setLanguage(AppLanguage language) {
    {
        std::lock_guard lock(mutex_);
        if (language_ == language)
            return;
    }
    auto loaded = tableFor(language);
    if (hasPlatform() && platform().defaults)
        platform().defaults->set(languageKey, AppLanguages::rawValue(language));
    {
        std::lock_guard lock(mutex_);
        language_ = language;
        table_ = std::move(loaded.table);
        tableCode_ = std::move(loaded.code);
    }
    if (hasPlatform() && platform().notifications)
        platform().notifications->post(languageChangedNotification);
}

std::string Localization::lookup(std::string_view english) const {
    std::shared_ptr<const TranslationTable> table;
    {
        std::lock_guard lock(mutex_);
        table = table_;
    }
    if (table) {
        if (auto translation = table->find(english))
            return std::move(*translation);
    }
    return std::string(english);
}

std::string Localization::format(std::string_view englishFormat,
                                 std::initializer_list<FormatArgument> arguments) const {
    return fillPlaceholders(lookup(englishFormat),
                            std::span<const FormatArgument>(arguments.begin(), arguments.size()));
}

std::string Localization::tableLanguageCode() const {
    std::lock_guard lock(mutex_);
    return tableCode_;
}

}  // namespace vantlo
