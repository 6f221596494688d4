#pragma once
// The words of the application dictionaries this dialect speaks: element classes, properties
// and commands. Applications are told the canonical names given here.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantlo::ScriptVocabulary {

struct ElementClass {
    const char* singular;
    const char* plural;
};

inline constexpr ElementClass elementClasses[] = {{"window", "windows"}, {"tab", "tabs"}};

struct Property {
    std::vector<std::string_view> words;  // as written, lower case
    const char* canonical;                // the name applications receive
};

// Longer phrases first, so "active tab index" wins over a shorter reading.
inline const std::vector<Property>& properties() {
    static const std::vector<Property> all = {
        {{"active", "tab", "index"}, "active tab index"},
        {{"current", "tab"}, "current tab"},
        {{"title"}, "title"},
        {{"name"}, "name"},
        {{"url"}, "URL"},
        {{"index"}, "index"},
        {{"id"}, "id"},
    };
    return all;
}

inline constexpr const char* commands[] = {"activate", "close", "pause"};

// Words that are never variable names.
inline constexpr const char* keywords[] = {
    "tell",    "application", "to",      "end",     "set",      "of",    "repeat", "with",
    "from",    "if",          "then",    "else",    "try",      "on",    "error",  "return",
    "and",     "or",          "not",     "is",      "as",       "count", "true",   "false",
    "missing", "window",      "windows", "tab",     "tabs",     "title", "name",   "url",
    "index",   "id",          "active",  "current", "activate", "close", "pause"};

inline bool isKeyword(std::string_view word) {
    for (const char* k : keywords) {
        if (word == k)
            return true;
    }
    return false;
}

}  // namespace vantlo::ScriptVocabulary
