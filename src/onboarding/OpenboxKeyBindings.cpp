#include "onboarding/OpenboxKeyBindings.h"

#include <algorithm>
#include <cctype>

namespace vantlo::OpenboxKeyBindings {
namespace {

constexpr std::string_view kOpen = "<keybind";
constexpr std::string_view kClose = "</keybind>";
constexpr std::string_view kCommentOpen = "<!--";
constexpr std::string_view kCommentClose = "-->";

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

// The next `what` at or after `from` outside comments.
std::size_t findOutsideComments(const std::string& text, std::string_view what, std::size_t from) {
    while (from < text.size()) {
        const auto hit = text.find(what, from);
        const auto comment = text.find(kCommentOpen, from);
        if (hit == std::string::npos || comment == std::string::npos || hit < comment)
            return hit;
        const auto end = text.find(kCommentClose, comment + kCommentOpen.size());
        if (end == std::string::npos)
            return std::string::npos;
        from = end + kCommentClose.size();
    }
    return std::string::npos;
}

// "<keybind" followed by a space, '>' or '/', not "<keybinds…".
bool opensKeybind(const std::string& text, std::size_t at) {
    const auto next = at + kOpen.size();
    return next < text.size() && (std::isspace(static_cast<unsigned char>(text[next])) ||
                                  text[next] == '>' || text[next] == '/');
}

std::size_t nextOpen(const std::string& text, std::size_t from) {
    for (auto at = findOutsideComments(text, kOpen, from); at != std::string::npos;
         at = findOutsideComments(text, kOpen, at + 1)) {
        if (opensKeybind(text, at))
            return at;
    }
    return std::string::npos;
}

std::string keyAttribute(std::string_view tag) {
    for (auto at = tag.find("key"); at != std::string_view::npos; at = tag.find("key", at + 1)) {
        if (at == 0 || !std::isspace(static_cast<unsigned char>(tag[at - 1])))
            continue;
        auto p = at + 3;
        while (p < tag.size() && std::isspace(static_cast<unsigned char>(tag[p])))
            ++p;
        if (p >= tag.size() || tag[p] != '=')
            continue;
        ++p;
        while (p < tag.size() && std::isspace(static_cast<unsigned char>(tag[p])))
            ++p;
        if (p >= tag.size() || (tag[p] != '"' && tag[p] != '\''))
            continue;
        const auto end = tag.find(tag[p], p + 1);
        if (end == std::string_view::npos)
            return {};
        return std::string(tag.substr(p + 1, end - p - 1));
    }
    return {};
}

// Where the element whose opening tag ends at `tagEnd` ends (after its closing tag), counting the
// keybinds a chain nests inside it; npos when the text ends first.
std::size_t elementEnd(const std::string& text, std::size_t tagEnd) {
    if (text[tagEnd - 1] == '/')
        return tagEnd + 1;
    int depth = 1;
    std::size_t at = tagEnd + 1;
    while (depth > 0) {
        const auto open = nextOpen(text, at);
        const auto close = findOutsideComments(text, kClose, at);
        if (close == std::string::npos)
            return std::string::npos;
        if (open != std::string::npos && open < close) {
            const auto innerTagEnd = text.find('>', open);
            if (innerTagEnd == std::string::npos)
                return std::string::npos;
            if (text[innerTagEnd - 1] != '/')
                ++depth;
            at = innerTagEnd + 1;
        } else {
            --depth;
            at = close + kClose.size();
        }
    }
    return at;
}

// Widens [start, end) to whole lines when the element stands alone on its lines, so removing it
// leaves no blank line behind.
std::pair<std::size_t, std::size_t> wholeLines(const std::string& text, std::size_t start,
                                               std::size_t end) {
    auto lineStart = start;
    while (lineStart > 0 && (text[lineStart - 1] == ' ' || text[lineStart - 1] == '\t'))
        --lineStart;
    if (lineStart > 0 && text[lineStart - 1] != '\n')
        return {start, end};
    auto lineEnd = end;
    while (lineEnd < text.size() && (text[lineEnd] == ' ' || text[lineEnd] == '\t'))
        ++lineEnd;
    if (lineEnd < text.size() && text[lineEnd] == '\n')
        return {lineStart, lineEnd + 1};
    if (lineEnd == text.size())
        return {lineStart, lineEnd};
    return {start, end};
}

}  // namespace

bool isAltTab(std::string_view key) {
    const auto dash = key.rfind('-');
    if (dash == std::string_view::npos)
        return false;
    const auto modifiers = key.substr(0, dash);
    return equalsIgnoringCase(key.substr(dash + 1), "Tab") &&
           (modifiers == "A" || modifiers == "Mod1");
}

std::optional<Released> withoutAltTab(const std::string& rcXml) {
    Released released;
    released.text = rcXml;
    std::string& text = released.text;
    std::size_t at = 0;
    while ((at = nextOpen(text, at)) != std::string::npos) {
        const auto tagEnd = text.find('>', at);
        if (tagEnd == std::string::npos)
            break;
        const auto end = elementEnd(text, tagEnd);
        if (end == std::string::npos)
            break;
        if (!isAltTab(keyAttribute(std::string_view(text).substr(at, tagEnd - at)))) {
            // Bindings nested in a chain are not the desktop's Alt+Tab: skip the whole element.
            at = end;
            continue;
        }
        const auto [from, to] = wholeLines(text, at, end);
        released.removed.push_back(text.substr(from, to - from));
        text.erase(from, to - from);
        at = from;
    }
    if (released.removed.empty())
        return std::nullopt;
    return released;
}

std::optional<std::string> withRestored(const std::string& rcXml,
                                        const std::vector<std::string>& removed) {
    if (withoutAltTab(rcXml))
        return rcXml;
    const auto close = findOutsideComments(rcXml, "</keyboard>", 0);
    if (close == std::string::npos)
        return std::nullopt;
    auto insertAt = close;
    while (insertAt > 0 && (rcXml[insertAt - 1] == ' ' || rcXml[insertAt - 1] == '\t'))
        --insertAt;
    if (insertAt > 0 && rcXml[insertAt - 1] != '\n')
        insertAt = close;
    std::string text = rcXml;
    std::string block;
    for (const auto& element : removed) {
        block += element;
        if (!element.empty() && element.back() != '\n' && insertAt != close)
            block += '\n';
    }
    text.insert(insertAt, block);
    return text;
}

}  // namespace vantlo::OpenboxKeyBindings
