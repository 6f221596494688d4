#include "preferences/PatternCheck.h"

#include <unicode/parseerr.h>
#include <unicode/regex.h>
#include <unicode/unistr.h>

#include <memory>

#include "settings/Localization.h"

namespace vantlo::PatternCheck {
namespace {

std::string reason(UErrorCode status) {
    switch (status) {
        case U_REGEX_MISMATCHED_PAREN:
            return localized("a parenthesis is not closed or not opened");
        case U_REGEX_MISSING_CLOSE_BRACKET:
            return localized("a bracket is not closed");
        case U_REGEX_RULE_SYNTAX:
            return localized("a character has no meaning where it stands (nothing to repeat?)");
        case U_REGEX_BAD_ESCAPE_SEQUENCE:
            return localized("an unknown backslash sequence");
        case U_REGEX_BAD_INTERVAL:
        case U_REGEX_MAX_LT_MIN:
            return localized("a repeat count in braces is malformed");
        case U_REGEX_INVALID_RANGE:
            return localized("a range in brackets runs backwards");
        default:
            return localized("the expression cannot be read");
    }
}

}  // namespace

std::optional<std::string> problem(const std::string& pattern) {
    UErrorCode status = U_ZERO_ERROR;
    UParseError where{};
    std::unique_ptr<icu::RegexPattern> compiled(icu::RegexPattern::compile(
        icu::UnicodeString::fromUTF8(pattern), UREGEX_CASE_INSENSITIVE, where, status));
    if (U_SUCCESS(status) && compiled)
        return std::nullopt;
    if (where.offset >= 0) {
        return localizedFormat("Not a valid pattern: %@ (at character %d).",
                               {reason(status), where.offset + 1});
    }
    return localizedFormat("Not a valid pattern: %@.", {reason(status)});
}

}  // namespace vantlo::PatternCheck
