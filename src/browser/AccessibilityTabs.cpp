// Tabs read from a browser window's Accessibility tree when the browser cannot be scripted.

#include <algorithm>
#include <deque>

#include "browser/BrowserTabEnumerator.h"
#include "platform/AXNames.h"
#include "platform/AsciiText.h"
#include "platform/Platform.h"

namespace vantlo::BrowserTabEnumerator {
namespace {

std::string trimmed(const std::string& text) {
    return std::string(AsciiText::trimmed(text));
}

std::string lowercased(const std::string& text) {
    return AsciiText::lowercase(text);
}

std::size_t characterCount(const std::string& text) {
    return static_cast<std::size_t>(
        std::count_if(text.begin(), text.end(), [](char c) { return (c & 0xC0) != 0x80; }));
}

bool isIgnoredTitle(const std::string& title) {
    std::string lower = lowercased(title);
    const auto& ignored = ignoredTabTitles();
    return lower.starts_with("close ") ||
           std::find(ignored.begin(), ignored.end(), lower) != ignored.end();
}

std::optional<AXTabCandidate> candidate(const AXElementRef& element) {
    auto& ax = *platform().accessibility;
    std::string title;
    for (const char* attribute : {AX::title, AX::description, AX::help}) {
        if (auto text = ax.copyAttribute(element, attribute).asString()) {
            title = *text;
            break;
        }
    }
    title = trimmed(title);
    if (characterCount(title) < 2 || isIgnoredTitle(title))
        return std::nullopt;
    bool selected = false;
    for (const char* attribute : {AX::selected, AX::value, AX::focused}) {
        if (auto flag = ax.copyAttribute(element, attribute).asBool()) {
            selected = *flag;
            break;
        }
    }
    return AXTabCandidate{element, std::move(title), selected};
}

bool hasRole(const AXElementRef& element, std::initializer_list<const char*> roles) {
    auto role = platform().accessibility->copyAttribute(element, AX::role).asString();
    return role && std::find(roles.begin(), roles.end(), *role) != roles.end();
}

std::vector<AXTabCandidate> candidatesWithRoles(const AXElementRef& root, int depth,
                                                std::initializer_list<const char*> roles) {
    std::vector<AXTabCandidate> result;
    for (const auto& element : descendants(root, depth)) {
        if (!hasRole(element, roles))
            continue;
        if (auto found = candidate(element))
            result.push_back(std::move(*found));
    }
    return result;
}

}  // namespace

const std::vector<std::string>& ignoredTabTitles() {
    static const std::vector<std::string> titles = {
        "close",      "close tab",
        "new tab",    "minimize",
        "maximize",   "toolbar",
        "back",       "forward",
        "reload",     "extensions",
        "profile",    "side panel",
        "tab search", "customize and control google chrome"};
    return titles;
}

std::vector<AXElementRef> descendants(const AXElementRef& root, int maxDepth) {
    auto& ax = *platform().accessibility;
    std::vector<AXElementRef> result;
    std::deque<std::pair<AXElementRef, int>> queue{{root, 0}};
    for (int steps = 0; !queue.empty() && steps < kMaxWalkSteps; ++steps) {
        auto [element, depth] = std::move(queue.front());
        queue.pop_front();
        if (depth >= 1)
            result.push_back(element);
        if (depth >= maxDepth)
            continue;
        if (auto children = ax.copyAttribute(element, AX::children).asElements()) {
            for (auto& child : *children)
                queue.emplace_back(std::move(child), depth + 1);
        }
    }
    return result;
}

std::vector<AXTabCandidate> tabs(const AXElementRef& window) {
    std::vector<AXTabCandidate> best;
    for (const auto& group : descendants(window, kWindowSearchDepth)) {
        if (!hasRole(group, {AX::tabGroupRole}))
            continue;
        auto found = candidatesWithRoles(group, kTabGroupSearchDepth,
                                         {AX::radioButtonRole, AX::buttonRole, AX::cellRole});
        if (found.size() > best.size())
            best = std::move(found);
    }
    if (!best.empty())
        return best;
    auto radios = candidatesWithRoles(window, kWindowSearchDepth, {AX::radioButtonRole});
    if (!radios.empty())
        return radios;
    return candidatesWithRoles(window, kWindowSearchDepth, {AX::buttonRole, AX::cellRole});
}

}  // namespace vantlo::BrowserTabEnumerator
