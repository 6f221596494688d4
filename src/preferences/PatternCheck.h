#pragma once
// Whether a title or name pattern is a regular expression the ignore filter can use (ICU syntax,
// matched case-insensitively), and if not, a sentence for the user saying what is wrong and
// where.

#include <optional>
#include <string>

namespace vantlo::PatternCheck {

// Nothing for a usable pattern; else the translated explanation, e.g. "Not a valid pattern:
// a parenthesis is not closed (at character 4)."
std::optional<std::string> problem(const std::string& pattern);

}  // namespace vantlo::PatternCheck
