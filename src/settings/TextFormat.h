#pragma once
// Fills the placeholders of a printf-style text the way the translation tables write them: %@ and
// %s take text, %d, %i, %u (with l, ll, q, z, t, j or h length) take integers, %1$@ and %2$d
// name their argument, %% is a percent sign. Flags and width pad as in printf. Unnumbered
// placeholders take the arguments in order. A missing argument fills in as nothing, extra
// arguments are ignored, and a placeholder this formatter does not know is left as written.

#include <concepts>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <variant>

namespace vantlo {

// An argument of a text with placeholders: %@ takes text, %d / %ld / %lld take integers. Any
// integer type converts, so counts need no cast.
class FormatArgument {
  public:
    FormatArgument(std::string text) : value_(std::move(text)) {}
    FormatArgument(std::string_view text) : value_(std::string(text)) {}
    FormatArgument(const char* text) : value_(std::string(text ? text : "")) {}
    template <std::integral Number>
    FormatArgument(Number number) : value_(static_cast<std::int64_t>(number)) {}

    const std::string* text() const { return std::get_if<std::string>(&value_); }
    const std::int64_t* number() const { return std::get_if<std::int64_t>(&value_); }

  private:
    std::variant<std::string, std::int64_t> value_;
};

std::string fillPlaceholders(std::string_view format, std::span<const FormatArgument> arguments);

}  // namespace vantlo
