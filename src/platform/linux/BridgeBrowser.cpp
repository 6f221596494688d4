#include "platform/linux/BridgeBrowser.h"

#include <algorithm>
#include <charconv>

namespace vantlo {
namespace {

using nlohmann::json;

// By id: scripts read every tab by the id reference they resolved it to, so this runs for each
// property of each tab; ids are compared as numbers, without making a string per element.
template <class Items>
bool pick(const SpecifierStep& step, const Items& items, std::size_t& out) {
    if (step.by == SpecifierStep::By::index)
        return elementPosition(step.index, items.size(), out);
    std::int64_t id = 0;
    const char* end = step.id.data() + step.id.size();
    auto [stop, error] = std::from_chars(step.id.data(), end, id);
    if (error != std::errc() || stop != end)
        return false;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (items[i].id == id) {
            out = i;
            return true;
        }
    }
    return false;
}

DictionaryReply fromBridge(const BridgeReply& reply) {
    switch (reply.status) {
        case BridgeReply::Status::ok:
            return DictionaryReply::ok();
        case BridgeReply::Status::timedOut:
            return DictionaryReply::timedOut();
        case BridgeReply::Status::failed:
            break;
    }
    return DictionaryReply::failed(reply.error.empty() ? "the browser refused" : reply.error);
}

std::int64_t activeIndex(const BridgeWindow& window) {
    for (std::size_t i = 0; i < window.tabs.size(); ++i) {
        if (window.tabs[i].active)
            return static_cast<std::int64_t>(i + 1);
    }
    return 0;
}

}  // namespace

BridgeBrowser::BridgeBrowser(std::string applicationName, Pid pid,
                             std::shared_ptr<BridgeTransport> transport,
                             std::shared_ptr<BrowserWindowDesk> desk)
    : applicationName_(std::move(applicationName)),
      pid_(pid),
      transport_(std::move(transport)),
      desk_(std::move(desk)) {}

void BridgeBrowser::markChanged() {
    stale_ = true;
}

void BridgeBrowser::markDisconnected() {
    disconnected_ = true;
}

std::map<std::string, std::string> BridgeBrowser::pageIconAddresses() const {
    std::lock_guard lock(iconsMutex_);
    return pageIcons_;
}

std::optional<DictionaryReply> BridgeBrowser::refresh(const ScriptDeadline& deadline) {
    if (disconnected_)
        return DictionaryReply::failed(applicationName_ + " is no longer connected");
    if (!stale_)
        return std::nullopt;
    BridgeReply reply = transport_->call(json{{"command", "list"}}, deadline);
    if (reply.status != BridgeReply::Status::ok)
        return fromBridge(reply);
    std::vector<BridgeWindow> windows = parseBridgeWindows(reply.result);
    orderFrontToBack(windows);
    std::map<std::string, std::string> icons;
    for (const auto& window : windows) {
        for (const auto& tab : window.tabs) {
            if (!tab.url.empty() && !tab.favIconUrl.empty())
                icons.emplace(tab.url, tab.favIconUrl);
        }
    }
    {
        std::lock_guard lock(iconsMutex_);
        pageIcons_ = std::move(icons);
    }
    windows_ = std::move(windows);
    stale_ = false;
    return std::nullopt;
}

// The X stacking is the truth about which window is in front; windows without an X window
// (not paired yet, or minimised away) follow in the extension's focus order.
void BridgeBrowser::orderFrontToBack(std::vector<BridgeWindow>& windows) {
    std::vector<DeskWindow> desk = desk_ ? desk_->windowsOf(pid_) : std::vector<DeskWindow>{};
    std::uint32_t active = desk_ ? desk_->activeWindow() : 0;
    deskWindows_ = matcher_.match(windows, desk, active);
    auto rank = [&](const BridgeWindow& window) -> std::size_t {
        auto paired = deskWindows_.find(window.id);
        if (paired == deskWindows_.end())
            return desk.size();
        auto at = std::find_if(desk.begin(), desk.end(),
                               [&](const DeskWindow& w) { return w.id == paired->second; });
        return static_cast<std::size_t>(at - desk.begin());
    };
    std::stable_sort(windows.begin(), windows.end(),
                     [&](const auto& a, const auto& b) { return rank(a) < rank(b); });
}

bool BridgeBrowser::locate(const ObjectSpecifier& object, Found& found) const {
    const auto& path = object.path;
    if (path.empty() || path.size() > 2 || path[0].elementClass != "window")
        return false;
    if (!pick(path[0], windows_, found.window))
        return false;
    if (path.size() == 1)
        return true;
    std::size_t tab = 0;
    if (path[1].elementClass != "tab" || !pick(path[1], windows_[found.window].tabs, tab))
        return false;
    found.tab = tab;
    return true;
}

ObjectSpecifier BridgeBrowser::canonical(const Found& found) const {
    const BridgeWindow& window = windows_[found.window];
    ObjectSpecifier object{applicationName_, {}};
    object.path.push_back(SpecifierStep::withID("window", std::to_string(window.id)));
    if (found.tab)
        object.path.push_back(
            SpecifierStep::withID("tab", std::to_string(window.tabs[*found.tab].id)));
    return object;
}

DictionaryReply BridgeBrowser::resolve(const ObjectSpecifier& object,
                                       const ScriptDeadline& deadline) {
    std::lock_guard lock(mutex_);
    if (auto unanswered = refresh(deadline))
        return *unanswered;
    Found found;
    if (!locate(object, found))
        return DictionaryReply::failed("can't get " + object.describe() + ": invalid index");
    return DictionaryReply::ok(canonical(found));
}

DictionaryReply BridgeBrowser::countElements(const ObjectSpecifier& container,
                                             std::string_view elementClass,
                                             const ScriptDeadline& deadline) {
    std::lock_guard lock(mutex_);
    if (auto unanswered = refresh(deadline))
        return *unanswered;
    if (container.path.empty() && elementClass == "window")
        return DictionaryReply::ok(static_cast<std::int64_t>(windows_.size()));
    Found found;
    if (elementClass == "tab" && locate(container, found) && !found.tab)
        return DictionaryReply::ok(static_cast<std::int64_t>(windows_[found.window].tabs.size()));
    return DictionaryReply::failed("can't count " + std::string(elementClass));
}

DictionaryReply BridgeBrowser::getProperty(const ObjectSpecifier& object, std::string_view property,
                                           const ScriptDeadline& deadline) {
    std::lock_guard lock(mutex_);
    if (object.path.empty()) {
        if (property == "name")
            return DictionaryReply::ok(applicationName_);
        return DictionaryReply::failed("can't get " + std::string(property));
    }
    if (auto unanswered = refresh(deadline))
        return *unanswered;
    Found found;
    if (!locate(object, found))
        return DictionaryReply::failed("can't get " + object.describe());
    return found.tab ? tabProperty(found, property) : windowProperty(found, property);
}

DictionaryReply BridgeBrowser::windowProperty(const Found& found, std::string_view property) const {
    const BridgeWindow& window = windows_[found.window];
    if (property == "index")
        return DictionaryReply::ok(static_cast<std::int64_t>(found.window + 1));
    if (property == "id")
        return DictionaryReply::ok(window.id);
    if (property == "active tab index")
        return DictionaryReply::ok(activeIndex(window));
    if (property == "minimized")
        return DictionaryReply::ok(window.minimized);
    return DictionaryReply::failed("windows have no " + std::string(property));
}

DictionaryReply BridgeBrowser::tabProperty(const Found& found, std::string_view property) const {
    const BridgeTab& tab = windows_[found.window].tabs[*found.tab];
    if (property == "title")
        return DictionaryReply::ok(tab.title);
    if (property == "URL")
        return DictionaryReply::ok(tab.url);
    if (property == "id")
        return DictionaryReply::ok(tab.id);
    if (property == "index")
        return DictionaryReply::ok(static_cast<std::int64_t>(*found.tab + 1));
    return DictionaryReply::failed("tabs have no " + std::string(property));
}

DictionaryReply BridgeBrowser::setProperty(const ObjectSpecifier& object, std::string_view property,
                                           const RuntimeValue& value,
                                           const ScriptDeadline& deadline) {
    std::lock_guard lock(mutex_);
    if (auto unanswered = refresh(deadline))
        return *unanswered;
    Found found;
    if (!locate(object, found) || found.tab)
        return DictionaryReply::failed("can't set " + std::string(property));
    if (property == "active tab index")
        return setActiveTab(found, value, deadline);
    if (property == "index")
        return moveWindow(found, value, deadline);
    return DictionaryReply::failed("can't set " + std::string(property) + " of a window");
}

DictionaryReply BridgeBrowser::command(json request, const ScriptDeadline& deadline) {
    BridgeReply reply = transport_->call(request, deadline);
    // Whatever the browser did, the next call reads its state again.
    stale_ = true;
    return fromBridge(reply);
}

DictionaryReply BridgeBrowser::setActiveTab(const Found& found, const RuntimeValue& value,
                                            const ScriptDeadline& deadline) {
    BridgeWindow& window = windows_[found.window];
    auto* number = value.get<std::int64_t>();
    std::size_t at = 0;
    if (!number || *number < 1 || !elementPosition(*number, window.tabs.size(), at))
        return DictionaryReply::failed("invalid tab index");
    std::int64_t tabID = window.tabs[at].id;
    DictionaryReply reply = command({{"command", "activate"}, {"tabId", tabID}}, deadline);
    if (reply.isOk()) {
        for (std::size_t i = 0; i < window.tabs.size(); ++i)
            window.tabs[i].active = i == at;
        stale_ = false;
    }
    return reply;
}

// Only bringing a window to the front is supported, which is all a switcher asks.
DictionaryReply BridgeBrowser::moveWindow(const Found& found, const RuntimeValue& value,
                                          const ScriptDeadline& deadline) {
    auto* number = value.get<std::int64_t>();
    if (!number || *number != 1)
        return DictionaryReply::failed("a window can only be brought to the front");
    std::int64_t windowID = windows_[found.window].id;
    DictionaryReply reply = command({{"command", "focusWindow"}, {"windowId", windowID}}, deadline);
    if (reply.isOk()) {
        std::rotate(windows_.begin(), windows_.begin() + static_cast<std::ptrdiff_t>(found.window),
                    windows_.begin() + static_cast<std::ptrdiff_t>(found.window) + 1);
        stale_ = false;
    }
    return reply;
}

DictionaryReply BridgeBrowser::perform(std::string_view command,
                                       const RuntimeValue& directParameter,
                                       const ScriptDeadline& deadline) {
    std::lock_guard lock(mutex_);
    if (auto unanswered = refresh(deadline))
        return *unanswered;
    if (command == "activate" && directParameter.isMissing())
        return raiseFrontWindow();
    if (command == "close")
        return close(directParameter, deadline);
    return DictionaryReply::failed(applicationName_ + " doesn't understand " +
                                   std::string(command));
}

// The extension already asked the browser to focus the window; the window manager may refuse a
// browser's own request, so the switcher asks as a pager too.
DictionaryReply BridgeBrowser::raiseFrontWindow() {
    if (!desk_)
        return DictionaryReply::ok();
    std::uint32_t target = 0;
    if (!windows_.empty()) {
        auto paired = deskWindows_.find(windows_.front().id);
        if (paired != deskWindows_.end())
            target = paired->second;
    }
    if (!target) {
        auto desk = desk_->windowsOf(pid_);
        if (!desk.empty())
            target = desk.front().id;
    }
    if (target)
        desk_->raise(target);
    return DictionaryReply::ok();
}

DictionaryReply BridgeBrowser::close(const RuntimeValue& directParameter,
                                     const ScriptDeadline& deadline) {
    auto* object = directParameter.get<ObjectSpecifier>();
    Found found;
    if (!object || !locate(*object, found) || !found.tab)
        return DictionaryReply::failed("can't close that");
    std::int64_t tabID = windows_[found.window].tabs[*found.tab].id;
    return command({{"command", "close"}, {"tabId", tabID}}, deadline);
}

}  // namespace vantlo
