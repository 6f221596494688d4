#include "testing/FakeBrowserDictionary.h"

#include <algorithm>

namespace vantlo {

FakeBrowserDictionary::FakeBrowserDictionary(std::string applicationName, BrowserFamily family)
    : applicationName_(std::move(applicationName)), family_(family) {}

std::int64_t FakeBrowserDictionary::addWindow(const std::vector<PageSpec>& pages,
                                              std::int64_t activeTab) {
    Window window;
    window.id = nextID_++;
    for (const auto& page : pages)
        window.tabs.push_back(Tab{nextID_++, page.title, page.url, page.iconURL});
    window.activeTabIndex = activeTab;
    windows_.push_back(window);
    return window.id;
}

std::map<std::string, std::string> FakeBrowserDictionary::pageIconAddresses() const {
    std::map<std::string, std::string> icons;
    for (const auto& window : windows_) {
        for (const auto& tab : window.tabs) {
            if (!tab.iconURL.empty())
                icons.emplace(tab.url, tab.iconURL);
        }
    }
    return icons;
}

const FakeBrowserDictionary::Window* FakeBrowserDictionary::windowWithID(std::int64_t id) const {
    for (const auto& window : windows_) {
        if (window.id == id)
            return &window;
    }
    return nullptr;
}

const FakeBrowserDictionary::Tab& FakeBrowserDictionary::activeTab(
    std::size_t windowPosition) const {
    const Window& window = windows_.at(windowPosition);
    return window.tabs.at(static_cast<std::size_t>(window.activeTabIndex - 1));
}

bool FakeBrowserDictionary::answers(const ScriptDeadline& deadline, DictionaryReply& refusal) {
    ++calls_;
    if (hangingClock_) {
        hangingClock_->set(std::max(hangingClock_->now(), deadline.at()));
        refusal = DictionaryReply::timedOut();
        return false;
    }
    if (refusing_) {
        refusal = DictionaryReply::failed("not allowed to send events to " + applicationName_);
        return false;
    }
    return true;
}

bool FakeBrowserDictionary::locate(const ObjectSpecifier& object, Found& found) {
    const auto& path = object.path;
    if (path.empty() || path.size() > 2 || path[0].elementClass != "window")
        return false;
    auto pick = [](const SpecifierStep& step, const auto& items, std::size_t& out) {
        if (step.by == SpecifierStep::By::index)
            return elementPosition(step.index, items.size(), out);
        for (std::size_t i = 0; i < items.size(); ++i) {
            if (std::to_string(items[i].id) == step.id) {
                out = i;
                return true;
            }
        }
        return false;
    };
    if (!pick(path[0], windows_, found.windowPosition))
        return false;
    found.window = &windows_[found.windowPosition];
    if (path.size() == 1)
        return true;
    if (path[1].elementClass != "tab" || !pick(path[1], found.window->tabs, found.tabPosition))
        return false;
    found.tab = &found.window->tabs[found.tabPosition];
    return true;
}

ObjectSpecifier FakeBrowserDictionary::canonical(const Found& found) const {
    ObjectSpecifier object{applicationName_, {}};
    object.path.push_back(SpecifierStep::withID("window", std::to_string(found.window->id)));
    if (found.tab)
        object.path.push_back(SpecifierStep::withID("tab", std::to_string(found.tab->id)));
    return object;
}

DictionaryReply FakeBrowserDictionary::resolve(const ObjectSpecifier& object,
                                               const ScriptDeadline& deadline) {
    DictionaryReply refusal;
    if (!answers(deadline, refusal))
        return refusal;
    Found found;
    if (!locate(object, found))
        return DictionaryReply::failed("can't get " + object.describe() + ": invalid index");
    return DictionaryReply::ok(canonical(found));
}

DictionaryReply FakeBrowserDictionary::countElements(const ObjectSpecifier& container,
                                                     std::string_view elementClass,
                                                     const ScriptDeadline& deadline) {
    DictionaryReply refusal;
    if (!answers(deadline, refusal))
        return refusal;
    if (container.path.empty() && elementClass == "window")
        return DictionaryReply::ok(static_cast<std::int64_t>(windows_.size()));
    Found found;
    if (elementClass == "tab" && locate(container, found) && !found.tab)
        return DictionaryReply::ok(static_cast<std::int64_t>(found.window->tabs.size()));
    return DictionaryReply::failed("can't count " + std::string(elementClass));
}

DictionaryReply FakeBrowserDictionary::getProperty(const ObjectSpecifier& object,
                                                   std::string_view property,
                                                   const ScriptDeadline& deadline) {
    DictionaryReply refusal;
    if (!answers(deadline, refusal))
        return refusal;
    if (object.path.empty()) {
        if (property == "name")
            return DictionaryReply::ok(applicationName_);
        return DictionaryReply::failed("can't get " + std::string(property));
    }
    Found found;
    if (!locate(object, found))
        return DictionaryReply::failed("can't get " + object.describe());
    return found.tab ? tabProperty(found, property) : windowProperty(found, property);
}

DictionaryReply FakeBrowserDictionary::windowProperty(Found& found, std::string_view property) {
    Window& window = *found.window;
    if (property == "index")
        return DictionaryReply::ok(static_cast<std::int64_t>(found.windowPosition + 1));
    if (property == "id")
        return DictionaryReply::ok(window.id);
    if (family_ == BrowserFamily::chromium && property == "active tab index")
        return DictionaryReply::ok(window.activeTabIndex);
    if (family_ == BrowserFamily::safari && property == "current tab") {
        Found current = found;
        if (!elementPosition(window.activeTabIndex, window.tabs.size(), current.tabPosition))
            return DictionaryReply::failed("no current tab");
        current.tab = &window.tabs[current.tabPosition];
        return DictionaryReply::ok(canonical(current));
    }
    return DictionaryReply::failed("windows have no " + std::string(property));
}

DictionaryReply FakeBrowserDictionary::tabProperty(Found& found, std::string_view property) {
    const Tab& tab = *found.tab;
    const char* titleName = family_ == BrowserFamily::chromium ? "title" : "name";
    if (property == titleName)
        return DictionaryReply::ok(tab.title);
    if (property == "URL")
        return DictionaryReply::ok(tab.url);
    if (property == "id" && family_ == BrowserFamily::chromium)
        return DictionaryReply::ok(tab.id);
    if (property == "index")
        return DictionaryReply::ok(static_cast<std::int64_t>(found.tabPosition + 1));
    return DictionaryReply::failed("tabs have no " + std::string(property));
}

DictionaryReply FakeBrowserDictionary::setProperty(const ObjectSpecifier& object,
                                                   std::string_view property,
                                                   const RuntimeValue& value,
                                                   const ScriptDeadline& deadline) {
    DictionaryReply refusal;
    if (!answers(deadline, refusal))
        return refusal;
    Found found;
    if (!locate(object, found) || found.tab)
        return DictionaryReply::failed("can't set " + std::string(property));
    return setWindowProperty(found, property, value);
}

DictionaryReply FakeBrowserDictionary::setWindowProperty(Found& found, std::string_view property,
                                                         const RuntimeValue& value) {
    Window& window = *found.window;
    auto* number = value.get<std::int64_t>();
    if (property == "index" && number) {
        std::size_t to = 0;
        if (!elementPosition(*number, windows_.size(), to))
            return DictionaryReply::failed("invalid window index");
        Window moved = window;
        windows_.erase(windows_.begin() + static_cast<std::ptrdiff_t>(found.windowPosition));
        windows_.insert(windows_.begin() + static_cast<std::ptrdiff_t>(to), moved);
        if (to == 0 && broughtToFront_)
            broughtToFront_(moved.id);
        return DictionaryReply::ok();
    }
    if (family_ == BrowserFamily::chromium && property == "active tab index" && number) {
        std::size_t at = 0;
        if (*number < 1 || !elementPosition(*number, window.tabs.size(), at))
            return DictionaryReply::failed("invalid tab index");
        window.activeTabIndex = *number;
        return DictionaryReply::ok();
    }
    if (family_ == BrowserFamily::safari && property == "current tab") {
        auto* target = value.get<ObjectSpecifier>();
        Found tab;
        if (!target || !locate(*target, tab) || !tab.tab || tab.window != &window)
            return DictionaryReply::failed("can't make that the current tab");
        window.activeTabIndex = static_cast<std::int64_t>(tab.tabPosition + 1);
        return DictionaryReply::ok();
    }
    return DictionaryReply::failed("can't set " + std::string(property) + " of a window");
}

DictionaryReply FakeBrowserDictionary::perform(std::string_view command,
                                               const RuntimeValue& directParameter,
                                               const ScriptDeadline& deadline) {
    DictionaryReply refusal;
    if (!answers(deadline, refusal))
        return refusal;
    if (command == "activate" && directParameter.isMissing()) {
        ++activations_;
        return DictionaryReply::ok();
    }
    if (command == "close")
        return close(directParameter);
    return DictionaryReply::failed(applicationName_ + " doesn't understand " +
                                   std::string(command));
}

DictionaryReply FakeBrowserDictionary::close(const RuntimeValue& directParameter) {
    auto* object = directParameter.get<ObjectSpecifier>();
    Found found;
    if (!object || !locate(*object, found))
        return DictionaryReply::failed("can't close that");
    auto windowAt = windows_.begin() + static_cast<std::ptrdiff_t>(found.windowPosition);
    if (!found.tab) {
        for (const auto& tab : found.window->tabs)
            closedTabTitles_.push_back(tab.title);
        windows_.erase(windowAt);
        return DictionaryReply::ok();
    }
    Window& window = *found.window;
    closedTabTitles_.push_back(found.tab->title);
    window.tabs.erase(window.tabs.begin() + static_cast<std::ptrdiff_t>(found.tabPosition));
    if (window.tabs.empty()) {
        windows_.erase(windowAt);
        return DictionaryReply::ok();
    }
    auto closedIndex = static_cast<std::int64_t>(found.tabPosition + 1);
    if (window.activeTabIndex > closedIndex ||
        window.activeTabIndex > static_cast<std::int64_t>(window.tabs.size()))
        --window.activeTabIndex;
    return DictionaryReply::ok();
}

}  // namespace vantlo
