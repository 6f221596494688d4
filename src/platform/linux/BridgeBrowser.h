#pragma once
// A browser reached through its extension, as the script interpreter's scriptable application:
// the Chromium dictionary (windows front to back, each with tabs, "title", "URL", "id", "index",
// "active tab index"; setting "active tab index" and "index"; "activate"; "close"), answered from
// the extension's latest tab list. The list is read again whenever the extension reported a
// change since, so every script sees the browser as it is, at the cost of one round trip per
// change rather than one per property.
//
// Windows are ordered front to back by the X stacking of the windows they are paired with;
// "activate" raises the front window's X window. A browser that stops answering makes the call
// answer `timedOut` at the run's deadline. Safe to call from any thread.

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/linux/BridgeTransport.h"
#include "platform/linux/BridgeWindow.h"
#include "platform/linux/BrowserWindowDesk.h"
#include "platform/linux/BrowserWindowMatcher.h"
#include "scripting/ScriptableApplication.h"

namespace vantlo {

class BridgeBrowser : public ScriptableApplication {
  public:
    BridgeBrowser(std::string applicationName, Pid pid, std::shared_ptr<BridgeTransport> transport,
                  std::shared_ptr<BrowserWindowDesk> desk);

    const std::string& applicationName() const { return applicationName_; }
    Pid pid() const { return pid_; }
    // The extension reported a change of tabs, windows or focus: the next call reads the list.
    void markChanged();
    // The extension went away: every later call fails, as for a browser that quit.
    void markDisconnected();

    DictionaryReply resolve(const ObjectSpecifier& object, const ScriptDeadline& deadline) override;
    DictionaryReply countElements(const ObjectSpecifier& container, std::string_view elementClass,
                                  const ScriptDeadline& deadline) override;
    DictionaryReply getProperty(const ObjectSpecifier& object, std::string_view property,
                                const ScriptDeadline& deadline) override;
    DictionaryReply setProperty(const ObjectSpecifier& object, std::string_view property,
                                const RuntimeValue& value, const ScriptDeadline& deadline) override;
    DictionaryReply perform(std::string_view command, const RuntimeValue& directParameter,
                            const ScriptDeadline& deadline) override;
    // The page icons the extension reported in the last list read: the front-most tab of each
    // address wins. Read without waiting for a script that is talking to the browser.
    std::map<std::string, std::string> pageIconAddresses() const override;

  private:
    struct Found {
        std::size_t window = 0;
        std::optional<std::size_t> tab;
    };

    // Reads the list when it may be out of date; an unanswered reply otherwise.
    std::optional<DictionaryReply> refresh(const ScriptDeadline& deadline);
    void orderFrontToBack(std::vector<BridgeWindow>& windows);
    bool locate(const ObjectSpecifier& object, Found& found) const;
    ObjectSpecifier canonical(const Found& found) const;
    DictionaryReply windowProperty(const Found& found, std::string_view property) const;
    DictionaryReply tabProperty(const Found& found, std::string_view property) const;
    DictionaryReply command(nlohmann::json request, const ScriptDeadline& deadline);
    DictionaryReply setActiveTab(const Found& found, const RuntimeValue& value,
                                 const ScriptDeadline& deadline);
    DictionaryReply moveWindow(const Found& found, const RuntimeValue& value,
                               const ScriptDeadline& deadline);
    DictionaryReply close(const RuntimeValue& directParameter, const ScriptDeadline& deadline);
    DictionaryReply raiseFrontWindow();

    const std::string applicationName_;
    const Pid pid_;
    std::shared_ptr<BridgeTransport> transport_;
    std::shared_ptr<BrowserWindowDesk> desk_;

    // One script run at a time talks to the browser; the state below is guarded by it.
    mutable std::recursive_mutex mutex_;
    // Set from the server's thread without the lock, so an event never waits for a script.
    std::atomic<bool> stale_{true};
    std::atomic<bool> disconnected_{false};
    std::vector<BridgeWindow> windows_;  // front to back
    std::map<std::int64_t, std::uint32_t> deskWindows_;
    BrowserWindowMatcher matcher_;

    mutable std::mutex iconsMutex_;  // guards pageIcons_ alone, never held while calling out
    std::map<std::string, std::string> pageIcons_;
};

}  // namespace vantlo
