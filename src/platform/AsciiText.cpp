#include "platform/AsciiText.h"

namespace vantlo::AsciiText {

std::string lowercase(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

std::string_view trimmed(std::string_view text, std::string_view blanks) {
    auto begin = text.find_first_not_of(blanks);
    if (begin == std::string_view::npos)
        return {};
    auto end = text.find_last_not_of(blanks);
    return text.substr(begin, end - begin + 1);
}

}  // namespace vantlo::AsciiText
