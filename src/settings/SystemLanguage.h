#pragma once
// Which of the shipped interface languages follows the user's locale settings. The locale is the
// first set of LC_ALL, LC_MESSAGES and LANG; as in gettext, a "C" locale means English and
// otherwise LANGUAGE (a colon-separated list of preferences) is tried first, then the locale.

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace vantlo::SystemLanguage {

// Reads one environment variable; nothing (or empty) when unset.
using Environment = std::function<const char*(const char* name)>;

// "en" or "zh-Hans": the first preference we ship a table for, else "en".
std::string choose(const Environment& environment);
std::string chooseFromProcessEnvironment();

// The shipped table code for one locale or language name ("zh_CN.UTF-8", "zh-Hans", "en_GB",
// "zh_SG"), or nothing when we ship none (Traditional Chinese, French, ...).
std::optional<std::string> shippedCode(std::string_view name);

}  // namespace vantlo::SystemLanguage
