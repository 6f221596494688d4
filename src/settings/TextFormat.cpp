#include "settings/TextFormat.h"

#include <cctype>
#include <optional>

namespace vantlo {
namespace {

struct Placeholder {
    std::size_t length = 0;  // characters of the format it spans
    std::optional<std::size_t> position;
    bool leftAlign = false;
    bool zeroPad = false;
    bool plusSign = false;
    std::size_t width = 0;
    char conversion = 0;
};

bool isDigit(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

std::size_t readNumber(std::string_view text, std::size_t& at) {
    std::size_t value = 0;
    while (at < text.size() && isDigit(text[at])) {
        value = std::min<std::size_t>(value * 10 + static_cast<std::size_t>(text[at] - '0'), 4096);
        ++at;
    }
    return value;
}

// Reads the placeholder that starts at `text[0]` ('%'); nothing when it is not one we fill.
std::optional<Placeholder> readPlaceholder(std::string_view text) {
    Placeholder placeholder;
    std::size_t at = 1;
    std::size_t digitsStart = at;
    std::size_t number = readNumber(text, at);
    if (at > digitsStart && at < text.size() && text[at] == '$' && number > 0) {
        placeholder.position = number - 1;
        ++at;
    } else {
        at = digitsStart;
    }
    for (; at < text.size(); ++at) {
        char c = text[at];
        if (c == '-')
            placeholder.leftAlign = true;
        else if (c == '0')
            placeholder.zeroPad = true;
        else if (c == '+')
            placeholder.plusSign = true;
        else if (c != ' ' && c != '#')
            break;
    }
    placeholder.width = readNumber(text, at);
    if (at < text.size() && text[at] == '.') {
        ++at;
        readNumber(text, at);  // precision means nothing for integers and whole texts here
    }
    while (at < text.size() && std::string_view("hlqztj").find(text[at]) != std::string_view::npos)
        ++at;
    if (at >= text.size())
        return std::nullopt;
    char conversion = text[at];
    if (std::string_view("@sdiu").find(conversion) == std::string_view::npos)
        return std::nullopt;
    placeholder.conversion = conversion;
    placeholder.length = at + 1;
    return placeholder;
}

std::string render(const Placeholder& placeholder, const FormatArgument* argument) {
    std::string text;
    bool numeric = false;
    if (argument) {
        if (auto* number = argument->number()) {
            text = std::to_string(*number);
            numeric = true;
            if (placeholder.plusSign && *number >= 0)
                text.insert(0, "+");
        } else {
            text = *argument->text();
        }
    }
    if (text.size() >= placeholder.width)
        return text;
    std::size_t padding = placeholder.width - text.size();
    if (placeholder.leftAlign)
        return text + std::string(padding, ' ');
    if (numeric && placeholder.zeroPad) {
        std::size_t sign = (!text.empty() && (text[0] == '-' || text[0] == '+')) ? 1 : 0;
        return text.insert(sign, std::string(padding, '0'));
    }
    return std::string(padding, ' ') + text;
}

}  // namespace

std::string fillPlaceholders(std::string_view format, std::span<const FormatArgument> arguments) {
    std::string out;
    out.reserve(format.size());
    std::size_t nextArgument = 0;
    std::size_t at = 0;
    while (at < format.size()) {
        auto percent = format.find('%', at);
        out.append(format.substr(at, percent - at));
        if (percent == std::string_view::npos)
            break;
        if (percent + 1 < format.size() && format[percent + 1] == '%') {
            out += '%';
            at = percent + 2;
            continue;
        }
        auto placeholder = readPlaceholder(format.substr(percent));
        if (!placeholder) {
            out += '%';
            at = percent + 1;
            continue;
        }
        std::size_t index = placeholder->position.value_or(nextArgument++);
        out += render(*placeholder, index < arguments.size() ? &arguments[index] : nullptr);
        at = percent + placeholder->length;
    }
    return out;
}

}  // namespace vantlo
