#include "testing/FakeAccessibility.h"

#include "platform/AXNames.h"

namespace vantlo {

struct FakeAccessibility::Element : AXElement {
    Kind kind = Kind::application;
    Pid pid = 0;
    std::uint32_t window = 0;
    std::weak_ptr<FakeAXNode> node;
};

namespace {
AXResult answer(AXValue value) {
    return {AXError::success, std::move(value)};
}
AXResult failure(AXError error) {
    return {error, std::nullopt};
}
}  // namespace

FakeAccessibility::FakeAccessibility(FakeDesktop& desktop) : desktop_(desktop) {}
FakeAccessibility::~FakeAccessibility() = default;

bool FakeAccessibility::isProcessTrusted() {
    std::lock_guard lock(desktop_.mutex());
    return trusted_;
}

void FakeAccessibility::setTrusted(bool trusted) {
    std::lock_guard lock(desktop_.mutex());
    trusted_ = trusted;
}

AXElementRef FakeAccessibility::element(Kind kind, Pid pid, std::uint32_t window,
                                        const FakeAXNode::Ref& node) {
    std::lock_guard lock(desktop_.mutex());
    std::int64_t id = kind == Kind::application ? pid : window;
    Key key{kind, id, node.get()};
    auto it = elements_.find(key);
    if (it != elements_.end() && (!node || it->second->node.lock() == node))
        return it->second;
    auto made = std::make_shared<Element>();
    made->kind = kind;
    made->pid = pid;
    made->window = window;
    made->node = node;
    elements_[key] = made;
    return made;
}

AXElementRef FakeAccessibility::applicationElement(Pid pid) {
    return element(Kind::application, pid, 0, nullptr);
}

AXElementRef FakeAccessibility::windowElement(const FakeWindow& window) {
    return element(Kind::window, window.pid, window.number, nullptr);
}

AXElementRef FakeAccessibility::nodeElement(const FakeAXNode::Ref& node, const FakeWindow& window) {
    return element(Kind::node, window.pid, window.number, node);
}

std::vector<AXElementRef> FakeAccessibility::nodeElements(const std::vector<FakeAXNode::Ref>& nodes,
                                                          const FakeWindow& window) {
    std::vector<AXElementRef> result;
    for (const auto& node : nodes)
        result.push_back(nodeElement(node, window));
    return result;
}

AXError FakeAccessibility::resolve(const Element& element, FakeApp*& app, FakeWindow*& window) {
    if (!trusted_)
        return AXError::apiDisabled;
    window = nullptr;
    app = desktop_.app(element.pid);
    if (!app || app->gone)
        return AXError::invalidElement;
    if (element.kind != Kind::application) {
        window = desktop_.window(element.window);
        if (!window || window->closed)
            return AXError::invalidElement;
        if (element.kind == Kind::sheet && !window->hasSheet)
            return AXError::invalidElement;
    }
    if (element.kind == Kind::node && element.node.expired())
        return AXError::invalidElement;
    return app->axError;
}

AXResult FakeAccessibility::copyAttribute(const AXElementRef& ref, std::string_view attribute) {
    std::lock_guard lock(desktop_.mutex());
    auto* element = dynamic_cast<const Element*>(ref.get());
    if (!element)
        return failure(trusted_ ? AXError::invalidElement : AXError::apiDisabled);
    FakeApp* app = nullptr;
    FakeWindow* window = nullptr;
    if (auto error = resolve(*element, app, window); error != AXError::success)
        return failure(error);
    switch (element->kind) {
        case Kind::application:
            return readApplication(*app, attribute);
        case Kind::window:
            return readWindow(*window, attribute);
        case Kind::closeButton:
            return readCloseButton(*window, attribute);
        case Kind::sheet:
            if (attribute == AX::role)
                return answer(std::string(AX::sheetSubrole));
            return failure(AXError::attributeUnsupported);
        case Kind::node:
            return readNode(*element, *window, attribute);
    }
    return failure(AXError::failure);
}

AXResult FakeAccessibility::readApplication(FakeApp& app, std::string_view attribute) {
    auto windows = desktop_.windowsOf(app);
    if (attribute == AX::windows || attribute == AX::children) {
        std::vector<AXElementRef> elements;
        for (auto* window : windows)
            elements.push_back(windowElement(*window));
        return answer(std::move(elements));
    }
    if (attribute == AX::focusedWindow) {
        for (auto* window : windows) {
            if (window->focused)
                return answer(windowElement(*window));
        }
        if (windows.empty())
            return failure(AXError::noValue);
        return answer(windowElement(*windows.front()));
    }
    if (attribute == AX::title)
        return app.name ? answer(*app.name) : failure(AXError::noValue);
    if (attribute == AX::role)
        return answer(std::string("AXApplication"));
    return failure(AXError::attributeUnsupported);
}

AXResult FakeAccessibility::readWindow(FakeWindow& window, std::string_view attribute) {
    if (window.unsupportedAttributes.count(attribute))
        return failure(AXError::attributeUnsupported);
    if (auto it = window.attributes.find(attribute); it != window.attributes.end())
        return answer(it->second);
    if (attribute == AX::title)
        return window.title ? answer(*window.title) : failure(AXError::noValue);
    if (attribute == AX::role)
        return answer(std::string(AX::windowRole));
    if (attribute == AX::subrole)
        return window.subrole.empty() ? failure(AXError::noValue) : answer(window.subrole);
    if (attribute == AX::minimized)
        return answer(window.minimized);
    if (attribute == AX::main)
        return answer(window.main);
    if (attribute == AX::focused)
        return answer(window.focused);
    if (attribute == AX::closeButton) {
        if (window.closeButton == FakeWindow::CloseButton::none)
            return failure(AXError::noValue);
        return answer(element(Kind::closeButton, window.pid, window.number, nullptr));
    }
    if (attribute == AX::sheet) {
        if (!window.hasSheet)
            return failure(AXError::noValue);
        return answer(element(Kind::sheet, window.pid, window.number, nullptr));
    }
    if (attribute == AX::children)
        return answer(nodeElements(window.content, window));
    return failure(AXError::attributeUnsupported);
}

AXResult FakeAccessibility::readCloseButton(FakeWindow& window, std::string_view attribute) {
    using CloseButton = FakeWindow::CloseButton;
    if (window.closeButton == CloseButton::none)
        return failure(AXError::invalidElement);
    if (attribute == AX::role)
        return answer(std::string(AX::buttonRole));
    if (attribute == AX::subrole)
        return answer(std::string(AX::closeButtonSubrole));
    if (attribute == AX::enabled) {
        if (window.closeButton == CloseButton::missingEnabled)
            return failure(AXError::attributeUnsupported);
        return answer(window.closeButton == CloseButton::enabled);
    }
    return failure(AXError::attributeUnsupported);
}

AXResult FakeAccessibility::readNode(const Element& element, FakeWindow& window,
                                     std::string_view attribute) {
    auto node = element.node.lock();
    if (attribute == AX::role)
        return answer(node->role);
    if (attribute == AX::children)
        return answer(nodeElements(node->children, window));
    if (auto it = node->attributes.find(attribute); it != node->attributes.end())
        return answer(it->second);
    return failure(AXError::attributeUnsupported);
}

AXError FakeAccessibility::setAttribute(const AXElementRef& ref, std::string_view attribute,
                                        const AXValue& value) {
    std::lock_guard lock(desktop_.mutex());
    auto* element = dynamic_cast<const Element*>(ref.get());
    if (!element)
        return trusted_ ? AXError::invalidElement : AXError::apiDisabled;
    FakeApp* app = nullptr;
    FakeWindow* window = nullptr;
    if (auto error = resolve(*element, app, window); error != AXError::success)
        return error;
    auto& effects = desktop_.effects();
    std::string target = describe(*element);
    effects.axWrites.push_back({target, std::string(attribute), value});
    effects.note("set " + std::string(attribute) + " of " + target);
    if (element->kind == Kind::window)
        return writeWindow(*window, attribute, value);
    if (element->kind == Kind::node) {
        element->node.lock()->attributes[std::string(attribute)] = value;
        return AXError::success;
    }
    return AXError::attributeUnsupported;
}

AXError FakeAccessibility::writeWindow(FakeWindow& window, std::string_view attribute,
                                       const AXValue& value) {
    auto* flag = std::get_if<bool>(&value);
    if (!flag)
        return AXError::failure;
    auto& effects = desktop_.effects();
    if (attribute == AX::minimized) {
        if (window.minimized != *flag)
            (*flag ? effects.minimized : effects.unminimized).push_back(window.number);
        window.minimized = *flag;
        return AXError::success;
    }
    if (attribute != AX::main && attribute != AX::focused)
        return AXError::attributeUnsupported;
    bool FakeWindow::*member = attribute == AX::main ? &FakeWindow::main : &FakeWindow::focused;
    if (*flag) {
        if (auto* app = desktop_.app(window.pid)) {
            for (auto* other : desktop_.windowsOf(*app))
                other->*member = false;
        }
    }
    window.*member = *flag;
    return AXError::success;
}

AXError FakeAccessibility::performAction(const AXElementRef& ref, std::string_view action) {
    std::lock_guard lock(desktop_.mutex());
    auto* element = dynamic_cast<const Element*>(ref.get());
    if (!element)
        return trusted_ ? AXError::invalidElement : AXError::apiDisabled;
    FakeApp* app = nullptr;
    FakeWindow* window = nullptr;
    if (auto error = resolve(*element, app, window); error != AXError::success)
        return error;
    auto& effects = desktop_.effects();
    std::string target = describe(*element);
    effects.axActions.push_back({target, std::string(action)});
    effects.note(std::string(action) + " " + target);
    switch (element->kind) {
        case Kind::window:
            if (action != AX::raiseAction)
                return AXError::actionUnsupported;
            effects.raised.push_back(window->number);
            desktop_.raise(*window);
            return AXError::success;
        case Kind::closeButton:
            if (action != AX::pressAction)
                return AXError::actionUnsupported;
            return pressCloseButton(*window);
        case Kind::node: {
            auto node = element->node.lock();
            return node->onAction ? node->onAction(*node, action) : AXError::success;
        }
        default:
            return AXError::actionUnsupported;
    }
}

AXError FakeAccessibility::pressCloseButton(FakeWindow& window) {
    if (window.closeButton == FakeWindow::CloseButton::none)
        return AXError::invalidElement;
    if (window.closeButton == FakeWindow::CloseButton::disabled)
        return AXError::cannotComplete;
    if (window.refusesClose)
        return AXError::success;
    desktop_.effects().closedByButton.push_back(window.number);
    desktop_.closeWindow(window);
    return AXError::success;
}

std::optional<std::uint32_t> FakeAccessibility::windowNumber(const AXElementRef& ref) {
    std::lock_guard lock(desktop_.mutex());
    auto* element = dynamic_cast<const Element*>(ref.get());
    if (!element || element->kind != Kind::window)
        return std::nullopt;
    FakeApp* app = nullptr;
    FakeWindow* window = nullptr;
    if (resolve(*element, app, window) != AXError::success || window->hidesNumber)
        return std::nullopt;
    return window->number;
}

std::string FakeAccessibility::describe(const Element& element) {
    auto number = std::to_string(element.window);
    switch (element.kind) {
        case Kind::application:
            return "app " + std::to_string(element.pid);
        case Kind::window:
            return "window " + number;
        case Kind::closeButton:
            return "close button of window " + number;
        case Kind::sheet:
            return "sheet of window " + number;
        case Kind::node: {
            auto node = element.node.lock();
            std::string text = node ? node->role : "node";
            if (node) {
                auto title = node->attributes.find(AX::title);
                if (title != node->attributes.end()) {
                    if (auto* s = std::get_if<std::string>(&title->second))
                        text += " " + *s;
                }
            }
            return text;
        }
    }
    return "element";
}

}  // namespace vantlo
