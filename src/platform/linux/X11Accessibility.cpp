#include "platform/linux/X11Accessibility.h"

#include <signal.h>

#include <cerrno>

#include "platform/AXNames.h"
#include "platform/linux/X11Element.h"

namespace vantlo {
namespace {

// How long the facts read by a listing stand in for a fresh read: long enough for the caller to
// walk the listing, short enough that a later action sees the window as it is.
constexpr auto kFactsLifetime = std::chrono::milliseconds(1000);

AXResult value(AXValue v) {
    return AXResult{AXError::success, std::move(v)};
}

AXResult failure(AXError error) {
    return AXResult{error, std::nullopt};
}

bool processExists(Pid pid) {
    return pid > 0 && (::kill(pid, 0) == 0 || errno == EPERM);
}

const X11Element* x11(const AXElementRef& element) {
    return dynamic_cast<const X11Element*>(element.get());
}

}  // namespace

X11Accessibility::X11Accessibility(std::shared_ptr<XcbConnection> connection,
                                   std::shared_ptr<X11WindowList> windows,
                                   std::shared_ptr<X11WindowActions> actions)
    : connection_(std::move(connection)),
      windows_(std::move(windows)),
      actions_(std::move(actions)) {}

bool X11Accessibility::isProcessTrusted() {
    return connection_ && !connection_->isBroken() && connection_->hasWindowManager();
}

AXElementRef X11Accessibility::applicationElement(Pid pid) {
    return std::make_shared<X11Element>(X11Element::Kind::application, pid);
}

AXElementRef X11Accessibility::windowElement(const X11Window& window) {
    return std::make_shared<X11Element>(X11Element::Kind::window, window.pid, window.id, window);
}

std::optional<X11Window> X11Accessibility::factsOf(const X11Element& element) {
    if (element.facts && std::chrono::steady_clock::now() - element.readAt < kFactsLifetime)
        return element.facts;
    if (windows_->mustNotWait()) {
        // The main thread (painting rows, activating as the panel hides) takes the newest
        // reading of the window rather than a round trip per row.
        auto latest = windows_->latestSnapshot();
        if (const X11Window* known = latest->find(element.window))
            return *known;
        if (element.facts)
            return element.facts;
    }
    return windows_->read(element.window);
}

AXResult X11Accessibility::copyAttribute(const AXElementRef& element, std::string_view attribute) {
    const X11Element* e = x11(element);
    if (e == nullptr)
        return failure(AXError::invalidElement);
    if (!connection_ || connection_->isBroken())
        return failure(AXError::apiDisabled);
    switch (e->kind) {
        case X11Element::Kind::application:
            return applicationAttribute(*e, attribute);
        case X11Element::Kind::window:
            return windowAttribute(*e, attribute);
        case X11Element::Kind::closeButton:
            return closeButtonAttribute(*e, attribute);
    }
    return failure(AXError::failure);
}

AXResult X11Accessibility::applicationAttribute(const X11Element& app, std::string_view attribute) {
    if (!processExists(app.pid))
        return failure(AXError::invalidElement);
    if (attribute == AX::role)
        return value(std::string("AXApplication"));
    if (attribute == AX::windows) {
        std::vector<AXElementRef> list;
        auto snapshot = windows_->recentSnapshot();
        for (const auto& window : snapshot->windows) {
            if (window.pid == app.pid && window.isListed())
                list.push_back(windowElement(window));
        }
        return value(std::move(list));
    }
    if (attribute == AX::focusedWindow || attribute == "AXMainWindow") {
        auto active = windows_->read(windows_->activeWindow());
        if (!active || active->pid != app.pid || !active->isListed())
            return failure(AXError::noValue);
        return value(windowElement(*active));
    }
    return failure(AXError::attributeUnsupported);
}

AXResult X11Accessibility::windowAttribute(const X11Element& element, std::string_view attribute) {
    auto facts = factsOf(element);
    if (!facts)
        return failure(AXError::invalidElement);
    if (attribute == AX::role)
        return value(std::string(AX::windowRole));
    if (attribute == AX::title)
        return value(facts->title);
    if (attribute == AX::subrole) {
        return value(
            std::string(facts->isDialogLike() ? AX::dialogSubrole : AX::standardWindowSubrole));
    }
    if (attribute == AX::minimized)
        return value(facts->hidden);
    if (attribute == AX::main || attribute == AX::focused)
        return value(windows_->activeWindow() == facts->id);
    if (attribute == AX::closeButton) {
        return value(AXElementRef(std::make_shared<X11Element>(
            X11Element::Kind::closeButton, facts->pid, facts->id, element.facts)));
    }
    if (attribute == AX::sheet) {
        // A modal dialog of the same process that belongs to this window: what a sheet is.
        auto snapshot = windows_->recentSnapshot();
        for (const auto& window : snapshot->windows) {
            if (window.transientFor == facts->id && window.modal && window.pid == facts->pid)
                return value(windowElement(window));
        }
        return failure(AXError::noValue);
    }
    return failure(AXError::attributeUnsupported);
}

AXResult X11Accessibility::closeButtonAttribute(const X11Element& button,
                                                std::string_view attribute) {
    auto facts = factsOf(button);
    if (!facts)
        return failure(AXError::invalidElement);
    if (attribute == AX::role)
        return value(std::string(AX::buttonRole));
    if (attribute == AX::subrole)
        return value(std::string(AX::closeButtonSubrole));
    if (attribute == AX::enabled) {
        // Without _NET_WM_ALLOWED_ACTIONS the manager says nothing: the attribute is missing.
        if (!facts->closeAllowed)
            return failure(AXError::attributeUnsupported);
        return value(*facts->closeAllowed);
    }
    return failure(AXError::attributeUnsupported);
}

AXError X11Accessibility::setAttribute(const AXElementRef& element, std::string_view attribute,
                                       const AXValue& newValue) {
    const X11Element* e = x11(element);
    if (e == nullptr || e->kind != X11Element::Kind::window)
        return AXError::invalidElement;
    if (!connection_ || connection_->isBroken())
        return AXError::apiDisabled;
    const bool* flag = std::get_if<bool>(&newValue);
    if (flag == nullptr)
        return AXError::failure;
    if (attribute == AX::minimized) {
        bool sent = *flag ? actions_->minimise(e->window) : actions_->activate(e->window);
        return sent ? AXError::success : AXError::invalidElement;
    }
    if (attribute == AX::main || attribute == AX::focused) {
        if (!*flag)
            return AXError::success;
        return actions_->activate(e->window) ? AXError::success : AXError::invalidElement;
    }
    return AXError::attributeUnsupported;
}

AXError X11Accessibility::performAction(const AXElementRef& element, std::string_view action) {
    const X11Element* e = x11(element);
    if (e == nullptr)
        return AXError::invalidElement;
    if (!connection_ || connection_->isBroken())
        return AXError::apiDisabled;
    if (e->kind == X11Element::Kind::window && action == AX::raiseAction)
        return actions_->activate(e->window) ? AXError::success : AXError::invalidElement;
    if (e->kind == X11Element::Kind::closeButton && action == AX::pressAction)
        return actions_->close(e->window) ? AXError::success : AXError::invalidElement;
    return AXError::actionUnsupported;
}

std::optional<std::uint32_t> X11Accessibility::windowNumber(const AXElementRef& element) {
    const X11Element* e = x11(element);
    if (e == nullptr || e->kind == X11Element::Kind::application)
        return std::nullopt;
    return e->window;
}

}  // namespace vantlo
