#pragma once
// Small text helpers for the ASCII parts of files and settings we parse (desktop entries, theme
// indexes, translation tables, desktop tools' output): their keys and blanks are ASCII whatever
// the encoding of the values.

#include <string>
#include <string_view>

namespace vantlo::AsciiText {

// Space, tab, line feed, carriage return, vertical tab, form feed.
inline constexpr std::string_view kAllBlanks = " \t\n\r\v\f";
// The blanks inside one line of a line-based file.
inline constexpr std::string_view kLineBlanks = " \t\r";

// `text` with A–Z as a–z; every other byte unchanged.
std::string lowercase(std::string_view text);
// `text` without the `blanks` at either end; a view into `text`.
std::string_view trimmed(std::string_view text, std::string_view blanks = kAllBlanks);

}  // namespace vantlo::AsciiText
