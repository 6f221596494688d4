#include "settings/SystemLanguage.h"
#include "platform/AsciiText.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <vector>

namespace vantlo::SystemLanguage {
namespace {

std::string lowercase(std::string_view text) {
    return AsciiText::lowercase(text);
}

std::vector<std::string> splitParts(std::string_view name) {
    std::vector<std::string> parts;
    std::string part;
    for (char c : name) {
        if (c == '_' || c == '-' || c == '.' || c == '@') {
            parts.push_back(lowercase(part));
            part.clear();
        } else {
            part += c;
        }
    }
    parts.push_back(lowercase(part));
    return parts;
}

bool isTraditionalChinese(const std::vector<std::string>& parts) {
    for (const auto& part : parts) {
        if (part == "hant" || part == "tw" || part == "hk" || part == "mo")
            return true;
    }
    return false;
}

std::string_view variable(const Environment& environment, const char* name) {
    const char* value = environment(name);
    return value ? std::string_view(value) : std::string_view();
}

bool isPlainC(std::string_view locale) {
    return locale.empty() || locale == "C" || locale == "POSIX" || locale.starts_with("C.");
}

}  // namespace

std::optional<std::string> shippedCode(std::string_view name) {
    auto parts = splitParts(name);
    if (parts.front() == "en")
        return "en";
    if (parts.front() == "zh" && !isTraditionalChinese(parts))
        return "zh-Hans";
    return std::nullopt;
}

std::string choose(const Environment& environment) {
    std::string_view locale;
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        locale = variable(environment, name);
        if (!locale.empty())
            break;
    }
    // gettext ignores LANGUAGE when messages are in the "C" locale; so do we.
    if (isPlainC(locale))
        return "en";
    std::string_view preferences = variable(environment, "LANGUAGE");
    while (!preferences.empty()) {
        auto colon = preferences.find(':');
        auto entry = preferences.substr(0, colon);
        if (!entry.empty()) {
            if (auto code = shippedCode(entry))
                return *code;
        }
        if (colon == std::string_view::npos)
            break;
        preferences.remove_prefix(colon + 1);
    }
    return shippedCode(locale).value_or("en");
}

std::string chooseFromProcessEnvironment() {
    return choose([](const char* name) { return std::getenv(name); });
}

}  // namespace vantlo::SystemLanguage
