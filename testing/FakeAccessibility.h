#pragma once
// The Accessibility interface of the fake desktop. Application and window elements read the
// FakeDesktop; window content reads FakeAXNode trees. The same thing always answers the same
// element, so elements compare by handle as on a real desktop.
//
// Failures it reproduces: an untrusted process (`setTrusted(false)`: every call answers
// apiDisabled), an application that denies access (FakeApp::axError), attributes a window does
// not support (FakeWindow::unsupportedAttributes, or any name it does not know), and stale
// elements (a closed window or a quit application: invalidElement).
//
// Writes and actions are recorded in FakeEffects and applied: AXMinimized un-minimises or
// minimises, AXMain and AXFocused mark the window, AXRaise brings it to the front, AXPress on an
// enabled close button closes the window unless it refuses; node attributes are stored and node
// actions go to the node's handler.

#include <map>
#include <memory>
#include <tuple>

#include "platform/Accessibility.h"
#include "testing/FakeDesktop.h"

namespace vantlo {

class FakeAccessibility : public Accessibility {
  public:
    explicit FakeAccessibility(FakeDesktop& desktop);
    ~FakeAccessibility() override;

    bool isProcessTrusted() override;
    AXElementRef applicationElement(Pid pid) override;
    AXResult copyAttribute(const AXElementRef& element, std::string_view attribute) override;
    AXError setAttribute(const AXElementRef& element, std::string_view attribute,
                         const AXValue& value) override;
    AXError performAction(const AXElementRef& element, std::string_view action) override;
    std::optional<std::uint32_t> windowNumber(const AXElementRef& element) override;

    void setTrusted(bool trusted);
    // The element of a window, as the application's AXWindows hands it out.
    AXElementRef windowElement(const FakeWindow& window);
    // The element of a node inside `window`'s content.
    AXElementRef nodeElement(const FakeAXNode::Ref& node, const FakeWindow& window);

  private:
    struct Element;
    enum class Kind { application, window, closeButton, sheet, node };
    using Key = std::tuple<Kind, std::int64_t, const void*>;

    AXElementRef element(Kind kind, Pid pid, std::uint32_t window, const FakeAXNode::Ref& node);
    // The element's window (or nullptr for the application), or an error when it is stale.
    AXError resolve(const Element& element, FakeApp*& app, FakeWindow*& window);
    AXResult readApplication(FakeApp& app, std::string_view attribute);
    AXResult readWindow(FakeWindow& window, std::string_view attribute);
    AXResult readCloseButton(FakeWindow& window, std::string_view attribute);
    AXResult readNode(const Element& element, FakeWindow& window, std::string_view attribute);
    AXError writeWindow(FakeWindow& window, std::string_view attribute, const AXValue& value);
    AXError pressCloseButton(FakeWindow& window);
    std::vector<AXElementRef> nodeElements(const std::vector<FakeAXNode::Ref>& nodes,
                                           const FakeWindow& window);
    static std::string describe(const Element& element);

    FakeDesktop& desktop_;
    bool trusted_ = true;
    std::map<Key, std::shared_ptr<const Element>> elements_;
};

}  // namespace vantlo
